#include "app/clipinf/clipinf_info_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"

namespace lumora::app {
namespace {

// The font block exists only in clips of text subtitles.
constexpr std::uint8_t kTextSubtitleClip = 6;
constexpr int kCountDigits = 10;  // 32-bit counts
// The ClipInfo lists are short; three rows keep the band low.
constexpr int kShownRows = 3;

int gridHeightFor(const StringGrid* grid, int rows) {
    return 2 * grid->frameWidth() + grid->horizontalHeader()->height() +
           rows * grid->verticalHeader()->defaultSectionSize();
}

QLabel* fieldLabel(QWidget* parent, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

ClipInfoView::ClipInfoView(ClipDocument& document, QWidget* parent)
    : QGroupBox("ClipInfo", parent), document_(document) {
    setObjectName("gbClipInfo");
    // Enter in the number fields hands the focus back to the group.
    setFocusPolicy(Qt::ClickFocus);
    buildAtcDeltaGrid();
    buildFontGrid();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(6);
    layout->addLayout(buildControls());
    layout->addWidget(sgATCdelta);
    layout->addWidget(pFontFiles);
    connectControls();
    clear();
}

QLayout* ClipInfoView::buildControls() {
    cbApplitype = listBox(this, "cbApplitype", "Application type", toQList(applicationTypeItems()));
    cbApplitype->setMinimumContentsLength(22);
    cbApplitype->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbisATCdelta = new QCheckBox("ATCd", this);
    cbisATCdelta->setObjectName("cbisATCdelta");
    cbisATCdelta->setToolTip("is_ATC_delta: the clip carries ATC delta entries");
    iePackets = numberField(this, "iePackets", "Number of source packets", kCountDigits);
    ieRecRate = numberField(this, "ieRecRate", "TS recording rate", kCountDigits);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->addWidget(cbApplitype, 0, 0, 1, 3);
    grid->addWidget(cbisATCdelta, 1, 0);
    grid->addWidget(fieldLabel(this, "Packets", iePackets), 1, 1, Qt::AlignRight);
    grid->addWidget(iePackets, 1, 2);
    grid->addWidget(fieldLabel(this, "Rec. rate", ieRecRate), 2, 1, Qt::AlignRight);
    grid->addWidget(ieRecRate, 2, 2);
    grid->setRowStretch(3, 1);
    // Room the group gains goes between the switch and the fields.
    grid->setColumnStretch(1, 1);
    return grid;
}

void ClipInfoView::buildAtcDeltaGrid() {
    sgATCdelta = new StringGrid(this);
    sgATCdelta->setObjectName("sgATCdelta");
    const ClipGridTexts& texts = clipGridTexts(ClipGrid::AtcDelta);
    sgATCdelta->setToolTip(toQ(texts.hint));
    sgATCdelta->setHeaders(toQList(texts.headers));
    sgATCdelta->setSelectionMode(QAbstractItemView::SingleSelection);
    sgATCdelta->setNarrowsToLeftColumn(true);
    sgATCdelta->setColumnEditMask(kAtcDelta, ">AAAAAAAA");
    // A following clip is named by five digits, like every clip.
    sgATCdelta->setColumnEditMask(kFollowing, "00000");
    // The codec id is always "M2TS".
    sgATCdelta->setColumnEditable(kClipCodec, false);
    fitColumns(sgATCdelta, {{kAtcDelta, "00000000"}, {kFollowing, "00000"}, {kClipCodec, "M2TS"}});
    sgATCdelta->setFixedWidth(gridWidthUpTo(sgATCdelta, kClipCodec));
    sgATCdelta->setFixedHeight(gridHeightFor(sgATCdelta, kShownRows));
}

void ClipInfoView::buildFontGrid() {
    pFontFiles = new QWidget(this);
    sgFontFiles = new StringGrid(pFontFiles);
    sgFontFiles->setObjectName("sgFontFiles");
    const ClipGridTexts& texts = clipGridTexts(ClipGrid::FontFiles);
    sgFontFiles->setToolTip(toQ(texts.hint));
    sgFontFiles->setHeaders(toQList(texts.headers));
    fitColumns(sgFontFiles, {{1, "00000"}});
    sgFontFiles->setFixedWidth(gridWidthUpTo(sgFontFiles, 1));
    sgFontFiles->setFixedHeight(gridHeightFor(sgFontFiles, kShownRows));
    auto* layout = new QVBoxLayout(pFontFiles);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sgFontFiles);
}

void ClipInfoView::connectControls() {
    connect(cbApplitype, &QComboBox::activated, this, &ClipInfoView::applicationTypeChosen);
    connect(cbisATCdelta, &QCheckBox::clicked, this, &ClipInfoView::atcDeltaClicked);
    connect(iePackets, &QLineEdit::textEdited, this,
            [this] { numberTyped(iePackets, info().numberOfSourcePackets); });
    connect(ieRecRate, &QLineEdit::textEdited, this,
            [this] { numberTyped(ieRecRate, info().tsRecordingRate); });
    connect(sgATCdelta, &StringGrid::insertPressed, this, &ClipInfoView::insertAtcDeltaEntry);
    connect(sgATCdelta, &StringGrid::shiftDeletePressed, this, &ClipInfoView::deleteAtcDeltaEntry);
    connect(sgATCdelta, &StringGrid::cellEdited, this, &ClipInfoView::atcDeltaCellEdited);
}

// ---------------------------------------------------------------------------
// Showing

void ClipInfoView::clear() {
    showing_ = true;
    cbApplitype->setCurrentIndex(-1);
    cbisATCdelta->setChecked(false);
    iePackets->clear();
    ieRecRate->clear();
    sgATCdelta->clearGrid();
    sgFontFiles->clearGrid();
    pFontFiles->hide();
    showing_ = false;
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbApplitype, cbisATCdelta, iePackets, ieRecRate})
        w->setEnabled(false);
}

