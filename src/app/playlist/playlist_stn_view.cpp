#include "app/playlist/playlist_stn_view.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "core/stream_values.h"
#include "playlist/languages.h"
#include "playlist/stream_coding.h"

namespace lumora::app {
namespace {

// The stream list's columns before "attrib" (row numbers and frame included)
// take this much, unless the font needs more to show their texts whole;
// "attrib" gets the rest of the grid.
constexpr int kFixedColumnsWidth = 215;
constexpr int kCellPadding = 8;
constexpr int kCountColumnWidth = 27;
// Share of the "attrib" cell each drop-down list of the edit row takes.
constexpr std::array<int, 3> kVideoShares{3, 2, 2};
constexpr std::array<int, 4> kAudioShares{4, 3, 5, 2};
constexpr int kLanguageWidth = 64;

QStringList languageItems() {
    QStringList items;
    for (const std::string_view code : languageCodes())
        items << QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
    return items;
}

int languageItem(const std::string& language) {
    const auto& codes = languageCodes();
    const auto found = std::find(codes.begin(), codes.end(), language);
    return found == codes.end() ? -1 : static_cast<int>(found - codes.begin());
}

// Overlay fields take the size of the cell they cover.
void freeWidth(QWidget* w) {
    w->setMinimumWidth(0);
    w->setMaximumWidth(QWIDGETSIZE_MAX);
}

template <std::size_t N>
void placeSideBySide(const QRect& cell, const std::array<QWidget*, N>& widgets,
                     const std::array<int, N>& shares) {
    int total = 0;
    for (const int share : shares)
        total += share;
    int left = cell.left();
    for (std::size_t i = 0; i < N; ++i) {
        const int width = i + 1 == N ? cell.right() + 1 - left : cell.width() * shares[i] / total;
        widgets[i]->setGeometry(left, cell.top(), width, cell.height());
        left += width;
    }
}

}  // namespace

template <typename Change>
void StnView::writeStream(Change change) {
    if (showing_ || !document_.good) return;
    TSTNStream* s = streamOf(loaded_);
    if (s == nullptr) return;
    change(*s);
    if (loaded_.item == item_ && loaded_.list == list_) showStreamRow(loaded_.index);
    showSelectedStream();
}

StnView::StnView(PlaylistDocument& document, QWidget* parent)
    : QGroupBox("STN", parent), document_(document) {
    setObjectName("gbSTN");
    // Enter in the edit row's fields hands the focus back to the group.
    setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(buildCountRow());
    buildStreamGrid();
    layout->addWidget(sgStreamEntry, 1);
    buildEditRow();
    connectControls();
    clear();
}

QLayout* StnView::buildCountRow() {
    sgSTN = new StringGrid(this);
    sgSTN->setObjectName("sgSTN");
    sgSTN->setToolTip("STN table (stream numbers)");
    QStringList headers{QString()};
    for (const std::string& header : stnListHeaders())
        headers << toQ(header);
    sgSTN->setHeaders(headers);
    sgSTN->setDataRows(1);
    // No number column: the seven columns are the seven lists.
    sgSTN->verticalHeader()->hide();
    sgSTN->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgSTN->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSTN->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSTN->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int col = 1; col <= kStnLists; ++col)
        sgSTN->setGridColumnWidth(col, kCountColumnWidth);
    const int frame = 2 * sgSTN->frameWidth();
    sgSTN->setFixedSize(kStnLists * kCountColumnWidth + frame,
                        sgSTN->horizontalHeader()->height() + sgSTN->rowHeight(0) + frame);

    bbInsSTN = narrowButton(this, "+", "bbInsSTN", "Insert STN item");
    bbDelSTN = narrowButton(this, "-", "bbDelSTN", "Delete STN item");
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    row->addWidget(sgSTN);
    row->addWidget(bbInsSTN, 0, Qt::AlignBottom);
    row->addWidget(bbDelSTN, 0, Qt::AlignBottom);
    row->addStretch(1);
    return row;
}

