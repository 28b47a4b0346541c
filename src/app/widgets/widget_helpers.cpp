#include "app/widgets/widget_helpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora::app {

QHBoxLayout* selectorRow(QWidget* parent, const QString& caption, const QString& comboName,
                         const QString& readName, const QString& readHint, QComboBox*& combo,
                         QPushButton*& read) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(caption, parent);
    combo = new QComboBox(parent);
    combo->setObjectName(comboName);
    combo->setMinimumContentsLength(10);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(combo);
    read = button(parent, "&Read", readName, readHint);
    read->setEnabled(false);
    row->addWidget(label);
    row->addWidget(combo);
    row->addWidget(read);
    row->addStretch(1);
    return row;
}

QHBoxLayout* extensionDataRow(QWidget* parent, const QString& labelName, const QString& buttonName,
                              QLabel*& label, QPushButton*& edit) {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("ExtensionData():", parent);
    label = new QLabel("no ExtensionData()", parent);
    label->setObjectName(labelName);
    edit = button(parent, "Edit", buttonName, "Edit ExtensionData()");
    edit->setEnabled(false);
    row->addWidget(caption);
    row->addWidget(label, 1);
    row->addWidget(edit);
    return row;
}

QGroupBox* group(QWidget* parent, const QString& title, const QString& name) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    new QVBoxLayout(box);
    return box;
}

QPushButton* button(QWidget* parent, const QString& caption, const QString& name,
                    const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty()) b->setToolTip(hint);
    return b;
}

QPushButton* smallButton(QWidget* parent, const QString& caption, const QString& name,
                         const QString& hint) {
    QPushButton* push = button(parent, caption, name, hint);
    push->setFixedWidth(push->fontMetrics().height() + 12);
    return push;
}

}  // namespace lumora::app
