#include "app/playlist/playlist_appinfo_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/widgets/field_helpers.h"
#include "playlist/playlist_rows.h"

namespace lumora::app {
namespace {

constexpr std::uint32_t kSecondWordMask = 0x40000000;  // the only bit of the second word in use

// The hints of the first word's check boxes, bit 0 first.
const std::array<const char*, 32> kUoHints{
    "UO0: Secondary audio stream number change",
    "UO1:Secondary audio enable disable",
    "UO2: Secondary video stream number change",
    "UO3: Secondary video enable disable",
    "UO4: PG Text ST stream number change",
    "UO5: PG Text ST enable disable",
    "UO6: Popup off",
    "UO7: Popup on",
    "UO8:Angle number change",
    "UO9: Reserved",
    "UO10: Primary audio stream number change",
    "UO11: Select button and activate",
    "UO12: Activate button",
    "UO13: Select button",
    "UO14: Move right selected button",
    "UO15: Move left selected button",
    "UO16: Move down selected button",
    "UO17: Move up selected button",
    "UO18: Resume",
    "UO19: Backward play",
    "UO20: Forward play",
    "UO21: Still off",
    "UO22: Reserved for pause off",
    "UO23: Pause on",
    "UO24: Stop",
    "UO25: Reserved for play FirstPlay",
    "Skip back to previous point ",
    "UO27: Skip to next point",
    "UO28: Time search",
    "UO29: Chapter search",
    "UO30: Reserved for title search",
    "UO31: reserved for menu call",
};

QCheckBox* flagBox(QWidget* parent, const QString& caption, const QString& name,
                   const QString& hint) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    return box;
}

std::uint32_t withBit(std::uint32_t word, int bit, bool on) {
    const std::uint32_t mask = 1u << bit;
    return on ? word | mask : word & ~mask;
}

}  // namespace

AppInfoView::AppInfoView(PlaylistDocument& document, QWidget* parent)
    : QGroupBox("AppInfoPlayList", parent), document_(document) {
    setObjectName("gbAppInfoPlayList");
    // Enter in the number fields hands the focus back to the group.
    setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(3);
    layout->addLayout(buildTypeRow());
    layout->addLayout(buildMaskRow());
    connectControls();
    clear();
}

QLayout* AppInfoView::buildTypeRow() {
    cbAIpbt = listBox(this, "cbAIpbt", "Playback type",
                      {toQ(playlistPlaybackTypeText(1)), toQ(playlistPlaybackTypeText(2)),
                       toQ(playlistPlaybackTypeText(3))});
    ieAIpbc = numberField(this, "ieAIpbc", "Playback count for random and shuffle play", 4);
    heAIUO = hexField(this, "heAIUO", "User Operation Mask Table", 8);
    heAIUO2 = hexField(this, "heAIUO2", "User Operation Mask Table #2", 8);
    cbAIRA = flagBox(this, "random access", "cbAIRA", "PlayList_random_access_flag");
    cbAIAM = flagBox(this, "audio mix", "cbAIAM", "audio_mix_app_flag");
    cbAIBM = flagBox(this, "bypass mixer", "cbAIBM", "lossless_may_bypass_mixer_flag");

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QWidget* w : std::initializer_list<QWidget*>{cbAIpbt, ieAIpbc, heAIUO, heAIUO2})
        row->addWidget(w);
    row->addSpacing(6);
    for (QWidget* w : std::initializer_list<QWidget*>{cbAIRA, cbAIAM, cbAIBM})
        row->addWidget(w);
    row->addStretch(1);
    return row;
}

// Bit 31 leftmost, as the mask word reads; a gap after every four bits lines
// the boxes up with the word's hexadecimal digits.
QLayout* AppInfoView::buildMaskRow() {
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    for (int bit = 31; bit >= 0; --bit) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("cbUO%1").arg(bit));
        box->setToolTip(kUoHints[static_cast<std::size_t>(bit)]);
        uoBoxes_[static_cast<std::size_t>(bit)] = box;
        row->addWidget(box);
        if (bit % 4 == 0) row->addSpacing(bit == 0 ? 10 : 5);
    }
    cbUO2_30 = new QCheckBox(this);
    cbUO2_30->setObjectName("cbUO2_30");
    cbUO2_30->setToolTip("UO230: PiP PG textST stream number change ");
    row->addWidget(cbUO2_30);
    row->addStretch(1);
    return row;
}

