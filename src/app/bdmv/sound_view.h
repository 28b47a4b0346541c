// The "sound.bdmv" group of the BDMV tab: the "Sound entries" grid (Ins
// inserts a WAV file after the selected entry, Shift+Del deletes it, a click
// or a key shows where the entry lies), "Play sound entry", "Save sound
// entry" and the ExtensionData row.  The group is shown while the working
// folder has a sound file, read or created; the main window owns the model.
#pragma once

#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>

#include "app/bdmv/bdmv_context.h"

class QLabel;
class QPushButton;

namespace lumora::app {

class StringGrid;

class SoundView : public QGroupBox {
    Q_OBJECT
public:
    SoundView(BdmvContext& context, QWidget* parent = nullptr);

    // A folder Read begins: no sound file, the group hidden.
    void clear();
    // The folder Read found `path`: it is read and shown (an unusable file
    // shows no entries).  Throws FileError when it cannot be read.
    void read(const std::string& path);
    // "Create sound.bdmv": a new file with a first entry from a WAV file;
    // nothing when no entry came in.  `auxdataFolder` is made when the entry
    // came in.  True when the file was created.
    bool create(const std::string& auxdataFolder);

    // Ins: a WAV file after the selected entry (the first of an empty file).
    void insertEntry();
    // Shift+Del: the selected entry.
    void deleteEntry();
    // "Play sound entry" and "Save sound entry" on the selected entry.
    void playEntry();
    void saveEntry();
    void editExtensionData();
    int selectedEntry() const;

    // Where "Play sound entry" goes (the window's player); tests record it.
    std::function<void(std::size_t index)> playSound;
    // The WAV file chooser of Ins; "" when cancelled.  Tests give their own.
    std::function<QString(const QString& title, const QString& filter)> chooseWav;
    // The save chooser of "Save sound entry" (proposed name); "" when
    // cancelled.
    std::function<QString(const QString& title, const QString& fileName)> chooseSaveFile;
    // A file that cannot be read or written (the window's error box).
    std::function<void(const QString&)> fileErrorBox;

    StringGrid* sgSounds;
    QPushButton* bPlaySound;
    QPushButton* bSaveSound;
    QLabel* lSndExtDat;
    QPushButton* bSndExtDat;

signals:
    // Entries came or went, the file was read or created, or hidden: the
    // menu's sound checks and the Save role follow.
    void soundChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEntries();
    void showRow(std::size_t index);
    void showEntryInfo();
    void enableButtons();
    void fitHeight();
    // The WAV file of an entry; asks before converting another format.
    std::optional<TSoundEntries> wavEntry(const QString& path);

    SoundModel& model() const { return context_.models->sound; }

    BdmvContext& context_;
};

}  // namespace lumora::app
