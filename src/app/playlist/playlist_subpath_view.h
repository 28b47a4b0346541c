// The SubPath group: the SubPaths with the type and repeat lists of the
// selected one and its "+" and "-", its SubPlayItems (typed cells in edit
// mode), and the clip entries of the selected SubPlayItem (shown only when it
// has some).  Double clicks on SubPlayItems and clip entries jump to the
// clip.
#pragma once

#include <QGroupBox>

#include "app/playlist/playlist_context.h"

class QComboBox;
class QPushButton;

namespace lumora::app {

class StringGrid;

class SubPathView : public QGroupBox {
    Q_OBJECT
public:
    // The columns of the SubPlayItems grid.
    enum Column { kFile = 1, kType, kConn, kMulti, kStc, kIn, kOut, kSyncPi, kSyncPts, kAn };

    SubPathView(PlaylistDocument& document, QWidget* parent = nullptr);

    void clear();
    // Fills the SubPath grid and shows the first SubPath.
    void showSubPaths();
    // Shows SubPath `path` (0-based) and its first SubPlayItem.
    void selectSubPath(int path);
    // Shows SubPlayItem `item` (0-based) of the selected SubPath.
    void selectSubPlayItem(int item);
    int selectedSubPath() const;
    int selectedSubPlayItem() const;
    // Writes the SubPlayItem rows of the selected SubPath again (their times
    // or sync references changed elsewhere), keeping the selection.
    void refreshSubPlayItems();

    // "+" and Insert: a new SubPath behind the selected one.
    void insertSubPath();
    // "-" and Delete: the selected SubPath goes.
    void deleteSubPath();

    StringGrid* sgSubPath;
    QComboBox* cbSubPathType;
    QComboBox* cbSPrepeat;
    QPushButton* bbSPins;
    QPushButton* bbSPdel;
    StringGrid* sgSubPlayItem;
    StringGrid* sgAngles;

signals:
    // SubPaths came or went: the STN entries naming them were renumbered.
    void subPathsChanged();
    // "Jump to Clip": a SubPlayItem or clip entry row was double-clicked.
    void clipRequested(const QString& clip);

private:
    QWidget* buildSubPathPanel();
    void buildSubPlayItemGrid();
    void buildClipEntryGrid();
    void connectControls();

    TSubPath* subPath(int path) const;
    void showSubPathRows();
    void showSubPathRow(int path);
    void showSubPathLists(int path);
    void showSubPlayItems(int path);
    void showClipEntries(const TSubPlayItem* item);
    void enableControls();

    void typeChosen(int item);
    void repeatChosen(int item);
    void subPlayItemCellEdited(int col, int row, const QString& text);
    void subPlayItemDoubleClicked(int row);
    void clipEntryDoubleClicked(int row);

    PlaylistDocument& document_;
    bool showing_ = false;
};

}  // namespace lumora::app
