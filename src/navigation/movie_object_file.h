// MovieObject.bdmv: the HDMV programs of a disc, a list of movie objects with
// three flags and a list of navigation commands each.  Titles, First Playback
// and Top Menu refer to movie objects by their position in the list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/extension_data.h"
#include "core/folder.h"
#include "core/report.h"
#include "navigation/command.h"
#include "navigation/index_file.h"
#include "navigation/read_outcome.h"

namespace lumora {

struct Tmobject {
    std::uint8_t resumeIntention = 0;  // 0 "discard", 1 "suspend"
    std::uint8_t menuCallMask = 0;     // 0 "enable", 1 "disable"
    std::uint8_t titleSearchMask = 0;  // 0 "enable", 1 "disable"
    TCommands commands;
    bool operator==(const Tmobject&) const = default;
};

struct TMOBJ {
    std::string typeIndicator = "MOBJ";
    std::string version = "0200";
    std::uint32_t extensionDataStart = 0;  // 0 = no ExtensionData()
    Bytes reserved = Bytes(28, 0);         // held as read
    std::uint32_t length = 6;              // bytes of MovieObjects() after the length field
    std::uint32_t reservedWord = 0;        // held as read
    std::vector<Tmobject> objects;
    TExtensionData extensionData;
    bool operator==(const TMOBJ&) const = default;
};

// Bytes a movie object takes in the file.
std::uint32_t movieObjectSize(const Tmobject& object);

// Parses a whole movie object file.  On BadFormat `file` is left as it was;
// on Truncated it holds every object that was there, and the objects the file
// promised but did not hold are empty.
ReadOutcome parseMovieObjects(ByteView data, std::string_view name, TMOBJ& file);
// The file's bytes; ExtensionData() goes right after the last object and the
// header's start address says so.
Bytes movieObjectBytes(const TMOBJ& file);

// The Read with its log lines ("Reading ...", "Format error ...",
// "  Found n objects, k extended entry.").  Throws FileError.
ReadOutcome readMovieObjectFile(const std::string& path, std::string_view name, TMOBJ& file,
                                Reporter& reporter);
// Save: backup step, safe write, "... saved.", copy to BACKUP.  Returns false
// when nothing was written.  Throws FileError.
bool saveMovieObjectFile(const std::string& folder, std::string_view name, const TMOBJ& file,
                         Reporter& reporter, const BackupOptions& backup);

// Inserts an empty movie object after object `after` (-1 = at the front) and
// moves the HDMV references of the titles, First Playback and Top Menu that
// pointed behind it.  Returns the new object's index.
std::size_t insertMovieObject(TMOBJ& file, TINDX& index, int after);

// A reference left without its movie object by a delete.
struct InvalidReference {
    std::string entry;  // "Title 3", "First Playback", "Top Menu"
};
// Removes objects first..last and moves the references behind them; a
// reference to a removed object becomes 0xFFFF.  Returns every HDMV entry
// whose reference no longer names an object, in title order.
std::vector<InvalidReference> deleteMovieObjects(TMOBJ& file, TINDX& index, std::size_t first,
                                                 std::size_t last);
// The ExtensionData block chosen in the dialog; the start address follows.
void setMovieObjectExtensionData(TMOBJ& file, TExtensionData block);
// Keeps the MovieObjects length and the ExtensionData start address right
// after an object's command list changed by `deltaCommands` commands.
void commandsChanged(TMOBJ& file, int deltaCommands);

// Texts of the views and the command line.
std::string resumeText(std::uint8_t value);  // "discard", "suspend"
std::string maskText(std::uint8_t value);    // "enable", "disable"
// "No.", "resume", "menu call", "title search", "commands".
std::array<std::string, 5> movieObjectRowCells(std::size_t number, const Tmobject& object);
// "No.", "Opcode", "Destinat.", "Source" of a command row (the command line
// text comes with the command codec).
std::array<std::string, 4> commandRowCells(std::size_t number, const TCommand& command);
std::string objectsLabel(const TMOBJ& file);  // "n objects"

}  // namespace lumora
