#include "app/shell/associations.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumora::app {
namespace {

bool writeText(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

QString mimePackage(const AssociationInfo& info) {
    return QString(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>%2</comment>\n"
               "    <glob pattern=\"*.%3\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(info.mimeType, info.typeName, info.extension);
}

QString desktopEntry(const QString& programPath) {
    return QString(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Lumora\n"
               "Comment=View and edit the navigation and playback structures of a BDMV folder\n"
               "Exec=\"%1\" %f\n"
               "Icon=lumora\n"
               "Terminal=false\n"
               "Categories=AudioVideo;Video;Utility;\n"
               "MimeType=%2;%3;\n")
        .arg(programPath, associationInfo(Association::Bdmv).mimeType,
             associationInfo(Association::Mnu).mimeType);
}

}  // namespace

AssociationInfo associationInfo(Association kind) {
    if (kind == Association::Bdmv) return {"bdmv", "BD.movie.info", "application/x-bd-movie-info"};
    return {"mnu", "BD.IGS.menu", "application/x-bd-igs-menu"};
}

void runDesktopTool(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return;
    QProcess::startDetached(program, arguments);
}

bool registerAssociation(Association kind, const QString& programPath, const QString& dataDir,
                         const ToolRunner& run) {
    const AssociationInfo info = associationInfo(kind);
    const QString mimeDir = dataDir + "/mime";
    const QString applications = dataDir + "/applications";
    const bool written =
        writeText(mimeDir + "/packages/lumora-" + info.extension + ".xml", mimePackage(info)) &&
        writeText(applications + "/lumora.desktop", desktopEntry(programPath));
    if (!written) return false;
    run("update-mime-database", {mimeDir});
    run("update-desktop-database", {applications});
    run("xdg-mime", {"default", "lumora.desktop", info.mimeType});
    return true;
}

}  // namespace lumora::app
