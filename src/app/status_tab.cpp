#include "app/status_tab.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/log_view.h"
#include "app/widget_helpers.h"

namespace lumora::app {

StatusTab::StatusTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsStatus");
    reMessage = new LogView(this);
    // Log lines align their columns with blanks.
    reMessage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bClear = button(this, "Clear", "bClear", "Clear the message log");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bClear);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reMessage, 1);
    layout->addLayout(buttons);
    connect(bClear, &QPushButton::clicked, reMessage, &LogView::clearLog);
}

}  // namespace lumora::app
