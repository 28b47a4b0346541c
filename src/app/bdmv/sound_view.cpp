#include "app/bdmv/sound_view.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/file_io.h"

namespace lumora::app {
namespace {

constexpr const char* kWavDialogTitle =
    "Select a sound file (mandatory 16 bit, 48kHz, uncompressed)";
constexpr const char* kGridHint = "Sound entries\r\nShift-Del: Delete sound\r\nIns: Insert sound";
// A rejected WAV's message stays in the status line this long.
constexpr int kRefusalPauseMs = 3000;
// The grid shows this many entries before it scrolls.
constexpr int kVisibleRows = 3;

}  // namespace

SoundView::SoundView(BdmvContext& context, QWidget* parent)
    : QGroupBox("sound.bdmv", parent), context_(context) {
    setObjectName("gbSound");
    sgSounds = new StringGrid(this);
    sgSounds->setObjectName("sgSounds");
    sgSounds->setToolTip(kGridHint);
    sgSounds->setHeaders(toQList(soundGridHeaders()));
    sgSounds->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSounds->installEventFilter(this);
    fitColumns(sgSounds,
               {{0, "000"}, {1, "Stereo"}, {2, "frequency"}, {3, "bits/sample"}, {4, "00.00 s"}});
    bPlaySound = button(this, "Play sound entry", "bPlaySound", "Play the selected sound");
    bSaveSound =
        button(this, "Save sound entry", "bSaveSound", "Save the selected sound as a WAV file");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bPlaySound);
    buttons->addWidget(bSaveSound);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(sgSounds, 1);
    layout->addLayout(buttons);
    layout->addLayout(extensionDataRow(this, "lSndExtDat", "bSndExtDat", lSndExtDat, bSndExtDat));

    connect(sgSounds, &StringGrid::insertPressed, this, &SoundView::insertEntry);
    connect(sgSounds, &StringGrid::shiftDeletePressed, this, &SoundView::deleteEntry);
    connect(sgSounds, &QTableWidget::cellClicked, this, [this] { showEntryInfo(); });
    connect(bPlaySound, &QPushButton::clicked, this, &SoundView::playEntry);
    connect(bSaveSound, &QPushButton::clicked, this, &SoundView::saveEntry);
    connect(bSndExtDat, &QPushButton::clicked, this, &SoundView::editExtensionData);
    clear();
}

void SoundView::clear() {
    model() = SoundModel{};
    sgSounds->clearGrid();
    lSndExtDat->setText(toQ(extensionDataSummary(model().sound.extensionData)));
    setVisible(false);
    enableButtons();
}

void SoundView::read(const std::string& path) {
    model() = SoundModel{};
    readSoundFile(path, model().sound, *context_.reporter);
    model().shown = true;
    model().saved.remember(model().sound);
    showEntries();
    setVisible(true);
    emit soundChanged();
}

bool SoundView::create(const std::string& auxdataFolder) {
    model().sound = newSound();
    model().shown = true;
    showEntries();
    setVisible(true);
    insertEntry();
    if (model().sound.index.entries.empty()) {
        model() = SoundModel{};
        setVisible(false);
        enableButtons();
        return false;
    }
    QDir().mkpath(QString::fromStdString(auxdataFolder));
    emit soundChanged();
    return true;
}

