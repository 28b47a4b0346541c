#include "app/menu/menu_header_view.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>

#include "app/widgets/field_helpers.h"
#include "app/widgets/widget_helpers.h"
#include "core/text.h"
#include "menu/menu_rows.h"

namespace lumora::app {
namespace {

// The user time-out is a 24-bit count of 90 kHz ticks.
constexpr std::uint32_t kMaxUserTimeOut = 0xFFFFFF;
constexpr std::uint32_t kTicksPerSecond = 90000;

// The frame rates a composition can name, in the selector's order.
constexpr std::uint8_t kFrameRateIds[] = {1, 2, 3, 4, 6, 7};

QLineEdit* countField(QWidget* parent, const QString& name, const QString& hint) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance("000") + 12);
    return field;
}

QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

MenuHeaderView::MenuHeaderView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildPageHeader(), 1);
    layout->addWidget(buildComposition(), 0);
    connectFields();
    clear();
}

QGroupBox* MenuHeaderView::buildPageHeader() {
    gbPageHeader = new QGroupBox("Page", this);
    gbPageHeader->setObjectName("gbPageHeader");
    QWidget* g = gbPageHeader;
    cbPage = new QComboBox(g);
    cbPage->setObjectName("cbPage");
    cbPage->setToolTip("Page of the menu");
    cbPage->setMinimumContentsLength(4);
    cbPage->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lPageCount = new QLabel("(0)", g);
    lPageCount->setObjectName("lPageCount");
    heUOMask1 = hexField(g, "heUOMask1", "User Operation Mask 1", 8);
    heUOMask2 = hexField(g, "heUOMask2", "User Operation Mask 2", 8);
    ieAnimation = new QSpinBox(g);
    ieAnimation->setObjectName("ieAnimation");
    ieAnimation->setToolTip("Animation steps last this many video frames; 0: no animation");
    ieAnimation->setRange(0, 255);
    heDefSelButton = hexField(g, "heDefSelButton", "Default selected button (FFFF: none)", 4);
    heDefActButton = hexField(g, "heDefActButton",
                              "Default activated button (FFFF: none, FFFE: the selected one)", 4);
    hePalette = hexField(g, "hePalette", "Palette of the page's buttons", 2);
    eInWindows = countField(g, "eInWindows", "Windows of the InEffects (click: show them)");
    eInEffects = countField(g, "eInEffects", "Effects of the InEffects (click: show them)");
    eOutWindows = countField(g, "eOutWindows", "Windows of the OutEffects (click: show them)");
    eOutEffects = countField(g, "eOutEffects", "Effects of the OutEffects (click: show them)");
    eBOGs = countField(g, "eBOGs", "Button overlap groups of the page");
    for (QLineEdit* count : {eInWindows, eInEffects, eOutWindows, eOutEffects}) {
        count->setCursor(Qt::PointingHandCursor);
        count->installEventFilter(this);
    }

    // The page with its own fields on the first line; the masks, the default
    // buttons and the effect counts in columns below.
    auto* first = new QHBoxLayout;
    first->setSpacing(4);
    first->addWidget(caption(g, "Pa&ge:", cbPage));
    first->addWidget(cbPage);
    first->addWidget(lPageCount);
    first->addSpacing(10);
    first->addWidget(caption(g, "Animation Frame Rate Code (divider):", ieAnimation));
    first->addWidget(ieAnimation);
    first->addSpacing(10);
    first->addWidget(caption(g, "Palette:", hePalette));
    first->addWidget(hePalette);
    first->addSpacing(10);
    first->addWidget(new QLabel("BOGs:", g));
    first->addWidget(eBOGs);
    first->addStretch(1);
    auto* inCounts = new QHBoxLayout;
    inCounts->setSpacing(2);
    inCounts->addWidget(eInWindows);
    inCounts->addWidget(eInEffects);
    auto* outCounts = new QHBoxLayout;
    outCounts->setSpacing(2);
    outCounts->addWidget(eOutWindows);
    outCounts->addWidget(eOutEffects);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addLayout(first, 0, 0, 1, 7);
    grid->addWidget(caption(g, "User Operation Mask 1:", heUOMask1), 1, 0);
    grid->addWidget(heUOMask1, 1, 1);
    grid->addWidget(caption(g, "User Operation Mask 2:", heUOMask2), 2, 0);
    grid->addWidget(heUOMask2, 2, 1);
    grid->addWidget(caption(g, "Default selected button:", heDefSelButton), 1, 2);
    grid->addWidget(heDefSelButton, 1, 3);
    grid->addWidget(caption(g, "Default activated button:", heDefActButton), 2, 2);
    grid->addWidget(heDefActButton, 2, 3);
    grid->addWidget(new QLabel("InEffects:", g), 1, 4);
    grid->addLayout(inCounts, 1, 5);
    grid->addWidget(new QLabel("OutEffects:", g), 2, 4);
    grid->addLayout(outCounts, 2, 5);
    grid->setColumnStretch(6, 1);
    auto* outer = new QVBoxLayout(g);
    outer->setContentsMargins(6, 2, 6, 4);
    outer->addLayout(grid);
    return gbPageHeader;
}

