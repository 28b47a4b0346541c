// The ClipInfo group: application type, the "ATCd" switch, the packet count
// and recording rate, the ATC delta entries (edited in the grid's edit mode)
// and the font files of a text subtitle clip.  Every change writes the clip
// at once; the core keeps ClipInfo's length and the later start addresses
// right.
#pragma once

#include <QGroupBox>

#include "app/clipinf/clipinf_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace lumora::app {

class StringGrid;

class ClipInfoView : public QGroupBox {
    Q_OBJECT
public:
    enum AtcColumn { kAtcDelta = 1, kFollowing, kClipCodec };

    ClipInfoView(ClipDocument& document, QWidget* parent = nullptr);

    // Nothing shown, everything disabled.
    void clear();
    // Shows ClipInfo of the current clip; its controls take edits only when
    // the clip was read without error.
    void showClipInfo();
    // The packet count again (the packet check may have corrected it).
    void showPackets();

    // Insert and Shift+Delete of the ATC delta grid (edit mode only).
    void insertAtcDeltaEntry();
    void deleteAtcDeltaEntry();

    QComboBox* cbApplitype;
    QCheckBox* cbisATCdelta;
    QLineEdit* iePackets;
    QLineEdit* ieRecRate;
    StringGrid* sgATCdelta;
    QWidget* pFontFiles;
    StringGrid* sgFontFiles;

private:
    QLayout* buildControls();
    void buildAtcDeltaGrid();
    void buildFontGrid();
    void connectControls();

    TClipInfo& info() const { return document_.clip.clipInfo; }
    bool editable() const { return document_.good; }
    void showAtcDeltaEntries();
    void showAtcDeltaRow(int row);
    void showFontFiles();
    void enableControls();

    void applicationTypeChosen(int item);
    void atcDeltaClicked(bool on);
    void numberTyped(QLineEdit* field, std::uint32_t& value);
    void atcDeltaCellEdited(int col, int row, const QString& text);

    ClipDocument& document_;
    bool showing_ = false;
};

}  // namespace lumora::app