void AppInfoView::connectControls() {
    // `activated`, `clicked` and `textEdited` come from the user only: what
    // the views merely show is never written back.
    connect(cbAIpbt, &QComboBox::activated, this, &AppInfoView::playbackTypeChosen);
    connect(ieAIpbc, &QLineEdit::textEdited, this,
            [this] { playlist().playbackCount = static_cast<std::uint16_t>(numberOf(*ieAIpbc)); });
    connect(heAIUO, &QLineEdit::textEdited, this, &AppInfoView::firstWordTyped);
    connect(heAIUO2, &QLineEdit::textEdited, this, &AppInfoView::secondWordTyped);
    connect(heAIUO2, &QLineEdit::editingFinished, this, &AppInfoView::secondWordDone);
    for (QLineEdit* field : {ieAIpbc, heAIUO, heAIUO2})
        connect(field, &QLineEdit::returnPressed, this, &AppInfoView::focusGroup);
    for (int bit = 0; bit < 32; ++bit) {
        connect(uoBox(bit), &QCheckBox::clicked, this,
                [this, bit](bool on) { maskBoxClicked(bit, on); });
    }
    connect(cbUO2_30, &QCheckBox::clicked, this, &AppInfoView::secondMaskBoxClicked);
    connect(cbAIRA, &QCheckBox::clicked, this,
            [this](bool on) { playlist().randomAccess = on ? 1 : 0; });
    connect(cbAIAM, &QCheckBox::clicked, this,
            [this](bool on) { playlist().audioMix = on ? 1 : 0; });
    connect(cbAIBM, &QCheckBox::clicked, this,
            [this](bool on) { playlist().bypassMixer = on ? 1 : 0; });
}

void AppInfoView::clear() {
    cbAIpbt->setCurrentIndex(-1);
    for (QLineEdit* field : {ieAIpbc, heAIUO, heAIUO2})
        field->clear();
    for (QCheckBox* box : uoBoxes_)
        box->setChecked(false);
    for (QCheckBox* box : {cbUO2_30, cbAIRA, cbAIAM, cbAIBM})
        box->setChecked(false);
    enableControls(false);
}

void AppInfoView::showPlaylist() {
    const TMPLS& p = playlist();
    // A type outside the three leaves the list without a selection; the
    // playlist keeps its value until the user picks one.
    showItem(cbAIpbt, p.playbackType - 1);
    showNumber(ieAIpbc, p.playbackCount);
    showFirstWord();
    showSecondWord();
    showMaskBoxes();
    cbAIRA->setChecked(p.randomAccess != 0);
    cbAIAM->setChecked(p.audioMix != 0);
    cbAIBM->setChecked(p.bypassMixer != 0);
    enableControls(document_.good);
}

void AppInfoView::enableControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{cbAIpbt, heAIUO, heAIUO2, cbUO2_30, cbAIRA,
                                                      cbAIAM, cbAIBM})
        w->setEnabled(on);
    for (QCheckBox* box : uoBoxes_)
        box->setEnabled(on);
    // The count matters for random and shuffle play only.
    ieAIpbc->setEnabled(on && playlist().playbackType > 1);
}

void AppInfoView::showMaskBoxes() {
    for (int bit = 0; bit < 32; ++bit)
        uoBox(bit)->setChecked((playlist().uoMask1 >> bit & 1) != 0);
    cbUO2_30->setChecked((playlist().uoMask2 & kSecondWordMask) != 0);
}

void AppInfoView::showFirstWord() {
    showHex(heAIUO, playlist().uoMask1, 8);
}

void AppInfoView::showSecondWord() {
    showHex(heAIUO2, playlist().uoMask2, 8);
}

void AppInfoView::focusGroup() {
    setFocus(Qt::OtherFocusReason);
}

void AppInfoView::playbackTypeChosen(int item) {
    if (item < 0) return;
    playlist().playbackType = static_cast<std::uint8_t>(item + 1);
    ieAIpbc->setEnabled(document_.good && playlist().playbackType > 1);
}

void AppInfoView::firstWordTyped() {
    playlist().uoMask1 = hexOf(*heAIUO);
    showMaskBoxes();
}

void AppInfoView::secondWordTyped() {
    playlist().uoMask2 = hexOf(*heAIUO2);
    showMaskBoxes();
}

// Only bit 30 of the second word is defined; the others go when the field is
// left.
void AppInfoView::secondWordDone() {
    if (!heAIUO2->isModified()) return;  // shown, not typed
    playlist().uoMask2 &= kSecondWordMask;
    showSecondWord();
    showMaskBoxes();
}

void AppInfoView::maskBoxClicked(int bit, bool on) {
    playlist().uoMask1 = withBit(playlist().uoMask1, bit, on);
    showFirstWord();
}

void AppInfoView::secondMaskBoxClicked(bool on) {
    playlist().uoMask2 = withBit(playlist().uoMask2, 30, on);
    showSecondWord();
}

}  // namespace lumora::app
