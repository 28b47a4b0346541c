#include "app/playlist/playlist_mark_view.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "core/file_io.h"

namespace lumora::app {
namespace {

const QString kChapterFilter = QStringLiteral("Text (*.txt)");
const QString kChapterSuffix = QStringLiteral("txt");

QString withTxtSuffix(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + kChapterSuffix : path;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QLabel* separator(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

MarkView::MarkView(PlaylistDocument& document, const PlaylistContext& context, QWidget* parent)
    : QGroupBox("PlayListMark", parent), document_(document), context_(context) {
    setObjectName("gbPlayListMark");
    sgPlayListMark = new StringGrid(this);
    sgPlayListMark->setObjectName("sgPlayListMark");
    sgPlayListMark->setToolTip("PlayListMark");
    sgPlayListMark->setHeaders({"", "type", "PI", "mark time", "entry PID", "duration"});
    fitColumns(sgPlayListMark, {{kType, "entry-mark"},
                                {kPlayItem, "000"},
                                {kTime, "00:00:00.000"},
                                {kEntryPid, "FFFF"},
                                {kDuration, "00000000"}});
    sgPlayListMark->setFixedWidth(gridWidthUpTo(sgPlayListMark, kDuration));

    auto* controls = new QVBoxLayout;
    controls->setSpacing(4);
    controls->addLayout(buildFields());
    buttonRow_ = buildButtons();
    controls->addLayout(buttonRow_);
    controls->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(8);
    layout->addWidget(sgPlayListMark);
    layout->addLayout(controls);
    layout->addStretch(1);
    connectControls();
    clear();
}

QLayout* MarkView::buildFields() {
    cmPLMtype = listBox(this, "cmPLMtype", QString(), {"entry-mark", "link point"});
    iePLMPI = numberField(this, "iePLMPI", QString(), 3);
    iePLMhour = numberField(this, "iePLMhour", QString(), 2);
    iePLMmin = numberField(this, "iePLMmin", QString(), 2);
    iePLMsec = numberField(this, "iePLMsec", QString(), 2);
    iePLMms = numberField(this, "iePLMms", QString(), 3);
    iePLMms->setText("999");
    auto* playItemLabel = new QLabel("PI", this);
    playItemLabel->setBuddy(iePLMPI);

    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(cmPLMtype);
    row->addSpacing(8);
    row->addWidget(playItemLabel);
    row->addWidget(iePLMPI);
    row->addSpacing(8);
    row->addWidget(iePLMhour);
    row->addWidget(separator(this, ":"));
    row->addWidget(iePLMmin);
    row->addWidget(separator(this, ":"));
    row->addWidget(iePLMsec);
    row->addWidget(separator(this, "."));
    row->addWidget(iePLMms);
    row->addStretch(1);
    return row;
}

QHBoxLayout* MarkView::buildButtons() {
    bbPLMins = narrowButton(this, "+", "bbPLMins", "Insert PlayListMark item");
    bbPLMdel = narrowButton(this, "-", "bbPLMdel", "Delete PlayListMark item");
    bbLoadChap = narrowButton(this, QString(), "bbLoadChap", "Load chapters");
    bbSaveChap = narrowButton(this, QString(), "bbSaveChap", "Save chapters");
    bbLoadChap->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    bbSaveChap->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));

    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    row->addWidget(bbPLMins);
    row->addWidget(bbPLMdel);
    row->addSpacing(12);
    row->addWidget(bbLoadChap);
    row->addWidget(bbSaveChap);
    row->addStretch(1);
    return row;
}

void MarkView::connectControls() {
    connect(sgPlayListMark, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) markRowChosen(row + 1);
            });
    connect(sgPlayListMark, &StringGrid::insertPressed, this, &MarkView::insertMark);
    connect(sgPlayListMark, &StringGrid::deletePressed, this, &MarkView::deleteMarks);
    connect(bbPLMins, &QPushButton::clicked, this, &MarkView::insertMark);
    connect(bbPLMdel, &QPushButton::clicked, this, &MarkView::deleteMarks);
    connect(bbLoadChap, &QPushButton::clicked, this, &MarkView::loadChapters);
    connect(bbSaveChap, &QPushButton::clicked, this, &MarkView::saveChapters);

    connect(cmPLMtype, &QComboBox::activated, this, &MarkView::typeChosen);
    connect(iePLMPI, &QLineEdit::textEdited, this, &MarkView::playItemTyped);
    connect(iePLMhour, &QLineEdit::textEdited, this, &MarkView::hoursTyped);
    for (QLineEdit* field : {iePLMhour, iePLMmin, iePLMsec, iePLMms}) {
        connect(field, &QLineEdit::editingFinished, this, [this, field] { timeFieldLeft(field); });
    }
    connect(iePLMhour, &QLineEdit::returnPressed, this, [this] { iePLMmin->setFocus(); });
    connect(iePLMsec, &QLineEdit::returnPressed, this, [this] { iePLMms->setFocus(); });
}