void StnView::buildStreamGrid() {
    sgStreamEntry = new StringGrid(this);
    sgStreamEntry->setObjectName("sgStreamEntry");
    sgStreamEntry->setHeaders({"", "type", "mPID", "SPid", "sCid", "sPID", "attrib"});
    sgStreamEntry->setSelectionMode(QAbstractItemView::SingleSelection);
    sgStreamEntry->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitFixedColumns();
    // Rows as high as the drop-down lists laid over them.
    sgStreamEntry->setDefaultRowHeight(sgStreamEntry->fontMetrics().height() + 8);
    sgStreamEntry->setMinimumHeight(40);
    sgStreamEntry->viewport()->installEventFilter(this);
}

// Each column before "attrib" is as wide as its header and its widest value;
// the number column takes what is left of the fixed part.
void StnView::fitFixedColumns() {
    const QFontMetrics metrics = sgStreamEntry->fontMetrics();
    const auto width = [&metrics, this](int col, const QString& value) {
        const QString header = sgStreamEntry->cell(col, 0);
        return std::max(metrics.horizontalAdvance(header), metrics.horizontalAdvance(value)) +
               kCellPadding;
    };
    const std::array<std::pair<int, QString>, 5> samples{{{kType, "PlayItem"},
                                                          {kMainPid, "0000"},
                                                          {kSubPathId, "00"},
                                                          {kSubClipId, "00"},
                                                          {kSubPid, "0000"}}};
    int fixed = 2 * sgStreamEntry->frameWidth();
    for (const auto& [col, value] : samples) {
        sgStreamEntry->setGridColumnWidth(col, width(col, value));
        fixed += sgStreamEntry->gridColumnWidth(col);
    }
    const int number = metrics.horizontalAdvance(QStringLiteral("000")) + kCellPadding;
    sgStreamEntry->setGridColumnWidth(0, std::max(number, kFixedColumnsWidth - fixed));
}

// The edit row lives on the stream list's viewport, so it scrolls and clips
// with the rows.
void StnView::buildEditRow() {
    QWidget* host = sgStreamEntry->viewport();
    coEntryType = listBox(host, "coEntryType", QString(), toQList(entryTypeItems()));
    heMainPID = hexField(host, "heMainPID", "PID of mainClip", 4);
    heSubPID = hexField(host, "heSubPID", "PID of subClip", 4);
    ieSubPath = numberField(host, "ieSubPath", "SubPath id", 2);
    ieSubClip = numberField(host, "ieSubClip", "subClip entry id", 2);
    coVideo = listBox(host, "coVideo", QString(), toQList(videoCodingItems()));
    coResol = listBox(host, "coResol", QString(), toQList(videoFormatItems()));
    coFrmRate = listBox(host, "coFrmRate", QString(), toQList(frameRateItems()));
    coAudio = listBox(host, "coAudio", QString(), toQList(audioCodingItems()));
    coAuType = listBox(host, "coAuType", QString(), toQList(presentationTypeItems()));
    coFreq = listBox(host, "coFreq", QString(), toQList(samplingFrequencyItems()));
    coLang = listBox(host, "coLang", QString(), languageItems());
    coLang->setMaxVisibleItems(20);
    for (QWidget* field :
         std::initializer_list<QWidget*>{heMainPID, heSubPID, ieSubPath, ieSubClip})
        freeWidth(field);
}

