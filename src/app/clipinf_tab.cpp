#include "app/clipinf_tab.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widget_helpers.h"

namespace lumora::app {

ClipinfTab::ClipinfTab(QWidget* parent)
    : SelectorTab(parent, "tsCLIPINF", "Clip information:", "cbClipinf", "bReadCI",
                  "Read the selected .clpi file") {
    QHBoxLayout* top = selectorRow();
    bSavePID = button(this, "Save P&ID", "bSavePID", "Save the selected PID of the stream file");
    bToMenu = button(this, "-> M&enu", "bToMenu", "Load the IG menu of the stream file");
    bPlay = button(this, "Pla&y", "bPlay", "Play the stream file");
    for (QPushButton* b : {bSavePID, bToMenu, bPlay}) {
        b->setEnabled(false);
        top->insertWidget(top->count() - 1, b);
    }

    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    gbClipInfo = group(this, "ClipInfo", "gbClipInfo");
    layout->addWidget(gbClipInfo);
    auto* columns = new QHBoxLayout;
    gbProgramInfo = group(this, "ProgramInfo", "gbProgramInfo");
    gbCPI = group(this, "CPI", "gbCPI");
    columns->addWidget(gbProgramInfo, 1);
    columns->addWidget(gbCPI, 1);
    layout->addLayout(columns, 1);
    layout->addLayout(extensionDataRow(this, "lCIExtdat", "bCIExtDat", lCIExtdat, bCIExtDat));
}

}  // namespace lumora::app