// ---------------------------------------------------------------------------
// Showing

void MarkView::clear() {
    loadedMark_ = -1;
    showing_ = true;
    sgPlayListMark->clearGrid();
    cmPLMtype->setCurrentIndex(-1);
    for (QLineEdit* field : {iePLMPI, iePLMhour, iePLMmin, iePLMsec})
        field->clear();
    iePLMms->setText("999");
    showing_ = false;
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmPLMtype, iePLMPI, iePLMhour, iePLMmin, iePLMsec, iePLMms,
                                         bbPLMins, bbPLMdel, bbLoadChap, bbSaveChap})
        w->setEnabled(false);
}

void MarkView::showMarks() {
    const auto& marks = playlist().marks.marks;
    showing_ = true;
    sizeGrid(sgPlayListMark, marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i)
        showMarkRow(static_cast<int>(i));
    showing_ = false;
    if (!marks.empty()) selectMark(0);
    enableControls();
}

void MarkView::showMarkRow(int mark) {
    const auto i = static_cast<std::size_t>(mark);
    showRow(sgPlayListMark, mark + 1, markRowCells(i, playlist().marks.marks[i]));
}

void MarkView::enableControls() {
    const bool editable = document_.good;
    const bool any = !playlist().marks.marks.empty();
    for (QWidget* w : std::initializer_list<QWidget*>{cmPLMtype, iePLMPI, iePLMhour, iePLMmin,
                                                      iePLMsec, iePLMms, bbPLMdel, bbSaveChap})
        w->setEnabled(editable && any);
    bbPLMins->setEnabled(editable && playlist().marks.marks.size() < kMaxMarks);
    // Chapters land on PlayItems: without one there is nowhere to put them.
    bbLoadChap->setEnabled(editable && !playlist().playList.playItems.empty());
}

int MarkView::selectedMark() const {
    const int count = static_cast<int>(playlist().marks.marks.size());
    const int row = sgPlayListMark->gridRow();
    return row >= 1 && row <= count ? row - 1 : -1;
}

TMark* MarkView::loadedMark() const {
    auto& marks = playlist().marks.marks;
    return loadedMark_ >= 0 && loadedMark_ < static_cast<int>(marks.size())
               ? &marks[static_cast<std::size_t>(loadedMark_)]
               : nullptr;
}

void MarkView::selectMark(int mark) {
    showing_ = true;
    selectGridRow(sgPlayListMark, mark + 1);
    showing_ = false;
    showFields();
}

void MarkView::markRowChosen(int row) {
    if (showing_ || row < 1) return;
    showFields();
}

void MarkView::showFields() {
    loadedMark_ = selectedMark();
    const TMark* mark = loadedMark();
    if (mark == nullptr) return;
    showing_ = true;
    showItem(cmPLMtype, mark->type - 1);
    showNumber(iePLMPI, mark->playItemId);
    const MarkTimeFields time = markTimeFields(mark->time);
    showNumber(iePLMhour, time.hours);
    showNumber(iePLMmin, time.minutes);
    showNumber(iePLMsec, time.seconds);
    showNumber(iePLMms, time.milliseconds);
    showing_ = false;
}

// ---------------------------------------------------------------------------
// Editing the selected mark

void MarkView::typeChosen(int item) {
    TMark* mark = loadedMark();
    if (mark == nullptr || item < 0 || !document_.good) return;
    mark->type = static_cast<std::uint8_t>(item + 1);
    showMarkRow(loadedMark_);
}

// A mark names one of the playlist's PlayItems; a larger number is taken
// down to the last one.
void MarkView::playItemTyped() {
    TMark* mark = loadedMark();
    if (mark == nullptr || showing_ || !document_.good) return;
    const auto count = static_cast<std::uint32_t>(playlist().playList.playItems.size());
    const std::uint32_t last = count > 0 ? count - 1 : 0;
    const std::uint32_t typed = numberOf(*iePLMPI);
    if (!iePLMPI->text().isEmpty() && typed > last) showNumber(iePLMPI, last);
    mark->playItemId = static_cast<std::uint16_t>(std::min(typed, last));
    showMarkRow(loadedMark_);
}