void StnView::connectControls() {
    connect(sgSTN, &QTableWidget::currentCellChanged, this,
            [this](int, int col, int, int previousCol) {
                if (col != previousCol) listChosen(col);
            });
    connect(sgStreamEntry, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) streamRowChosen(row + 1);
            });
    connect(sgStreamEntry, &StringGrid::insertPressed, this, &StnView::insertStream);
    connect(sgStreamEntry, &StringGrid::deletePressed, this, &StnView::deleteStream);
    connect(bbInsSTN, &QPushButton::clicked, this, &StnView::insertStream);
    connect(bbDelSTN, &QPushButton::clicked, this, &StnView::deleteStream);
    connect(sgStreamEntry->horizontalHeader(), &QHeaderView::sectionResized, this,
            &StnView::placeEditRow);
    connect(sgStreamEntry->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &StnView::placeEditRow);

    // `activated` comes from the user only.
    connect(coEntryType, &QComboBox::activated, this, [this](int item) {
        writeStream([item](TSTNStream& s) { s.entryType = static_cast<std::uint8_t>(item); });
    });
    connect(coVideo, &QComboBox::activated, this, [this](int item) {
        writeStream([item](TSTNStream& s) { s.codingType = videoCodingForItem(item); });
    });
    connect(coResol, &QComboBox::activated, this, [this](int item) {
        writeStream([item](TSTNStream& s) { s.videoFormat = static_cast<std::uint8_t>(item); });
    });
    connect(coFrmRate, &QComboBox::activated, this, [this](int item) {
        writeStream([item](TSTNStream& s) { s.frameRate = static_cast<std::uint8_t>(item); });
    });
    connect(coAudio, &QComboBox::activated, this, [this](int item) {
        writeStream([item](TSTNStream& s) { s.codingType = audioCodingForItem(item); });
    });
    connect(coAuType, &QComboBox::activated, this, [this](int item) {
        writeStream(
            [item](TSTNStream& s) { s.presentationType = static_cast<std::uint8_t>(item); });
    });
    connect(coFreq, &QComboBox::activated, this, [this](int item) {
        writeStream(
            [item](TSTNStream& s) { s.samplingFrequency = static_cast<std::uint8_t>(item); });
    });
    connect(coLang, &QComboBox::activated, this, [this](int item) {
        const std::string code(languageCodes()[static_cast<std::size_t>(item)]);
        writeStream([&code](TSTNStream& s) { s.language = code; });
    });

    // The fields write what the user typed when they are left (or with
    // Enter).
    connectField(heMainPID,
                 [](TSTNStream& s, std::uint32_t v) { s.mainPid = static_cast<std::uint16_t>(v); });
    connectField(heSubPID,
                 [](TSTNStream& s, std::uint32_t v) { s.subPid = static_cast<std::uint16_t>(v); });
    connectField(ieSubPath, [](TSTNStream& s, std::uint32_t v) {
        s.subPathId = static_cast<std::uint8_t>(v);
    });
    connectField(ieSubClip, [](TSTNStream& s, std::uint32_t v) {
        s.subClipEntryId = static_cast<std::uint8_t>(v);
    });
    for (QLineEdit* field : {heMainPID, heSubPID, ieSubPath, ieSubClip}) {
        connect(field, &QLineEdit::returnPressed, this, [this] { setFocus(Qt::OtherFocusReason); });
    }
}

void StnView::connectField(QLineEdit* field, void (*store)(TSTNStream&, std::uint32_t)) {
    const bool hex = field == heMainPID || field == heSubPID;
    connect(field, &QLineEdit::editingFinished, this, [this, field, store, hex] {
        if (!field->isModified()) return;
        const std::uint32_t value = hex ? hexOf(*field) : numberOf(*field);
        writeStream([store, value](TSTNStream& s) { store(s, value); });
    });
}

bool StnView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgStreamEntry->viewport() && event->type() == QEvent::Resize) {
        fitAttributeColumn();
        placeEditRow();
    }
    return QGroupBox::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Showing

TSTN* StnView::stn() const {
    auto& items = document_.playlist.playList.playItems;
    if (item_ < 0 || item_ >= static_cast<int>(items.size())) return nullptr;
    return &items[static_cast<std::size_t>(item_)].stn;
}

TSTNStream* StnView::streamOf(const StreamRef& ref) const {
    auto& items = document_.playlist.playList.playItems;
    if (ref.item < 0 || ref.item >= static_cast<int>(items.size()) || ref.index < 0) return nullptr;
    TSTN& table = items[static_cast<std::size_t>(ref.item)].stn;
    if (ref.index >= static_cast<int>(stnListCount(table, ref.list))) return nullptr;
    return &stnStream(table, ref.list, static_cast<std::size_t>(ref.index));
}

StnView::Kind StnView::kindOf(StnList list) {
    switch (list) {
        case StnList::Video:
        case StnList::SecondaryVideo:
            return Kind::Video;
        case StnList::Audio:
        case StnList::SecondaryAudio:
            return Kind::Audio;
        default:
            return Kind::Graphics;
    }
}

// The audio, PG and IG lists show even when empty, since streams can be
// inserted into them; the others only when they hold streams.
bool StnView::listShown() const {
    const TSTN* table = stn();
    if (table == nullptr) return false;
    switch (list_) {
        case StnList::Audio:
        case StnList::Pg:
        case StnList::Ig:
            return true;
        default:
            return stnListCount(*table, list_) > 0;
    }
}

