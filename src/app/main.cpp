#include <QApplication>

#include "app/shell/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quillon Software");
    QApplication::setApplicationName("Lumora");
    lumora::app::TfMain window;
    window.show();
    return QApplication::exec();
}
