// The PlayListMark group: the mark grid, the fields of the selected mark
// (type, PlayItem, time as hours, minutes, seconds and milliseconds), insert
// and delete, and chapter files in and out.  Every change writes the mark at
// once; the core keeps the PlayListMark length and the ExtensionData start
// address right.
#pragma once

#include <QGroupBox>

#include "app/playlist/playlist_context.h"

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace lumora::app {

class StringGrid;

class MarkView : public QGroupBox {
    Q_OBJECT
public:
    enum Column { kType = 1, kPlayItem, kTime, kEntryPid, kDuration };

    MarkView(PlaylistDocument& document, const PlaylistContext& context, QWidget* parent = nullptr);

    void clear();
    // Fills the grid and selects the first mark.
    void showMarks();
    // Selects mark `mark` (0-based) and loads it into the fields.
    void selectMark(int mark);
    // The mark the fields show (0-based), -1 when there is none.
    int selectedMark() const;

    // The row of the insert, delete and chapter buttons, for what the tab
    // shows beside them.
    QHBoxLayout* buttonRow() const { return buttonRow_; }

    void insertMark();
    void deleteMarks();
    void loadChapters();
    void saveChapters();

    StringGrid* sgPlayListMark;
    QComboBox* cmPLMtype;
    QLineEdit* iePLMPI;
    QLineEdit* iePLMhour;
    QLineEdit* iePLMmin;
    QLineEdit* iePLMsec;
    QLineEdit* iePLMms;
    QPushButton* bbPLMins;
    QPushButton* bbPLMdel;
    QPushButton* bbLoadChap;
    QPushButton* bbSaveChap;

private:
    QLayout* buildFields();
    QHBoxLayout* buildButtons();
    void connectControls();

    TMPLS& playlist() const { return document_.playlist; }
    // The mark the fields were loaded from; a field left after the selection
    // moved still writes there.
    TMark* loadedMark() const;
    void showMarkRow(int mark);
    void showFields();
    void enableControls();
    QString chapterFileName() const;
    ChapterFormat chapterFormat() const;

    void markRowChosen(int row);
    void typeChosen(int item);
    void playItemTyped();
    void hoursTyped();
    void timeFieldLeft(const QLineEdit* field);
    void storeTime();

    PlaylistDocument& document_;
    const PlaylistContext& context_;
    QHBoxLayout* buttonRow_ = nullptr;
    int loadedMark_ = -1;
    bool showing_ = false;
};

}  // namespace lumora::app
