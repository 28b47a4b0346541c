#include "app/widgets/selector_tab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/widget_helpers.h"

namespace lumora::app {

SelectorTab::SelectorTab(QWidget* parent, const QString& objectName, const QString& caption,
                         const QString& comboName, const QString& readName, const QString& readHint)
    : QWidget(parent) {
    setObjectName(objectName);
    auto* layout = new QVBoxLayout(this);
    row_ = app::selectorRow(this, caption, comboName, readName, readHint, selector_, read_);
    layout->addLayout(row_);
    connect(read_, &QPushButton::clicked, this, &SelectorTab::readSelected);
    saveQuestion_ = [this](const QString& name) { return askToSaveChanges(this, name); };
}

void SelectorTab::readSelected() {
    if (selector_->currentIndex() < 0) return;
    if (!settleEdits()) {
        // The selector keeps naming what the views show.
        const int shown = selector_->findText(shownEntry());
        if (shown >= 0) selector_->setCurrentIndex(shown);
        return;
    }
    loaded_ = true;
    emit readRequested(selector_->currentText());
}

bool SelectorTab::settleEdits() {
    if (!edited()) return true;
    return app::settleEdits(saveQuestion_, editedName(), [this] { return saveEdits(); });
}

void SelectorTab::clear() {
    selector_->clear();
    read_->setEnabled(false);
    loaded_ = false;
}

void SelectorTab::setEntries(const QStringList& entries) {
    selector_->clear();
    selector_->addItems(entries);
    read_->setEnabled(!entries.isEmpty());
}

}  // namespace lumora::app
