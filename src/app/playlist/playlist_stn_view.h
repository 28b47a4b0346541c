// The STN group: the stream counts of the selected PlayItem, the streams of
// the selected list, and the edit row of drop-down lists and fields laid over
// the selected stream's row.  Every change writes the stream at once; inserts
// and deletes go through the core, which keeps every length and start address
// right.
#pragma once

#include <QGroupBox>
#include <vector>

#include "app/playlist/playlist_context.h"
#include "playlist/stn_edit.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lumora::app {

class StringGrid;

class StnView : public QGroupBox {
    Q_OBJECT
public:
    // The columns of the stream list grid.
    enum Column { kType = 1, kMainPid, kSubPathId, kSubClipId, kSubPid, kAttributes };

    StnView(PlaylistDocument& document, QWidget* parent = nullptr);

    // Nothing shown, everything disabled.
    void clear();
    // Shows the STN table of PlayItem `item` (0-based; -1: none) in the list
    // selected before.
    void showPlayItem(int item);
    void selectList(StnList list);
    // Selects stream `index` (0-based) of the shown list.
    void selectStream(int index);

    StnList selectedList() const { return list_; }
    // The selected stream (0-based), -1 when the list is empty.
    int selectedStream() const;

    void insertStream();
    void deleteStream();

    StringGrid* sgSTN;
    StringGrid* sgStreamEntry;
    QComboBox* coEntryType;
    QLineEdit* heMainPID;
    QLineEdit* heSubPID;
    QLineEdit* ieSubPath;
    QLineEdit* ieSubClip;
    QComboBox* coVideo;
    QComboBox* coResol;
    QComboBox* coFrmRate;
    QComboBox* coAudio;
    QComboBox* coAuType;
    QComboBox* coFreq;
    QComboBox* coLang;
    QPushButton* bbInsSTN;
    QPushButton* bbDelSTN;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Kind { Video, Audio, Graphics };
    // The stream the edit row was loaded from; a field left after the
    // selection moved still writes there.
    struct StreamRef {
        int item = -1;
        StnList list = StnList::Video;
        int index = -1;
    };

    QLayout* buildCountRow();
    void buildStreamGrid();
    void fitFixedColumns();
    void buildEditRow();
    void connectControls();
    // A field writes the edit row's stream through `store` when it is left.
    void connectField(QLineEdit* field, void (*store)(TSTNStream&, std::uint32_t));

    TSTN* stn() const;
    TSTNStream* streamOf(const StreamRef& ref) const;
    static Kind kindOf(StnList list);
    bool listShown() const;

    void showCounts();
    void showList();
    void showStreamRow(int index);
    void showSelectedStream();
    void showHints();
    void hideEditRow();
    void showEditRow(const std::vector<QWidget*>& shown);
    std::vector<QWidget*> editRowControls() const;
    std::vector<QWidget*> editRowFor(const TSTNStream& stream) const;
    void enableButtons();
    void placeEditRow();
    void fitAttributeColumn();

    void listChosen(int col);
    void streamRowChosen(int row);
    // Writes `change` into the stream of the edit row, then redraws its row and
    // reloads the row's controls.
    template <typename Change>
    void writeStream(Change change);

    PlaylistDocument& document_;
    int item_ = -1;
    StnList list_ = StnList::Video;
    StreamRef loaded_;
    bool showing_ = false;
};

}  // namespace lumora::app
