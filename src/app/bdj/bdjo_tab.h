// The "BD&JO" tab: the BD-J object selector with "&Read" and the object's
// tables.
#pragma once

#include "app/widgets/selector_tab.h"

namespace lumora::app {

class BdjoTab : public SelectorTab {
    Q_OBJECT
public:
    explicit BdjoTab(QWidget* parent = nullptr);
};

}  // namespace lumora::app
