// The main window: eight tabs, the shared buttons below them, the progress bar
// and the two-panel status line.
#pragma once

#include <QMainWindow>

namespace lumora::app {

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfMain(QWidget* parent = nullptr);
};

}  // namespace lumora::app
