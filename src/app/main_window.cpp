#include "app/main_window.h"

namespace lumora::app {

TfMain::TfMain(QWidget* parent) : QMainWindow(parent) {}

}  // namespace lumora::app
