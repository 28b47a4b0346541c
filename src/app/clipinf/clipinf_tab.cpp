#include "app/clipinf/clipinf_tab.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/clipinf/clipinf_grids.h"
#include "app/clipinf/clipinf_info_view.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/extension_data.h"
#include "core/file_io.h"
#include "stream/stream_menu.h"

namespace lumora::app {
namespace {

// The stream buttons share a narrow column with the selector, so they are
// only as wide as their captions.
QPushButton* compact(QPushButton* push) {
    const int text = push->fontMetrics().horizontalAdvance(push->text().remove('&'));
    push->setFixedWidth(std::max(text + 22, 44));
    return push;
}

QVBoxLayout* column(int spacing) {
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

}  // namespace

ClipinfTab::ClipinfTab(QWidget* parent)
    : SelectorTab(parent, "tsCLIPINF", "Clip information:", "cbClipinf", "bReadCI",
                  "Read the selected .clpi file") {
    fillContextDefaults();
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    // The selector moves into the band beside ClipInfo.
    QHBoxLayout* selectors = selectorRow();
    layout->removeItem(selectors);
    selectors->setParent(nullptr);
    layout->addWidget(buildTopBand(selectors));
    layout->addWidget(buildGroups(), 1);
    layout->addLayout(extensionDataRow(this, "lCIExtdat", "bCIExtDat", lCIExtdat, bCIExtDat));
    connectControls();
    clear();
}

ClipinfTab::~ClipinfTab() = default;

// The selector, "&Read" with the stream file and the stream buttons at the
// left, ClipInfo beside them: one band, so the grids below get the height.
QWidget* ClipinfTab::buildTopBand(QHBoxLayout* selectors) {
    auto* band = new QWidget(this);
    auto* left = new QWidget(band);
    QVBoxLayout* rows = column(4);
    left->setLayout(rows);
    selectors->removeWidget(readButton());
    rows->addLayout(selectors);

    lStreamName = new QLabel(left);
    lStreamName->setObjectName("lStreamName");
    lStreamName->setToolTip("Stream file of the clip");
    lStreamSize = new QLabel(left);
    lStreamSize->setObjectName("lStreamSize");
    lStreamSize->setToolTip("Size of the stream file in bytes");
    auto* stream = new QHBoxLayout;
    stream->setSpacing(12);
    stream->addWidget(readButton());
    stream->addWidget(lStreamName);
    stream->addWidget(lStreamSize);
    stream->addStretch(1);
    rows->addLayout(stream);

    bSavePID = button(left, "Save P&ID", "bSavePID", "Save the selected PID of the stream file");
    bToMenu = button(left, "-> M&enu", "bToMenu", "Load to Menu");
    bPlay = button(left, "Pla&y", "bPlay", "Play the stream file");
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton* b : {bSavePID, bToMenu, bPlay}) {
        b->setEnabled(false);
        buttons->addWidget(compact(b));
    }
    buttons->addStretch(1);
    rows->addLayout(buttons);
    rows->addStretch(1);

