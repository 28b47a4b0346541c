#include "app/menu_tab.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/widget_helpers.h"

namespace lumora::app {

MenuTab::MenuTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsMenu");
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    gbPageHeader = group(this, "Page", "gbPageHeader");
    auto* pageRow = new QHBoxLayout;
    auto* pageLabel = new QLabel("Page:", gbPageHeader);
    cbPage = new QComboBox(gbPageHeader);
    cbPage->setObjectName("cbPage");
    cbPage->setMinimumContentsLength(6);
    pageLabel->setBuddy(cbPage);
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(cbPage);
    pageRow->addStretch(1);
    static_cast<QVBoxLayout*>(gbPageHeader->layout())->addLayout(pageRow);
    gbComposition = group(this, "Composition", "gbComposition");
    header->addWidget(gbPageHeader, 2);
    header->addWidget(gbComposition, 1);
    layout->addLayout(header);

    pcMenu = new QTabWidget(this);
    pcMenu->setObjectName("pcMenu");
    pcMenu->addTab(new QWidget(pcMenu), "BOGs");
    pcMenu->addTab(new QWidget(pcMenu), "Effects");
    pcMenu->addTab(new QWidget(pcMenu), "Objects");
    pageView = new QWidget(pcMenu);
    pageView->setObjectName("tsPageView");
    pcMenu->addTab(pageView, "Page view");
    layout->addWidget(pcMenu, 1);
    clear();
}

bool MenuTab::menuLoaded() const {
    return cbPage->isEnabled();
}

void MenuTab::clear() {
    cbPage->clear();
    cbPage->setEnabled(false);
    gbPageHeader->setEnabled(false);
    for (int i = 0; i < pcMenu->count(); ++i)
        pcMenu->widget(i)->setEnabled(false);
    pcMenu->setCurrentIndex(0);
}

}  // namespace lumora::app