QGroupBox* MenuHeaderView::buildComposition() {
    gbComposition = new QGroupBox("Composition", this);
    gbComposition->setObjectName("gbComposition");
    QWidget* g = gbComposition;
    eUserTimeout = new QLineEdit(g);
    eUserTimeout->setObjectName("eUserTimeout");
    eUserTimeout->setToolTip("User timeout (h:mm:ss; 0:00:00: none)");
    eUserTimeout->setFixedWidth(eUserTimeout->fontMetrics().horizontalAdvance("00:00:00") + 14);
    coVideoFormat = listBox(g, "coVideoFormat", "Video format", toQList(menuVideoFormatTexts()));
    coFrameRate = listBox(g, "coFrameRate", "Frame rate");
    for (const std::uint8_t id : kFrameRateIds)
        coFrameRate->addItem(toQ(menuFrameRateText(id)), id);
    eINtime = new QLineEdit(g);
    eINtime->setObjectName("eINtime");
    eINtime->setToolTip("IN_time: presentation time of the menu's first segment");
    eINtime->setReadOnly(true);
    eINtime->setFocusPolicy(Qt::ClickFocus);
    eINtime->setFixedWidth(eINtime->fontMetrics().horizontalAdvance("0:00:00.000") + 14);

    // Captions above their fields: the group stays narrow beside the page.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(0);
    grid->addWidget(caption(g, "User timeout:", eUserTimeout), 0, 0);
    grid->addWidget(eUserTimeout, 1, 0);
    grid->addWidget(caption(g, "IN_time:", eINtime), 0, 1);
    grid->addWidget(eINtime, 1, 1);
    grid->addWidget(caption(g, "Video format:", coVideoFormat), 2, 0);
    grid->addWidget(coVideoFormat, 3, 0);
    grid->addWidget(caption(g, "Frame rate:", coFrameRate), 2, 1);
    grid->addWidget(coFrameRate, 3, 1);
    auto* outer = new QVBoxLayout(g);
    outer->setContentsMargins(6, 2, 6, 4);
    outer->addLayout(grid);
    return gbComposition;
}

void MenuHeaderView::connectFields() {
    connect(cbPage, &QComboBox::activated, this, &MenuHeaderView::pageChosen);
    connect(heUOMask1, &QLineEdit::editingFinished, this, &MenuHeaderView::storeUoMask1);
    connect(heUOMask2, &QLineEdit::editingFinished, this, &MenuHeaderView::storeUoMask2);
    connect(ieAnimation, &QSpinBox::valueChanged, this, &MenuHeaderView::storeAnimation);
    connect(heDefSelButton, &QLineEdit::editingFinished, this,
            &MenuHeaderView::storeDefaultSelected);
    connect(heDefActButton, &QLineEdit::editingFinished, this,
            &MenuHeaderView::storeDefaultActivated);
    connect(hePalette, &QLineEdit::editingFinished, this, &MenuHeaderView::storePalette);
    connect(eUserTimeout, &QLineEdit::editingFinished, this, &MenuHeaderView::storeUserTimeout);
    connect(coVideoFormat, &QComboBox::activated, this, &MenuHeaderView::chooseVideoFormat);
    connect(coFrameRate, &QComboBox::activated, this, &MenuHeaderView::chooseFrameRate);
    chainEnter(heUOMask1, heUOMask2);
    chainEnter(heUOMask2, ieAnimation);
    chainEnter(ieAnimation, heDefSelButton);
    chainEnter(heDefSelButton, heDefActButton);
    chainEnter(heDefActButton, hePalette);
    chainEnter(hePalette, cbPage);
    chainEnter(eUserTimeout, cbPage);
    cbPage->installEventFilter(this);
}

void MenuHeaderView::chainEnter(QWidget* field, QWidget* next) {
    enterOrder_.emplace_back(field, next);
    field->installEventFilter(this);
}

