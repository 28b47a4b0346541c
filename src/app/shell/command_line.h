// Where a program argument or a dropped file leads: a menu file is loaded as
// a menu, any other file names the BDMV folder to read.
#pragma once

#include <QString>
#include <QStringList>

namespace lumora::app {

enum class StartAction {
    AutoRead,    // no argument, or more than one: read the stored folder when "Auto Read" is on
    LoadMenu,    // exactly one argument ending in ".mnu" (case matters)
    ReadFolder,  // exactly one other argument: read its folder
};

struct CommandLineRoute {
    StartAction action = StartAction::AutoRead;
    QString path;    // the menu file (LoadMenu)
    QString folder;  // the folder text, ending with "/" (ReadFolder)
};

CommandLineRoute routeCommandLine(const QStringList& arguments);

struct DropRoute {
    bool valid = false;  // false when nothing usable was dropped
    QString menuPath;    // a dropped menu file (".mnu", case matters) to load
    QString folder;      // else the dropped file's folder, ending with "/"
    bool use83 = false;  // ".BDM" (upper case) switches 8.3 names on
};

// Only the first dropped path counts.  A menu file is loaded as a menu, as on
// the command line: its folder is seldom a BDMV folder.
DropRoute routeDrop(const QStringList& paths);

}  // namespace lumora::app