int StnView::selectedStream() const {
    const TSTN* table = stn();
    if (table == nullptr || !listShown()) return -1;
    const int count = static_cast<int>(stnListCount(*table, list_));
    const int row = sgStreamEntry->gridRow();
    return count == 0 ? -1 : std::clamp(row, 1, count) - 1;
}

void StnView::clear() {
    item_ = -1;
    showing_ = true;
    sgSTN->clearGrid();
    showing_ = false;
    showList();
}

void StnView::showPlayItem(int item) {
    item_ = item;
    showCounts();
    showList();
}

void StnView::showCounts() {
    const TSTN* table = stn();
    showing_ = true;
    if (table == nullptr) {
        sgSTN->clearGrid();
    } else {
        const auto cells = stnCountCells(*table);
        for (int i = 0; i < kStnLists; ++i)
            sgSTN->setCell(i + 1, 1, toQ(cells[static_cast<std::size_t>(i)]));
        sgSTN->setEnabled(true);
        sgSTN->setGridCursor(static_cast<int>(list_) + 1, 1);
    }
    showing_ = false;
}

void StnView::selectList(StnList list) {
    list_ = list;
    showing_ = true;
    sgSTN->setGridCursor(static_cast<int>(list) + 1, 1);
    showing_ = false;
    showList();
}

void StnView::listChosen(int col) {
    if (showing_ || col < 0 || col >= kStnLists) return;
    list_ = static_cast<StnList>(col);
    showList();
}

void StnView::showList() {
    const TSTN* table = stn();
    const std::size_t count = listShown() ? stnListCount(*table, list_) : 0;
    const int row =
        std::clamp(sgStreamEntry->gridRow(), 1, std::max<int>(1, static_cast<int>(count)));
    showing_ = true;
    sizeGrid(sgStreamEntry, count);
    for (std::size_t i = 0; i < count; ++i)
        showStreamRow(static_cast<int>(i));
    if (count > 0) selectGridRow(sgStreamEntry, row);
    showing_ = false;
    enableButtons();
    showSelectedStream();
}

void StnView::showStreamRow(int index) {
    const TSTN* table = stn();
    if (table == nullptr) return;
    const auto i = static_cast<std::size_t>(index);
    showRow(sgStreamEntry, index + 1, stnStreamCells(list_, i, stnStream(*table, list_, i)));
}

void StnView::selectStream(int index) {
    showing_ = true;
    selectGridRow(sgStreamEntry, index + 1);
    showing_ = false;
    showSelectedStream();
}

void StnView::streamRowChosen(int row) {
    if (showing_ || row < 1) return;
    showSelectedStream();
}

void StnView::enableButtons() {
    const TSTN* table = stn();
    const bool editable = document_.good && table != nullptr;
    bbInsSTN->setEnabled(editable && canInsertStream(*table, list_));
    bbDelSTN->setEnabled(editable && canDeleteStream(*table, list_));
}

void StnView::hideEditRow() {
    showEditRow({});
}

// Hides the controls the stream does not use and shows the others.  A field
// that stays keeps the focus and the cursor.
void StnView::showEditRow(const std::vector<QWidget*>& shown) {
    showing_ = true;  // a field losing the focus this way has nothing to write
    for (QWidget* w : editRowControls()) {
        if (std::find(shown.begin(), shown.end(), w) == shown.end()) w->hide();
    }
    showing_ = false;
    placeEditRow();
    for (QWidget* w : shown) {
        w->setEnabled(document_.good);
        w->show();
    }
}

std::vector<QWidget*> StnView::editRowControls() const {
    return {coEntryType, heMainPID, ieSubPath, ieSubClip, heSubPID, coVideo,
            coResol,     coFrmRate, coAudio,   coAuType,  coFreq,   coLang};
}

// The controls of a stream: the entry type and the fields its type uses, then
// the attribute lists of its list's kind.
std::vector<QWidget*> StnView::editRowFor(const TSTNStream& s) const {
    std::vector<QWidget*> shown{coEntryType};
    if (s.entryType == kEntryPlayItem || s.entryType == kEntryInMuxPip) shown.push_back(heMainPID);
    if (s.entryType == kEntrySubPath || s.entryType == kEntryInMuxPip) shown.push_back(ieSubPath);
    if (s.entryType == kEntrySubPath) shown.insert(shown.end(), {ieSubClip, heSubPID});
    switch (kindOf(list_)) {
        case Kind::Video:
            shown.insert(shown.end(), {coVideo, coResol, coFrmRate});
            break;
        case Kind::Audio:
            shown.insert(shown.end(), {coAudio, coAuType, coFreq, coLang});
            break;
        case Kind::Graphics:
            shown.push_back(coLang);
            break;
    }
    return shown;
}

