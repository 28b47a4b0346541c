// The command builder below the movie object commands: the group, sub-group
// and option lists, the two operand boxes with their type lists and value
// fields, and the three words as hex fields.  It shows one command and hands
// every change back as the rewritten command; the owner stores it, redraws
// its row and shows it again.
#pragma once

#include <QWidget>
#include <optional>

#include "navigation/command_list.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace lumora::app {

class CommandEditor : public QWidget {
    Q_OBJECT
public:
    explicit CommandEditor(QWidget* parent = nullptr);

    // Shows `command`, or empties and disables the controls for none.
    void showCommand(const std::optional<TCommand>& command);
    // Puts `widget` at the end of the hex fields' row, where the builder
    // leaves room.
    void addBesideWords(QWidget* widget);
    // The tooltip the command grid takes for the command shown:
    // "PSRn: description" or "Navigation commands".
    QString gridTooltip() const { return gridTooltip_; }

    QComboBox* cbCmdGroup;
    QComboBox* cbCmdSubGroup;
    QComboBox* cbCmdOption;
    QCheckBox* cbCmdDest;
    QCheckBox* cbCmdSrc;
    QComboBox* cbDestType;
    QComboBox* cbSrcType;
    QLineEdit* ieDest;
    QLineEdit* ieSrc;
    QLabel* lHex;
    QLineEdit* heOpcode;
    QLineEdit* heDest;
    QLineEdit* heSrc;

signals:
    // A control changed the command shown: `command` is the rewritten one.
    void commandEdited(const lumora::TCommand& command);
    // Enter in a field: the focus goes back to the command grid.
    void returnToGrid();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void setControlsEnabled(bool on);
    void showOperands(const CommandEditorState& state);
    // Applies `edit` to the command shown and reports the result.
    void edit(const std::function<void(TCommand&)>& change);
    void valueTyped(Operand operand);
    void hexTyped(CommandWord word, const QLineEdit* field);

    QHBoxLayout* words_ = nullptr;
    std::optional<TCommand> command_;
    QString gridTooltip_;
    bool showing_ = false;
};

}  // namespace lumora::app