// The hours are taken at every key: a value above the limit shows the limit
// at once.
void MarkView::hoursTyped() {
    if (showing_ || iePLMhour->text().isEmpty()) return;
    MarkTimeFields typed;
    typed.hours = numberOf(*iePLMhour);
    const MarkTimeFields clamped = clampMarkTimeFields(typed);
    if (clamped.hours != typed.hours) showNumber(iePLMhour, clamped.hours);
    storeTime();
}

// Only what the user typed is taken: a field left without a change, or one
// the views refilled, writes nothing.
void MarkView::timeFieldLeft(const QLineEdit* field) {
    if (showing_ || !field->isModified()) return;
    storeTime();
}

// The fields show their clamped values, and the mark takes their time.
void MarkView::storeTime() {
    TMark* mark = loadedMark();
    if (mark == nullptr || !document_.good) return;
    MarkTimeFields fields;
    fields.hours = numberOf(*iePLMhour);
    fields.minutes = numberOf(*iePLMmin);
    fields.seconds = numberOf(*iePLMsec);
    fields.milliseconds = numberOf(*iePLMms);
    fields = clampMarkTimeFields(fields);
    showing_ = true;
    showNumber(iePLMhour, fields.hours);
    showNumber(iePLMmin, fields.minutes);
    showNumber(iePLMsec, fields.seconds);
    showNumber(iePLMms, fields.milliseconds);
    showing_ = false;
    mark->time = markTimeFromFields(fields);
    showMarkRow(loadedMark_);
}

// ---------------------------------------------------------------------------
// Insert and delete

// The new mark follows the last selected one.
void MarkView::insertMark() {
    if (!document_.good) return;
    const int count = static_cast<int>(playlist().marks.marks.size());
    const int at = count == 0 ? 0 : std::clamp(sgPlayListMark->selectionBottom(), 1, count);
    if (!lumora::insertMark(playlist(), static_cast<std::size_t>(at))) return;
    showing_ = true;
    sizeGrid(sgPlayListMark, playlist().marks.marks.size());
    for (int i = 0; i <= count; ++i)
        showMarkRow(i);
    showing_ = false;
    selectMark(at);
    enableControls();
}

void MarkView::deleteMarks() {
    const int count = static_cast<int>(playlist().marks.marks.size());
    if (!document_.good || count == 0) return;
    const int top = std::clamp(sgPlayListMark->selectionTop(), 1, count);
    const int bottom = std::clamp(sgPlayListMark->selectionBottom(), top, count);
    lumora::deleteMarks(playlist(), static_cast<std::size_t>(top - 1),
                        static_cast<std::size_t>(bottom - 1));
    showing_ = true;
    sizeGrid(sgPlayListMark, playlist().marks.marks.size());
    for (int i = 0; i < static_cast<int>(playlist().marks.marks.size()); ++i)
        showMarkRow(i);
    showing_ = false;
    if (playlist().marks.marks.empty()) {
        clear();
    } else {
        // The row above the deleted range, or the first row.
        selectMark(std::max(top - 2, 0));
    }
    enableControls();
}

// ---------------------------------------------------------------------------
// Chapter files

ChapterFormat MarkView::chapterFormat() const {
    return context_.chapterFormat();
}

QString MarkView::chapterFileName() const {
    return toQ(lumora::chapterFileName(document_.entry, chapterFormat()));
}

void MarkView::loadChapters() {
    if (!document_.good) return;
    QString folder = context_.outputFolder();
    if (folder.isEmpty()) folder = toQ(context_.disc().folder);
    const QString path =
        context_.chooseChapterLoad("Open chapter file", folder, chapterFileName(), kChapterFilter);
    if (path.isEmpty()) return;
    Bytes chapters;
    try {
        chapters = readFileBytes(localPath(path));
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
        return;
    }
    const std::string text(chapters.begin(), chapters.end());
    const ChapterResult result =
        importChapters(playlist(), text, chapterFormat(), *context_.reporter);
    if (!result.ok) context_.reporter->erlog(result.error);
    showMarks();
}

void MarkView::saveChapters() {
    if (!document_.good) return;
    // Chapter lists belong beside the disc, not inside its BDMV folder.
    QString folder = context_.outputFolder();
    if (folder.isEmpty()) folder = toQ(chooserStartFolder(context_.disc().folder));
    QString path =
        context_.chooseChapterSave("Save chapter file", folder, chapterFileName(), kChapterFilter);
    if (path.isEmpty()) return;
    const ChapterResult result = exportChapters(playlist(), chapterFormat());
    if (!result.ok) {
        context_.reporter->erlog(result.error);
        return;
    }
    path = withTxtSuffix(path);
    try {
        writeFileSafely(localPath(path), Bytes(result.text.begin(), result.text.end()));
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
}

}  // namespace lumora::app
