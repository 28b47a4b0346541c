#include "app/playlist_tab.h"

#include <QGroupBox>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/widget_helpers.h"

namespace lumora::app {

PlaylistTab::PlaylistTab(QWidget* parent)
    : SelectorTab(parent, "tsPLAYLIST", "Playlist:", "cbPlaylist", "bReadPL",
                  "Read the selected .mpls file") {
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    gbAppInfo = group(this, "AppInfoPlayList", "gbAppInfoPlayList");
    layout->addWidget(gbAppInfo);

    // PlayList above SubPath above PlayListMark, each resizable.
    auto* splitter = new QSplitter(Qt::Vertical, this);
    gbPlayList = group(splitter, "PlayList", "gbPlayList");
    gbSubPath = group(splitter, "SubPath", "gbSubPath");
    gbPlayListMark = group(splitter, "PlayListMark", "gbPlayListMark");
    splitter->addWidget(gbPlayList);
    splitter->addWidget(gbSubPath);
    splitter->addWidget(gbPlayListMark);
    splitter->setSizes({176, 112, 103});
    layout->addWidget(splitter, 1);
    layout->addLayout(extensionDataRow(this, "lMExtDat", "bMExtDat", lMExtDat, bMExtDat));
}

}  // namespace lumora::app