// Enter is left to the field, which takes its text (and stores it); the
// focus moves on afterwards, so the field is never left twice.
bool MenuHeaderView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cbPage && event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.modifiers() == Qt::NoModifier && key.key() == Qt::Key_Insert) {
            emit createPageRequested();
            return true;
        }
        if (key.modifiers() == Qt::NoModifier && key.key() == Qt::Key_Delete) {
            emit deletePageRequested();
            return true;
        }
    }
    if (isEnter(event)) {
        for (const auto& [field, next] : enterOrder_) {
            if (watched != field) continue;
            QTimer::singleShot(0, next, [next] {
                next->setFocus(Qt::TabFocusReason);
                if (auto* edit = qobject_cast<QLineEdit*>(next)) edit->selectAll();
            });
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress && document_.currentPage() != nullptr) {
        const TPage& page = *document_.currentPage();
        const bool in = watched == eInWindows || watched == eInEffects;
        const bool out = watched == eOutWindows || watched == eOutEffects;
        const Teffectseq& sequence = in ? page.inEffects : page.outEffects;
        if ((in || out) && sequence.windows.size() + sequence.effects.size() != 0) {
            emit effectsRequested(in);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Showing

void MenuHeaderView::clear() {
    showing_ = true;
    cbPage->clear();
    lPageCount->setText("(0)");
    for (QLineEdit* field :
         {heUOMask1, heUOMask2, heDefSelButton, heDefActButton, hePalette, eInWindows, eInEffects,
          eOutWindows, eOutEffects, eBOGs, eUserTimeout, eINtime}) {
        field->clear();
    }
    ieAnimation->setValue(0);
    coVideoFormat->setCurrentIndex(-1);
    coFrameRate->setCurrentIndex(-1);
    cbPage->setEnabled(false);
    gbPageHeader->setEnabled(false);
    gbComposition->setEnabled(false);
    showing_ = false;
}

void MenuHeaderView::showPageList() {
    const bool wasShowing = showing_;
    showing_ = true;
    cbPage->clear();
    for (const TPage& page : document_.menu.ics.pages)
        cbPage->addItem(QString::number(page.id));
    lPageCount->setText("(" + QString::number(document_.menu.ics.pages.size()) + ")");
    showing_ = wasShowing;
}

void MenuHeaderView::showMenu() {
    showing_ = true;
    showPageList();
    showComposition();
    cbPage->setEnabled(true);
    gbPageHeader->setEnabled(true);
    gbComposition->setEnabled(true);
    showing_ = false;
}

void MenuHeaderView::selectPage(int index) {
    showing_ = true;
    showItem(cbPage, index);
    showing_ = false;
}

void MenuHeaderView::showComposition() {
    const TIGSc& ics = document_.menu.ics;
    showItem(coVideoFormat, menuVideoFormatIndex(ics));
    coFrameRate->setCurrentIndex(coFrameRate->findData(ics.frameRateId));
    coFrameRate->setToolTip(coFrameRate->currentIndex() < 0
                                ? "Frame rate: id " + QString::number(ics.frameRateId) +
                                      " names no frame rate"
                                : QString("Frame rate"));
    showUserTimeout();
    eINtime->setText(toQ(menuTimeText(document_.menu.startTime)));
}

void MenuHeaderView::showUserTimeout() {
    eUserTimeout->setText(toQ(menuClockText(document_.menu.ics.userTimeOut)));
}

void MenuHeaderView::showPage() {
    const TPage* page = document_.currentPage();
    if (page == nullptr) return;
    showing_ = true;
    const PageHeaderTexts texts = pageHeaderTexts(*page);
    heUOMask1->setText(toQ(texts.uoMask1));
    heUOMask2->setText(toQ(texts.uoMask2));
    ieAnimation->setValue(page->animationFrameRateCode);
    heDefSelButton->setText(toQ(texts.defaultSelectedButton));
    heDefActButton->setText(toQ(texts.defaultActivatedButton));
    hePalette->setText(toQ(texts.palette));
    eInWindows->setText(toQ(texts.inWindows));
    eInEffects->setText(toQ(texts.inEffects));
    eOutWindows->setText(toQ(texts.outWindows));
    eOutEffects->setText(toQ(texts.outEffects));
    eBOGs->setText(toQ(texts.bogs));
    selectPage(document_.page);
    showing_ = false;
}

// ---------------------------------------------------------------------------
// Edits

void MenuHeaderView::storeUoMask1() {
    TPage* page = document_.currentPage();
    if (page == nullptr) return;
    const std::uint32_t value = hexOf(*heUOMask1);
    if (value != page->uoMask1) {
        page->uoMask1 = value;
        emit pageEdited();
    }
    heUOMask1->setText(toQ(pageHeaderTexts(*page).uoMask1));
}

void MenuHeaderView::storeUoMask2() {
    TPage* page = document_.currentPage();
    if (page == nullptr) return;
    const std::uint32_t value = hexOf(*heUOMask2);
    if (value != page->uoMask2) {
        page->uoMask2 = value;
        emit pageEdited();
    }
    heUOMask2->setText(toQ(pageHeaderTexts(*page).uoMask2));
}

void MenuHeaderView::storeAnimation(int code) {
    TPage* page = document_.currentPage();
    if (showing_ || page == nullptr) return;
    page->animationFrameRateCode = static_cast<std::uint8_t>(code);
    emit pageEdited();
}

void MenuHeaderView::storeDefaultSelected() {
    TPage* page = document_.currentPage();
    if (page == nullptr) return;
    const auto value = static_cast<std::uint16_t>(hexOf(*heDefSelButton));
    if (value != page->defaultSelectedButton) {
        page->defaultSelectedButton = value;
        emit pageEdited();
    }
    heDefSelButton->setText(toQ(pageHeaderTexts(*page).defaultSelectedButton));
}

void MenuHeaderView::storeDefaultActivated() {
    TPage* page = document_.currentPage();
    if (page == nullptr) return;
    const auto value = static_cast<std::uint16_t>(hexOf(*heDefActButton));
    if (value != page->defaultActivatedButton) {
        page->defaultActivatedButton = value;
        emit pageEdited();
    }
    heDefActButton->setText(toQ(pageHeaderTexts(*page).defaultActivatedButton));
}

// Only a palette the menu has is taken; the field always shows the page's.
void MenuHeaderView::storePalette() {
    TPage* page = document_.currentPage();
    if (page == nullptr) return;
    const std::uint32_t palette = hexOf(*hePalette);
    const bool changed = palette != page->palette;
    if (palette < document_.menu.palettes.size()) {
        page->palette = static_cast<std::uint8_t>(palette);
        if (changed) {
            emit paletteChanged();
            emit pageEdited();
        }
    }
    hePalette->setText(toQ(pageHeaderTexts(*page).palette));
}

// The typed time of day becomes ticks (whole seconds); a text that is no
// time, or a time the 24-bit field cannot hold, is refused and the held
// value shown again.
void MenuHeaderView::storeUserTimeout() {
    if (!document_.loaded) return;
    const QString text = eUserTimeout->text();
    if (text == toQ(menuClockText(document_.menu.ics.userTimeOut))) return;
    const std::optional<std::uint32_t> seconds = clockSeconds(text);
    QString refusal;
    if (!seconds) {
        refusal = "'" + text + "' is not a valid time";
    } else if (std::uint64_t{*seconds} * kTicksPerSecond > kMaxUserTimeOut) {
        refusal = "'" + text + "' is longer than the longest user timeout (" +
                  toQ(menuClockText(kMaxUserTimeOut)) + ")";
    }
    if (!refusal.isEmpty()) {
        showUserTimeout();
        if (context_.showMessage) context_.showMessage(refusal);
        return;
    }
    document_.menu.ics.userTimeOut = *seconds * kTicksPerSecond;
    showUserTimeout();
    emit pageEdited();
}

std::optional<std::uint32_t> MenuHeaderView::clockSeconds(const QString& text) {
    static const QRegularExpression time(
        R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.\d{1,3})?)?\s*$)");
    const QRegularExpressionMatch match = time.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const std::uint32_t hours = match.captured(1).toUInt();
    const std::uint32_t minutes = match.captured(2).toUInt();
    const std::uint32_t seconds = match.captured(3).isEmpty() ? 0 : match.captured(3).toUInt();
    if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

void MenuHeaderView::chooseVideoFormat(int item) {
    const auto& formats = menuVideoFormatTexts();
    if (!document_.loaded || item < 0 || item >= static_cast<int>(formats.size())) return;
    const QStringList size = toQ(formats[static_cast<std::size_t>(item)]).split('x');
    document_.menu.ics.videoWidth = static_cast<std::uint16_t>(size.value(0).toUInt());
    document_.menu.ics.videoHeight = static_cast<std::uint16_t>(size.value(1).toUInt());
    emit pageEdited();
}

void MenuHeaderView::chooseFrameRate(int item) {
    if (!document_.loaded || item < 0) return;
    document_.menu.ics.frameRateId =
        static_cast<std::uint8_t>(coFrameRate->itemData(item).toUInt());
    coFrameRate->setToolTip("Frame rate");
    emit pageEdited();
}

}  // namespace lumora::app
