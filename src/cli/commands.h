// The subcommands of lumora-cli.  Each takes its own arguments (without the
// subcommand name) and returns the exit status: 0 success, 1 the operation
// failed, 2 a usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lumora::cli {

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

int runCheck(const std::vector<std::string>& args, Streams io);
int runMakeDemo(const std::vector<std::string>& args, Streams io);
int runDump(const std::vector<std::string>& args, Streams io);
int runRewrite(const std::vector<std::string>& args, Streams io);
// Program lists of movie objects (program_listing.cpp).
int runCommandsListing(const std::vector<std::string>& args, Streams io);
// Chapter files of playlists (chapters_command.cpp).
int runChapters(const std::vector<std::string>& args, Streams io);
// Running a movie object in the command interpreter (exec_command.cpp).
int runExec(const std::vector<std::string>& args, Streams io);
// The Find tools of the CLIPINF and PLAYLIST tabs (find_command.cpp).
int runFind(const std::vector<std::string>& args, Streams io);
// IG menu files: composition, objects, palettes, object pictures
// (menu_command.cpp).
int runMenu(const std::vector<std::string>& args, Streams io);
// The transport stream tools: one PID of a stream file saved in one of four
// forms, and a menu as a stream file of its own (stream_commands.cpp).
int runDemux(const std::vector<std::string>& args, Streams io);
int runMuxMenu(const std::vector<std::string>& args, Streams io);
// The sounds of sound.bdmv as WAV files and back (sound_commands.cpp).
int runSound(const std::vector<std::string>& args, Streams io);

// The BDMV folder text for a path given on the command line: a file names its
// folder, a folder is taken as the BDMV folder or the folder that holds it.
std::string folderTextFor(const std::string& argument);

// The whole command line: dispatch on the subcommand.
int runCli(const std::vector<std::string>& args, Streams io);

}  // namespace lumora::cli
