// File associations for ".bdmv" and ".mnu" through the desktop's shared MIME
// database and a .desktop entry in the user's data folder.  An association
// once made is never removed by the program.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace lumora::app {

enum class Association { Bdmv, Mnu };

struct AssociationInfo {
    QString extension;  // "bdmv"
    QString typeName;   // "BD.movie.info"
    QString mimeType;   // "application/x-bd-movie-info"
};
AssociationInfo associationInfo(Association kind);

// Runs a desktop tool (update-mime-database, xdg-mime ...); replaced by tests.
using ToolRunner = std::function<void(const QString& program, const QStringList& arguments)>;
void runDesktopTool(const QString& program, const QStringList& arguments);

// Writes the MIME type and the .desktop entry under `dataDir` (the user's
// data folder, e.g. ~/.local/share) and tells the desktop about them.
// Returns false when a file could not be written.
bool registerAssociation(Association kind, const QString& programPath, const QString& dataDir,
                         const ToolRunner& run = runDesktopTool);

}  // namespace lumora::app
