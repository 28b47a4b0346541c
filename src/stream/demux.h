// The PID demultiplexer: copies the stream of one PID out of a stream file
// (.m2ts/.MTS, 192-byte source packets) as an elementary stream, a raw PES
// stream, a SUP file (presentation graphics) or a menu file (interactive
// graphics, the .mnu segment format).
//
// The file is read once, front to back, in large blocks into one buffer that
// is reused for the whole run; the output goes through a buffer of its own to
// a temporary file beside the target, which replaces the target at the end
// (also after a Cancel, so the target keeps what was written).  Sizes and
// positions are 64-bit: stream files beyond 4 GB are the normal case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/bytes.h"
#include "core/report.h"

namespace lumora {

enum class DemuxMode {
    Elementary,  // the PES payloads, headers removed
    Pes,         // every transport payload of the PID, unchanged
    Sup,         // per PES packet "PG" + PTS + DTS, then its payload
    Menu,        // per PES packet "IG" + PTS + DTS, then its payload (.mnu)
};

// The Options' "Save PID format" check boxes, with their defaults.
struct SavePidFormat {
    bool savePes = false;  // "Save PES stream (not elementary)"
    bool saveSup = true;   // "Save SUP if PG stream"
    bool saveMnu = true;   // "Save MNU if IG stream"
};

bool isPgPid(std::uint16_t pid);  // 0x1200-0x12FF
bool isIgPid(std::uint16_t pid);  // 0x1400-0x14FF

// The mode the options choose for a PID: SUP for a PG PID when "Save SUP"
// is checked (even with "Save PES" checked); menu for an IG PID when "Save
// MNU" is checked and "Save PES" is not; PES when "Save PES" is checked;
// elementary otherwise.
DemuxMode chooseDemuxMode(std::uint16_t pid, const SavePidFormat& format);

// The stream abbreviation of a PID: "vis" (0x1011), "aus", "svs", "sas",
// "pgs", "igs", "txs" by range; empty for any other PID.
std::string streamAbbreviation(std::uint16_t pid);
// The output file's extension: the abbreviation, "PES." + abbreviation in PES
// mode, "sup" in SUP mode, "mnu" in menu mode.
std::string demuxExtension(std::uint16_t pid, DemuxMode mode);
// The output file's name: clip name + "_PID" + the ProgramInfo row's "PID",
// "Stream type" and "Details" cells joined by "_" (there every " " becomes
// "_", every "," is dropped and every ":" becomes "_"; "/" and "\" become
// "_" too, so a cell never names a folder) + "." + extension.
std::string demuxFileName(std::string_view clipName, std::string_view pidCell,
                          std::string_view typeCell, std::string_view detailsCell,
                          std::string_view extension);

// "h:mm:ss" of a duration in milliseconds (hours not wrapped).
std::string elapsedText(std::uint64_t milliseconds);
// The status line during a run: "Packet: " + count + "/" + total +
// "   Elapsed: " + elapsed + "   Remaining: " + remaining, the remaining time
// being elapsed x total / count - elapsed + 1 second.
std::string demuxProgressText(std::uint64_t count, std::uint64_t total,
                              std::uint64_t elapsedMilliseconds);
// The log line of a PES packet in SUP and menu modes: PTS and DTS in hex,
// both as times, the segment type and the TP_extra_header of the packet
// where the PES packet starts.
std::string pesLogLine(std::uint32_t pts, std::uint32_t dts, std::uint8_t segmentType,
                       const std::uint8_t* extraHeader);

struct DemuxResult {
    std::uint64_t savedPackets = 0;  // source packets of the PID
    std::uint64_t packets = 0;       // source packets looked at
    std::uint64_t pesPackets = 0;    // PES packets started (not in PES mode)
    std::uint64_t bytesWritten = 0;
    std::uint64_t syncLosses = 0;     // places where the sync byte was missing
    std::uint64_t skippedBytes = 0;   // bytes passed over to find it again
    std::uint64_t trailingBytes = 0;  // bytes after the last whole packet
    std::uint64_t elapsedMs = 0;
    bool cancelled = false;
};

// Saves the stream of `pid` in `source` to `target` in `mode`.
//
// Reporting: in SUP and menu modes one log line per PES packet with a PTS;
// every 32768 packets the status line shows the count with the elapsed and
// remaining times and the progress bar moves; a lost sync byte is logged
// with its file offset.  Cancel (the reporter's cancel request) is honoured
// at the next PES packet start of the PID (elementary, SUP and menu modes)
// or at the end of the current block; pending events run once per block.
// The caller decides about progress mode.
//
// Packets: a packet whose sync byte is missing is skipped and the stream is
// searched byte by byte for the next place where two packets in a row carry
// it, so neither a damaged packet nor bytes inserted into the file lose more
// than the damaged bytes.  Bytes after the last whole packet are ignored.
// Packets of PID 0x1FFF and packets without payload carry nothing.
//
// PES packets (all modes but PES): a packet of the PID with
// payload_unit_start_indicator set and a PES start code begins a new PES
// packet (as does a start code right after a bounded PES packet ended, for
// streams that leave the indicator unset).  A PES packet with a
// PES_packet_length ends after that many bytes; one with length 0 (unbounded
// video) ends where the next PES packet of the PID starts, or at the end of
// the file, so its elementary stream is complete and exact.  Headers that
// run over into the next transport packet are joined.  PES packets of stream
// ids without an optional header (padding, private stream 2, ...) are left
// out whole.
//
// Throws FileError when the source cannot be read or the target cannot be
// written (nothing is then written), or when the target is the source.
DemuxResult Demux(const std::string& source, const std::string& target, std::uint16_t pid,
                  DemuxMode mode, Reporter& reporter);

// The same demultiplexer over bytes in memory (whole packets and trailing
// bytes as in a file), for callers that have the stream at hand.
DemuxResult demuxBytes(ByteView stream, Bytes& out, std::uint16_t pid, DemuxMode mode,
                       Reporter& reporter);

}  // namespace lumora
