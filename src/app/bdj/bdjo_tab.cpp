#include "app/bdj/bdjo_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "app/widgets/widget_helpers.h"

namespace lumora::app {

BdjoTab::BdjoTab(QWidget* parent)
    : SelectorTab(parent, "tsBDJO", "BD-J object:", "cbBDJO", "bReadBDJO",
                  "Read the selected .bdjo file") {
    auto* grid = new QGridLayout;
    grid->addWidget(group(this, "TerminalInfo", "gbTerminalInfo"), 0, 0);
    grid->addWidget(group(this, "AppCacheInfo", "gbAppCacheInfo"), 0, 1);
    grid->addWidget(group(this, "TableOfAccessiblePlayLists", "gbAccessiblePlayLists"), 0, 2);
    grid->addWidget(group(this, "ApplicationManagementTable", "gbApplications"), 1, 0, 1, 2);
    grid->addWidget(group(this, "KeyInterestTable", "gbKeyInterest"), 1, 2);
    grid->addWidget(group(this, "FileAccesInfo", "gbFileAccess"), 2, 0, 1, 3);
    grid->setRowStretch(1, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid, 1);
}

}  // namespace lumora::app
