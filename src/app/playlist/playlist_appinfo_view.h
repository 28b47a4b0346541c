// The AppInfoPlayList group: playback type and count, the user-operation mask
// as two hexadecimal words and 33 check boxes, and the three flags.  Every
// control writes the playlist at once.
#pragma once

#include <QGroupBox>
#include <array>

#include "app/playlist/playlist_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace lumora::app {

class AppInfoView : public QGroupBox {
    Q_OBJECT
public:
    AppInfoView(PlaylistDocument& document, QWidget* parent = nullptr);

    // Every control emptied and disabled.
    void clear();
    // Shows the playlist; the controls are enabled when it is editable.
    void showPlaylist();

    // The check box of bit `bit` of the first mask word (cbUO0 .. cbUO31).
    QCheckBox* uoBox(int bit) const { return uoBoxes_[static_cast<std::size_t>(bit)]; }

    QComboBox* cbAIpbt;
    QLineEdit* ieAIpbc;
    QLineEdit* heAIUO;
    QLineEdit* heAIUO2;
    QCheckBox* cbUO2_30;
    QCheckBox* cbAIRA;
    QCheckBox* cbAIAM;
    QCheckBox* cbAIBM;

private:
    QLayout* buildMaskRow();
    QLayout* buildTypeRow();
    void connectControls();

    TMPLS& playlist() const { return document_.playlist; }
    void showMaskBoxes();
    void showFirstWord();
    void showSecondWord();
    void enableControls(bool on);
    void focusGroup();

    void playbackTypeChosen(int item);
    void firstWordTyped();
    void secondWordTyped();
    void secondWordDone();
    void maskBoxClicked(int bit, bool on);
    void secondMaskBoxClicked(bool on);

    PlaylistDocument& document_;
    std::array<QCheckBox*, 32> uoBoxes_{};
};

}  // namespace lumora::app