    clipInfoView = new ClipInfoView(document_, band);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(left);
    layout->addWidget(clipInfoView, 1);
    return band;
}

// ProgramInfo over SequenceInfo, the CPI beside them, the references at the
// right.
QWidget* ClipinfTab::buildGroups() {
    auto* area = new QWidget(this);
    programInfoView = new ProgramInfoView(document_, area);
    sequenceInfoView = new SequenceInfoView(document_, area);
    cpiView = new CpiView(document_, area);
    buildReferenceGrid();
    gbCIRef->setParent(area);

    QVBoxLayout* streams = column(4);
    streams->addWidget(programInfoView, 3);
    streams->addWidget(sequenceInfoView, 2);
    auto* layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(streams, 1);
    layout->addWidget(cpiView, 0);
    layout->addWidget(gbCIRef, 0);
    return area;
}

void ClipinfTab::buildReferenceGrid() {
    gbCIRef = group(this, "Referenced by", "gbCIRef");
    sgCIRef = new StringGrid(gbCIRef);
    sgCIRef->setObjectName("sgCIRef");
    sgCIRef->setToolTip("Referenced by (Double click: open the PlayList)");
    QStringList headers;
    for (const std::string& header : referenceHeaders())
        headers << toQ(header);
    sgCIRef->setHeaders(headers);
    sgCIRef->setSelectionMode(QAbstractItemView::SingleSelection);
    fitColumns(sgCIRef, {{1, "00000"}, {2, "s/p"}, {3, "00000"}});
    // A clip is used by a few PlayItems: no room kept for a scroll bar.
    sgCIRef->setFixedWidth(gridWidthUpTo(sgCIRef, 3, false));
    auto* layout = static_cast<QVBoxLayout*>(gbCIRef->layout());
    layout->setContentsMargins(3, 2, 3, 3);
    layout->addWidget(sgCIRef);
    // As wide as its grid: the streams and the EP map need the room.
    gbCIRef->setFixedWidth(sgCIRef->width() + 6);
}

void ClipinfTab::connectControls() {
    connect(this, &SelectorTab::readRequested, this, &ClipinfTab::readClip);
    connect(selector(), &QComboBox::activated, this, &ClipinfTab::selectorChosen);
    // The references follow the selector however it moves.
    connect(selector(), &QComboBox::currentIndexChanged, this, &ClipinfTab::showReferences);
    connect(bPlay, &QPushButton::clicked, this, &ClipinfTab::play);
    connect(bSavePID, &QPushButton::clicked, this, [this] { savePid(); });
    connect(bToMenu, &QPushButton::clicked, this, [this] { extractMenu(); });
    connect(bCIExtDat, &QPushButton::clicked, this, &ClipinfTab::editExtensionData);
    connect(programInfoView, &ProgramInfoView::streamChosen, this, &ClipinfTab::streamChosen);
    connect(programInfoView, &ProgramInfoView::streamActivated, this, &ClipinfTab::streamActivated);
    connect(sgCIRef, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { referenceActivated(row + 1); });
}

void ClipinfTab::setContext(ClipinfContext context) {
    context_ = std::move(context);
    fillContextDefaults();
    if (context_.popupMenu != nullptr) context_.popupMenu->registerGrid(clipInfoView->sgATCdelta);
}

void ClipinfTab::fillContextDefaults() {
    context_.reporter = quiet_.orThis(context_.reporter);
    if (!context_.disc) context_.disc = [] { return DiscFolder{}; };
    if (!context_.autoRead) context_.autoRead = [] { return false; };
    if (!context_.backupOptions) context_.backupOptions = [] { return BackupOptions{}; };
    if (!context_.outputFolder) context_.outputFolder = [] { return QString(); };
    if (!context_.savePidFormat) context_.savePidFormat = [] { return SavePidFormat{}; };
    if (!context_.menuTempPath) context_.menuTempPath = [] { return streamMenuTempPath(); };
    if (!context_.openMenuFile) context_.openMenuFile = [](const QString&) {};
    if (!context_.runExtDat) {
        context_.runExtDat = [](TfExtDat& dialog) { return dialog.exec() == QDialog::Accepted; };
    }
    if (!context_.showFileError) {
        context_.showFileError = [this](const QString& message) {
            QMessageBox::critical(this, toQ(programCaption()), message);
        };
    }
    if (!context_.openUrl) {
        context_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    }
    if (!context_.groupSeparator) {
        context_.groupSeparator = [] { return QLocale().groupSeparator(); };
    }
}

std::string ClipinfTab::separator() const {
    return context_.groupSeparator().toStdString();
}

// ---------------------------------------------------------------------------
// Selecting and reading

void ClipinfTab::clear() {
    SelectorTab::clear();
    clearViews();
    document_ = ClipDocument{};
    saved_.forget();
    references_.clear();
    lStreamName->clear();
    lStreamSize->clear();
    showReferences();
    showExtensionData();
    emit saveStateChanged();
}

bool ClipinfTab::selectClip(const QString& entry) {
    const int item = selector()->findText(entry);
    if (item < 0) return false;
    selector()->setCurrentIndex(item);
    return true;
}

bool ClipinfTab::chooseClip(const QString& entry) {
    if (!selectClip(entry)) return false;
    selectorChosen();
    return true;
}

void ClipinfTab::selectorChosen() {
    // The entry shown is not read again: that would drop its unsaved edits
    // ("&Read" does it, after asking).
    if (context_.autoRead() && readButton()->isEnabled() && !showing(selector()->currentText()))
        readSelected();
    showReferences();
    emit saveStateChanged();
}

// A clip that cannot be read is not shown, and one cut short is shown for
// inspection only: Save must never write a clip under another clip's name,
// nor write back what a broken file let the reader see.
void ClipinfTab::readClip(const QString& entry) {
    const DiscFolder disc = context_.disc();
    if (disc.folder.empty()) return;  // no folder has been read
    Reporter& reporter = *context_.reporter;
    const std::string listEntry = entry.toStdString();
    const std::string name = listEntry + std::string(disc.names().clipExt);
    TCLPI read;
    ReadOutcome outcome;
    bool opened = false;
    try {
        outcome = readClipInfoFile(disc.clipinfPath(listEntry), name, read, reporter);
        opened = true;
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
    clearViews();
    const bool shown = opened && outcome.status != ReadStatus::BadFormat;
    document_.clip = shown ? std::move(read) : TCLPI{};
    document_.good = opened && outcome.good();
    document_.entry = listEntry;
    document_.fileName = name;
    const auto index = clipEntryIndex(disc.clipinfs, listEntry);
    document_.listIndex = index ? static_cast<int>(*index) : -1;
    if (document_.good) {
        saved_.remember(document_.clip);
    } else {
        saved_.forget();
    }
    showStreamFile(disc);
    if (shown) showDocument();
    showExtensionData();
    showReferences();
    if (document_.good) checkPackets(disc);
    streamChosen();
    if (isVisible()) selector()->setFocus();
    if (document_.good) reporter.slogR();
    emit saveStateChanged();
}

void ClipinfTab::clearViews() {
    clipInfoView->clear();
    programInfoView->clear();
    sequenceInfoView->clear();
    cpiView->clear();
    sgCIRef->clearGrid();
    for (QPushButton* b : {bSavePID, bToMenu, bPlay, bCIExtDat})
        b->setEnabled(false);
}

void ClipinfTab::showDocument() {
    clipInfoView->showClipInfo();
    programInfoView->showProgramInfo();
    sequenceInfoView->showSequenceInfo();
    cpiView->showCpi();
    bPlay->setEnabled(streamPlayable());
    bSavePID->setEnabled(streamPlayable());
}

// The stream file of the clip entry, as the folder Read found it.
void ClipinfTab::showStreamFile(const DiscFolder& disc) {
    const auto index = static_cast<std::size_t>(document_.listIndex);
    const StreamLabel label = streamLabel(disc, index, separator());
    lStreamName->setText(toQ(label.name));
    lStreamSize->setText(toQ(label.size));
    for (QLabel* shown : {lStreamName, lStreamSize})
        shown->setForegroundRole(label.missing ? QPalette::PlaceholderText : QPalette::WindowText);
}

bool ClipinfTab::streamPlayable() const {
    return document_.listIndex >= 0 &&
           lumora::streamPlayable(context_.disc(), static_cast<std::size_t>(document_.listIndex));
}

// The stream file's size tells how many source packets it holds; a clip
// that says otherwise is offered the right count.
void ClipinfTab::checkPackets(const DiscFolder& disc) {
    const auto index = static_cast<std::size_t>(document_.listIndex);
    if (document_.listIndex < 0 || index >= disc.streams.size()) return;
    try {
        if (checkPacketCount(document_.clip, disc.clipinfPath(document_.entry),
                             disc.streams[index].size, context_.reporter->sink(), separator())) {
            clipInfoView->showPackets();
        }
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
}

// ---------------------------------------------------------------------------
// The stream file

void ClipinfTab::streamChosen() {
    const auto pid = programInfoView->selectedPid();
    bToMenu->setEnabled(pid && menuExtractionEnabled(*pid, streamPlayable()));
}

void ClipinfTab::streamActivated(const QString& pidCell) {
    switch (programInfoDoubleClick(pidCell.toStdString(), bPlay->isEnabled())) {
        case ProgramInfoAction::Play:
            play();
            break;
        case ProgramInfoAction::ExtractMenu:
            extractMenu();
            break;
        case ProgramInfoAction::None:
            break;
    }
}

void ClipinfTab::play() {
    if (!streamPlayable()) return;
    const std::string path = context_.disc().streamPath(document_.entry);
    context_.openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::optional<DemuxResult> ClipinfTab::runDemux(std::uint16_t pid, const std::string& target,
                                                DemuxMode mode) {
    const std::string source = context_.disc().streamPath(document_.entry);
    Reporter& reporter = *context_.reporter;
    const bool readEnabled = readButton()->isEnabled();
    for (QPushButton* b : {bSavePID, bToMenu, readButton()})
        b->setEnabled(false);
    std::optional<DemuxResult> result;
    QString failure;
    {
        ProgressScope progress(reporter);  // clears the cancel request; Cancel works
        try {
            result = Demux(source, target, pid, mode, reporter);
        } catch (const FileError& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    readButton()->setEnabled(readEnabled);
    bSavePID->setEnabled(streamPlayable());
    streamChosen();
    if (!failure.isEmpty()) context_.showFileError(failure);
    return result;
}

std::optional<std::string> ClipinfTab::savePid() {
    const auto pid = programInfoView->selectedPid();
    if (!pid || !streamPlayable()) return std::nullopt;
    const DiscFolder disc = context_.disc();
    const DemuxMode mode = chooseDemuxMode(*pid, context_.savePidFormat());
    const auto cells = programInfoView->selectedCells();
    const QString output = context_.outputFolder();
    // Without an Output folder the file goes beside the disc's BDMV folder.
    const std::string folder =
        output.isEmpty() ? chooserStartFolder(disc.folder) : output.toStdString();
    const std::string target = folder + demuxFileName(document_.entry, cells[0], cells[1], cells[2],
                                                      demuxExtension(*pid, mode));
    Reporter& reporter = *context_.reporter;
    reporter.setConfirmCancel();
    reporter.log("");
    reporter.dlog0("Saving " + target + " ...");
    const std::optional<DemuxResult> result = runDemux(*pid, target, mode);
    if (!result) return std::nullopt;
    if (result->cancelled) {
        reporter.log("Saving cancelled.");
        return std::nullopt;
    }
    reporter.slogR();
    reporter.log(std::to_string(result->savedPackets) + " source packets saved. (" +
                 elapsedText(result->elapsedMs) + ")");
    return target;
}

// The menu file is read by the Menu tab after progress mode has ended, so the
// reader's own progress shows there.
bool ClipinfTab::extractMenu() {
    const auto pid = programInfoView->selectedPid();
    if (!pid || !menuExtractionEnabled(*pid, streamPlayable())) return false;
    emit menuExtractionRequested();
    const std::string target = context_.menuTempPath();
    const std::optional<DemuxResult> result = runDemux(*pid, target, DemuxMode::Menu);
    if (!result) return false;
    if (result->cancelled) {
        context_.reporter->log("Saving cancelled.");
        return false;
    }
    context_.openMenuFile(QString::fromStdString(target));
    return true;
}

// ---------------------------------------------------------------------------
// Saving and ExtensionData

QString ClipinfTab::saveHint() const {
    if (document_.good) return "Save " + toQ(document_.fileName);
    const NameSet& names = context_.disc().names();
    return "Save " + selector()->currentText() + toQ(std::string(names.clipExt));
}

bool ClipinfTab::save() {
    if (!canSave()) return false;
    const DiscFolder disc = context_.disc();
    bool saved = false;
    try {
        saved = saveClipInfoFile(disc.folder + "CLIPINF/", document_.fileName, document_.clip,
                                 *context_.reporter, context_.backupOptions());
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
    // The writer clears an "ATCd" flag that has no entries.
    clipInfoView->showClipInfo();
    if (saved) saved_.remember(document_.clip);
    return saved;
}

bool ClipinfTab::edited() const {
    return document_.good && saved_.edited(document_.clip);
}

void ClipinfTab::editExtensionData() {
    if (!document_.good) return;
    TfExtDat dialog(toQ(document_.fileName), document_.clip.extensionData, context_.outputFolder(),
                    this);
    if (!context_.runExtDat(dialog)) return;
    setClipInfoExtensionData(document_.clip, dialog.block());
    showExtensionData();
}

void ClipinfTab::showExtensionData() {
    lCIExtdat->setText(toQ(extensionDataSummary(document_.clip.extensionData)));
    bCIExtDat->setEnabled(document_.good);
}

// ---------------------------------------------------------------------------
// Cross-references

void ClipinfTab::findReferences() {
    const DiscFolder disc = context_.disc();
    if (disc.folder.empty()) return;
    Reporter& reporter = *context_.reporter;
    references_ = findClipReferences(disc, reporter);
    // Missing stream files are in the log, one line per reference.
    reporter.slogR();
    selectorChosen();
}

void ClipinfTab::showReferences() {
    const int clip = selector()->currentIndex();
    const TCIRefs* refs = clip >= 0 && clip < static_cast<int>(references_.size())
                              ? &references_[static_cast<std::size_t>(clip)]
                              : nullptr;
    if (refs == nullptr || refs->empty()) {
        sgCIRef->clearGrid();
        return;
    }
    sizeGrid(sgCIRef, refs->size());
    for (std::size_t i = 0; i < refs->size(); ++i)
        showRow(sgCIRef, static_cast<int>(i) + 1, referenceRowCells(i, (*refs)[i]));
}

void ClipinfTab::referenceActivated(int row) {
    const int clip = selector()->currentIndex();
    if (clip < 0 || clip >= static_cast<int>(references_.size())) return;
    const TCIRefs& refs = references_[static_cast<std::size_t>(clip)];
    if (row < 1 || row > static_cast<int>(refs.size())) return;
    const ReferenceTarget target = referenceTarget(refs[static_cast<std::size_t>(row - 1)]);
    const int playItem = target.playItemRow ? static_cast<int>(*target.playItemRow) - 1 : -1;
    emit playlistRequested(toQ(target.playlistEntry), playItem);
}

std::vector<std::size_t> ClipinfTab::applyStn(const QString& entry, const TSTN& stn) {
    Reporter& reporter = *context_.reporter;
    // The clip shown keeps its unsaved edits; another one is read (which asks
    // about the shown clip's edits first).
    if (!showing(entry)) {
        if (!selectClip(entry)) {
            reporter.slog("Clip information " + entry.toStdString() + " not found", 1);
            return {};
        }
        readSelected();
    }
    if (!showing(entry) || !document_.good) return {};
    const std::vector<std::size_t> changed = applyStnToClip(stn, document_.clip);
    programInfoView->showStreams(changed);
    const std::string summary = applyStnSummary(document_.fileName, changed.size());
    reporter.log(summary);
    reporter.slog(summary, 1);
    emit saveStateChanged();
    return changed;
}

}  // namespace lumora::app
