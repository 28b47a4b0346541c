#include "app/status/status_tab.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/log_view.h"
#include "app/widgets/widget_helpers.h"

namespace lumora::app {

StatusTab::StatusTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsStatus");
    reMessage = new LogView(this);
    // Log lines align their columns with blanks.
    reMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bClear = button(this, "Clear", "bClear", "Clear the message log");
    bPSRs = button(this, "PS&Rs", "bPSRs", "Write the player status registers to the log");
    bGPRs = button(this, "&GPRs", "bGPRs",
                   "Write the general purpose registers that are not 0 to the log");
    bResetRegs = button(this, "Re&set Regs", "bResetRegs",
                        "Reset the registers to the player settings' start values");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bClear);
    buttons->addStretch(1);
    buttons->addWidget(bPSRs);
    buttons->addWidget(bGPRs);
    buttons->addWidget(bResetRegs);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reMessage, 1);
    layout->addLayout(buttons);
    connect(bClear, &QPushButton::clicked, reMessage, &LogView::clearLog);
}

}  // namespace lumora::app
