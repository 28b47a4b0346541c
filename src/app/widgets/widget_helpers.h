// Small builders for the rows that several tabs share.
#pragma once

#include <QString>

class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace lumora::app {

// A labelled selector with its "&Read" button (playlist, clip, BD-J object).
QHBoxLayout* selectorRow(QWidget* parent, const QString& caption, const QString& comboName,
                         const QString& readName, const QString& readHint, QComboBox*& combo,
                         QPushButton*& read);

// An ExtensionData summary label with its "Edit" button (disabled until a
// file is read).
QHBoxLayout* extensionDataRow(QWidget* parent, const QString& labelName, const QString& buttonName,
                              QLabel*& label, QPushButton*& edit);

// A group box with an empty vertical layout, to be filled by its owner.
QGroupBox* group(QWidget* parent, const QString& title, const QString& name);

QPushButton* button(QWidget* parent, const QString& caption, const QString& name,
                    const QString& hint = QString());
// The "+" and "-" buttons beside titles, movie objects and command lines: as
// narrow as their one-character captions.
QPushButton* smallButton(QWidget* parent, const QString& caption, const QString& name,
                         const QString& hint);

}  // namespace lumora::app