void ClipInfoView::showClipInfo() {
    showing_ = true;
    showItem(cbApplitype, info().applicationType);
    // Shown as read: the click action (which moves the addresses) is the
    // user's alone.
    cbisATCdelta->setChecked(info().isATCdelta != 0);
    showNumber(iePackets, info().numberOfSourcePackets);
    showNumber(ieRecRate, info().tsRecordingRate);
    showing_ = false;
    showAtcDeltaEntries();
    showFontFiles();
    enableControls();
}

void ClipInfoView::showPackets() {
    showNumber(iePackets, info().numberOfSourcePackets);
}

void ClipInfoView::enableControls() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{cbApplitype, cbisATCdelta, iePackets, ieRecRate})
        w->setEnabled(editable());
    sgATCdelta->setEnabled(editable() && info().isATCdelta != 0);
}

void ClipInfoView::showAtcDeltaEntries() {
    const auto& entries = info().atcDeltaEntries;
    // Entries kept while "ATCd" is off stay in view, greyed with the grid.
    if (entries.empty()) {
        sgATCdelta->clearGrid();
    } else {
        sgATCdelta->setDataRows(static_cast<int>(entries.size()));
        for (int row = 1; row <= static_cast<int>(entries.size()); ++row)
            showAtcDeltaRow(row);
    }
    sgATCdelta->setEnabled(editable() && info().isATCdelta != 0);
}

void ClipInfoView::showAtcDeltaRow(int row) {
    const auto& entries = info().atcDeltaEntries;
    if (row < 1 || row > static_cast<int>(entries.size())) {
        for (int col = 0; col <= kClipCodec; ++col)
            sgATCdelta->setCell(col, row, QString());
        return;
    }
    const auto index = static_cast<std::size_t>(row - 1);
    showRow(sgATCdelta, row, atcDeltaRowCells(index, entries[index]));
}

void ClipInfoView::showFontFiles() {
    const auto& fonts = info().fontFiles;
    sizeGrid(sgFontFiles, fonts.size());
    for (std::size_t i = 0; i < fonts.size(); ++i)
        showRow(sgFontFiles, static_cast<int>(i) + 1, fontRowCells(i, fonts[i]));
    pFontFiles->setVisible(info().applicationType == kTextSubtitleClip);
}

// ---------------------------------------------------------------------------
// Editing

void ClipInfoView::applicationTypeChosen(int item) {
    if (showing_ || !editable() || item < 0) return;
    setApplicationType(document_.clip, static_cast<std::uint8_t>(item));
    showFontFiles();
}

void ClipInfoView::atcDeltaClicked(bool on) {
    if (showing_ || !editable()) return;
    setATCDelta(document_.clip, on);
    sgATCdelta->setEnabled(on);
}

// A count beyond 32 bits is taken as the largest one and shown so.
void ClipInfoView::numberTyped(QLineEdit* field, std::uint32_t& value) {
    if (showing_ || !editable()) return;
    const qulonglong typed = field->text().toULongLong();
    value = static_cast<std::uint32_t>(std::min<qulonglong>(typed, 0xFFFFFFFFu));
    if (typed > 0xFFFFFFFFu) showNumber(field, value);
}

void ClipInfoView::insertAtcDeltaEntry() {
    if (!editable() || !sgATCdelta->editMode()) return;
    const int count = static_cast<int>(info().atcDeltaEntries.size());
    // After the selected entry; first when there is none.
    const int at = count == 0 ? 0 : std::clamp(sgATCdelta->selectionBottom(), 1, count);
    const auto inserted = insertATCDeltaEntry(document_.clip, static_cast<std::size_t>(at));
    if (!inserted) return;
    showAtcDeltaEntries();
    sgATCdelta->setGridCursor(kAtcDelta, static_cast<int>(*inserted) + 1);
}

void ClipInfoView::deleteAtcDeltaEntry() {
    const int count = static_cast<int>(info().atcDeltaEntries.size());
    if (!editable() || !sgATCdelta->editMode() || count == 0) return;
    const int row = std::clamp(sgATCdelta->gridRow(), 1, count);
    deleteATCDeltaEntry(document_.clip, static_cast<std::size_t>(row - 1));
    showAtcDeltaEntries();
    sgATCdelta->setGridCursor(kAtcDelta, std::min(row, std::max(count - 1, 1)));
}

void ClipInfoView::atcDeltaCellEdited(int col, int row, const QString& text) {
    if (!editable() || row < 1) return;
    const CellEdit edit = editATCDeltaCell(document_.clip, static_cast<std::size_t>(row - 1),
                                           static_cast<ATCDeltaColumn>(col), text.toStdString());
    if (edit != CellEdit::Typing) showAtcDeltaRow(row);
}

}  // namespace lumora::app
