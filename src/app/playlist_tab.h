// The "&PLAYLIST" tab: the playlist selector with "&Read", AppInfoPlayList,
// the PlayList, SubPath and PlayListMark groups and the ExtensionData row.
#pragma once

#include "app/selector_tab.h"

class QGroupBox;
class QLabel;

namespace lumora::app {

class PlaylistTab : public SelectorTab {
    Q_OBJECT
public:
    explicit PlaylistTab(QWidget* parent = nullptr);

    QGroupBox* gbAppInfo;
    QGroupBox* gbPlayList;
    QGroupBox* gbSubPath;
    QGroupBox* gbPlayListMark;
    QLabel* lMExtDat;
    QPushButton* bMExtDat;
};

}  // namespace lumora::app
