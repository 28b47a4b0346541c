#include "app/shell/command_line.h"

#include <QDir>
#include <QFileInfo>

#include "core/folder.h"

namespace lumora::app {
namespace {

// An argument may be relative to the directory the program was started in.
QString absolutePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString folderOf(const QString& path) {
    return QString::fromStdString(lumora::folderOfFile(absolutePath(path).toStdString()));
}

}  // namespace

CommandLineRoute routeCommandLine(const QStringList& arguments) {
    CommandLineRoute route;
    if (arguments.size() != 1) return route;
    const QString& argument = arguments.front();
    if (argument.endsWith(".mnu", Qt::CaseSensitive)) {
        route.action = StartAction::LoadMenu;
        route.path = absolutePath(argument);
        return route;
    }
    route.action = StartAction::ReadFolder;
    route.folder = folderOf(argument);
    return route;
}

DropRoute routeDrop(const QStringList& paths) {
    DropRoute route;
    if (paths.isEmpty() || paths.front().isEmpty()) return route;
    route.valid = true;
    if (paths.front().endsWith(".mnu", Qt::CaseSensitive)) {
        route.menuPath = absolutePath(paths.front());
        return route;
    }
    route.folder = folderOf(paths.front());
    route.use83 = lumora::use83ForFile(paths.front().toStdString());
    return route;
}

}  // namespace lumora::app