void SoundView::showEntries() {
    const auto& entries = model().sound.index.entries;
    if (entries.empty()) {
        sgSounds->clearGrid();
    } else {
        sgSounds->setDataRows(static_cast<int>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            showRow(i);
    }
    sgSounds->setEnabled(model().shown);
    lSndExtDat->setText(toQ(extensionDataSummary(model().sound.extensionData)));
    enableButtons();
    fitHeight();
}

void SoundView::showRow(std::size_t index) {
    const std::vector<std::string> cells = soundRowCells(index, model().sound.index.entries[index]);
    for (std::size_t col = 0; col < cells.size(); ++col)
        sgSounds->setCell(static_cast<int>(col), static_cast<int>(index) + 1, toQ(cells[col]));
}

void SoundView::enableButtons() {
    const bool any = model().shown && !model().sound.index.entries.empty();
    bPlaySound->setEnabled(any);
    bSaveSound->setEnabled(any);
    bSndExtDat->setEnabled(model().shown);
}

// The grid shows up to three entries; more scroll.  In a small window it
// gives way down to one row, so the index group keeps its controls.
void SoundView::fitHeight() {
    const int rows = std::clamp(sgSounds->dataRows(), 1, kVisibleRows);
    const auto height = [this](int shown) {
        return sgSounds->horizontalHeader()->sizeHint().height() +
               shown * sgSounds->verticalHeader()->defaultSectionSize() +
               2 * sgSounds->frameWidth();
    };
    sgSounds->setMinimumHeight(height(1));
    sgSounds->setMaximumHeight(height(rows));
}

int SoundView::selectedEntry() const {
    const int row = sgSounds->gridRow() - 1;
    return row >= 0 && row < static_cast<int>(model().sound.index.entries.size()) ? row : -1;
}

void SoundView::showEntryInfo() {
    const int entry = selectedEntry();
    const QString separator = QLocale::system().groupSeparator();
    context_.reporter->slog(entry < 0
                                ? std::string()
                                : soundEntryInfo(model().sound, static_cast<std::size_t>(entry),
                                                 separator.toStdString()),
                            1);
}

std::optional<TSoundEntries> SoundView::wavEntry(const QString& path) {
    Reporter& reporter = *context_.reporter;
    Bytes bytes;
    try {
        bytes = readFileBytes(QFile::encodeName(path).toStdString(), std::uint64_t{1} << 31);
    } catch (const FileError& error) {
        if (fileErrorBox) fileErrorBox(QString::fromUtf8(error.what()));
        return std::nullopt;
    }
    WavRead read = entryFromWav(bytes);
    // Another rate or sample format comes in converted when the user asks.
    if (!read.entry && read.error == kWaveFormatError &&
        reporter.ask("Convert to 48 kHz 16-bit PCM?")) {
        read = convertedEntryFromWav(bytes);
    }
    if (!read.entry) {
        reporter.erlog(read.error);
        reporter.pause(kRefusalPauseMs);
    }
    return read.entry;
}

void SoundView::insertEntry() {
    if (!model().shown) return;
    const QString title = kWavDialogTitle;
    const QString filter = "Wave (*.wav)";
    const QString path = chooseWav ? chooseWav(title, filter)
                                   : QFileDialog::getOpenFileName(this, title, QString(), filter);
    if (path.isEmpty()) return;
    context_.reporter->slog(QFileInfo(path).fileName().toStdString(), 1);
    std::optional<TSoundEntries> entry = wavEntry(path);
    if (!entry) return;
    const int after = model().sound.index.entries.empty() ? -1 : std::max(selectedEntry(), 0);
    if (!insertSoundEntry(model().sound, after, std::move(*entry))) {
        context_.reporter->erslog("sound.bdmv holds at most 255 sounds");
        return;
    }
    showEntries();
    selectGridRow(sgSounds, after + 2);
    showEntryInfo();
    emit soundChanged();
}

void SoundView::deleteEntry() {
    const int entry = selectedEntry();
    if (entry < 0) return;
    deleteSoundEntry(model().sound, static_cast<std::size_t>(entry));
    showEntries();
    if (!model().sound.index.entries.empty())
        selectGridRow(sgSounds, std::min(entry + 1, sgSounds->dataRows()));
    showEntryInfo();
    emit soundChanged();
}

void SoundView::playEntry() {
    const int entry = selectedEntry();
    if (entry >= 0 && playSound) playSound(static_cast<std::size_t>(entry));
}

void SoundView::saveEntry() {
    const int entry = selectedEntry();
    if (entry < 0) return;
    const auto index = static_cast<std::size_t>(entry);
    const QString title = "Save sound entry";
    const QString name = toQ(soundFileName(index));
    QString path;
    if (chooseSaveFile) {
        path = chooseSaveFile(title, name);
    } else {
        const QString folder = context_.outputFolder ? context_.outputFolder() : QString();
        path =
            QFileDialog::getSaveFileName(this, title, QDir(folder).filePath(name), "Wave (*.wav)");
    }
    sgSounds->setFocus(Qt::OtherFocusReason);
    if (path.isEmpty()) return;
    try {
        writeFileSafely(QFile::encodeName(path).toStdString(),
                        wavImage(model().sound.index.entries[index]));
    } catch (const FileError& error) {
        if (fileErrorBox) fileErrorBox(QString::fromUtf8(error.what()));
    }
}

void SoundView::editExtensionData() {
    if (!model().shown) return;
    const QString folder = context_.outputFolder ? context_.outputFolder() : QString();
    TfExtDat dialog("sound.bdmv", model().sound.extensionData, folder, this);
    const bool ok =
        context_.runExtDat ? context_.runExtDat(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return;
    setSoundExtensionData(model().sound, dialog.block());
    lSndExtDat->setText(toQ(extensionDataSummary(model().sound.extensionData)));
}

// After every key the entry the cursor reached is described.
bool SoundView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgSounds && event->type() == QEvent::KeyRelease) showEntryInfo();
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace lumora::app
