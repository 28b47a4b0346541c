// The PlayList group: the PlayItems grid, the angles of the selected PlayItem
// (shown only for a multi-angle PlayItem) and the STN group of the selected
// PlayItem with its "Apply to clpi" button.  In edit mode the PlayItems grid
// takes typed cells (an IN time may carry OUT, the SubPlayItems and the marks
// along); Insert and Shift+Delete add and remove PlayItems.  Double clicks
// outside edit mode jump to the clip.
#pragma once

#include <QGroupBox>

#include "app/playlist/playlist_context.h"

class QPushButton;

namespace lumora::app {

class StnView;
class StringGrid;

class PlayItemsView : public QGroupBox {
    Q_OBJECT
public:
    enum Column { kFile = 1, kType, kIn, kOut, kLength, kUo1, kUo2, kAngles };

    PlayItemsView(PlaylistDocument& document, const PlaylistContext& context,
                  QWidget* parent = nullptr);

    void clear();
    // Fills the PlayItems grid and shows the first PlayItem.
    void showPlayItems();
    // Shows PlayItem `item` (0-based): its row selected, its angles and its
    // STN table.
    void selectPlayItem(int item);
    // The selected PlayItem (0-based), -1 when there is none.
    int selectedPlayItem() const;

    // Insert: a new PlayItem behind the last selected row.
    void insertPlayItem();
    // Shift+Delete: the selected PlayItem goes.
    void deletePlayItem();

    StringGrid* sgPLitem;
    StringGrid* sgPIangles;
    StnView* stnView;
    QPushButton* bApply2CI;

signals:
    // PlayItems came or went: marks and sync references were renumbered and
    // whether the playlist can be saved may have changed.
    void playItemsChanged();
    // An IN time change moved the SubPlayItems' times, or some marks.
    void subPlayItemTimesMoved();
    void marksMoved();
    // "Jump to Clip": a PlayItem or angle row was double-clicked.
    void clipRequested(const QString& clip);
    // "Apply to clpi" for PlayItem `item` (0-based).
    void applyToClipRequested(int item);

private:
    void placeApplyButton();
    void connectControls();
    void showAngles(int item);
    void showPlayItemRow(int item);
    void fillRows();
    void enableEditing();
    void playItemRowChosen(int row);
    void playItemCellEdited(int col, int row, const QString& text);
    void playItemDoubleClicked(int row);
    void angleDoubleClicked(int row);

    PlaylistDocument& document_;
    const PlaylistContext& context_;
    bool showing_ = false;
};

}  // namespace lumora::app
