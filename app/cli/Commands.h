#pragma once
// The subcommands of quaverly-cli. Each takes the arguments after its name and writes to the
// given streams, so tests and other front ends can run it without a process. Exit statuses:
// 0 success, 1 a file that is not MIDI, damaged or unwritable, 2 a usage error.

#include <ostream>
#include <string>
#include <vector>

#include "reader/ReadMidiFile.h"

namespace quaverly::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFileError = 1;
inline constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;

// Says on err why the read of path was not whole; true when it was.
bool ReadWhole(const ReadResult& result, const std::string& path, std::ostream& err);

// CoreCommands.cpp
int RunInfo(const Args& args, std::ostream& out, std::ostream& err);
int RunCsv(const Args& args, std::ostream& out, std::ostream& err);
int RunCopy(const Args& args, std::ostream& out, std::ostream& err);

// LyricsCommands.cpp
int RunKar2Lyrics(const Args& args, std::ostream& out, std::ostream& err);
int RunLyrics2Kar(const Args& args, std::ostream& out, std::ostream& err);

// BatchCommands.cpp
int RunCatalog(const Args& args, std::ostream& out, std::ostream& err);
int RunCreateDb(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace quaverly::cli