void StnView::showSelectedStream() {
    loaded_ = StreamRef{item_, list_, selectedStream()};
    const TSTNStream* s = streamOf(loaded_);
    if (s == nullptr) {
        hideEditRow();
        return;
    }
    showing_ = true;
    showItem(coEntryType, s->entryType);
    showHex(heMainPID, s->mainPid, 4);
    showHex(heSubPID, s->subPid, 4);
    showNumber(ieSubPath, s->subPathId);
    showNumber(ieSubClip, s->subClipEntryId);
    showItem(coVideo, videoCodingItem(s->codingType));
    showItem(coResol, s->videoFormat);
    showItem(coFrmRate, s->frameRate);
    showItem(coAudio, audioCodingItem(s->codingType));
    showItem(coAuType, s->presentationType);
    showItem(coFreq, s->samplingFrequency);
    showItem(coLang, languageItem(s->language));
    showHints();
    showing_ = false;
    showEditRow(editRowFor(*s));
}

void StnView::showHints() {
    const TSTNStream* s = streamOf(loaded_);
    if (s == nullptr) return;
    coEntryType->setToolTip(toQ(entryTypeHint(s->entryType)));
    coVideo->setToolTip(toQ(videoCodingHint(coVideo->currentIndex())));
    coAudio->setToolTip(toQ(audioCodingHint(coAudio->currentIndex())));
    // Presentation types without a hint leave the one shown before.
    if (const std::string hint = presentationTypeHint(s->presentationType); !hint.empty())
        coAuType->setToolTip(toQ(hint));
}

void StnView::fitAttributeColumn() {
    int fixed = 0;
    for (int col = kType; col < kAttributes; ++col)
        fixed += sgStreamEntry->gridColumnWidth(col);
    sgStreamEntry->setGridColumnWidth(kAttributes,
                                      std::max(sgStreamEntry->viewport()->width() - fixed, 60));
}

void StnView::placeEditRow() {
    const int row = sgStreamEntry->gridRow();
    if (row < 1 || loaded_.index < 0) return;
    const auto cell = [this, row](int col) {
        return sgStreamEntry->visualRect(sgStreamEntry->model()->index(row - 1, col - 1));
    };
    coEntryType->setGeometry(cell(kType));
    heMainPID->setGeometry(cell(kMainPid));
    ieSubPath->setGeometry(cell(kSubPathId));
    ieSubClip->setGeometry(cell(kSubClipId));
    heSubPID->setGeometry(cell(kSubPid));
    const QRect attributes = cell(kAttributes);
    switch (kindOf(loaded_.list)) {
        case Kind::Video:
            placeSideBySide<3>(attributes, {coVideo, coResol, coFrmRate}, kVideoShares);
            break;
        case Kind::Audio:
            placeSideBySide<4>(attributes, {coAudio, coAuType, coFreq, coLang}, kAudioShares);
            break;
        case Kind::Graphics:
            coLang->setGeometry(attributes.left(), attributes.top(),
                                std::min(kLanguageWidth, attributes.width()), attributes.height());
            break;
    }
}

// ---------------------------------------------------------------------------
// Insert and delete

// The new stream follows the selected one (or starts an empty list).
void StnView::insertStream() {
    if (!document_.good || stn() == nullptr) return;
    const int at = selectedStream() + 1;
    if (!lumora::insertStream(document_.playlist, static_cast<std::size_t>(item_), list_,
                              static_cast<std::size_t>(at)))
        return;
    showCounts();
    showList();
    selectStream(at);
}

// The selection moves up one row, unless it was on the first.
void StnView::deleteStream() {
    const int index = selectedStream();
    if (!document_.good || index < 0) return;
    if (!lumora::deleteStream(document_.playlist, static_cast<std::size_t>(item_), list_,
                              static_cast<std::size_t>(index)))
        return;
    showCounts();
    showList();
    if (selectedStream() >= 0) selectStream(std::max(index - 1, 0));
}

}  // namespace lumora::app
