// The "&CLIPINF" tab: the clip selector with "&Read", ClipInfo, the clip's
// grids, "Save P&ID", "-> M&enu", "Pla&y" and the ExtensionData row.
#pragma once

#include "app/selector_tab.h"

class QGroupBox;
class QLabel;

namespace lumora::app {

class ClipinfTab : public SelectorTab {
    Q_OBJECT
public:
    explicit ClipinfTab(QWidget* parent = nullptr);

    QPushButton* bSavePID;
    QPushButton* bToMenu;
    QPushButton* bPlay;
    QGroupBox* gbClipInfo;
    QGroupBox* gbProgramInfo;
    QGroupBox* gbCPI;
    QLabel* lCIExtdat;
    QPushButton* bCIExtDat;
};

}  // namespace lumora::app
