#pragma once
// The catalog database: lays down the empty schema of "Midi1.db", an SQLite file with a
// table of MIDI files and four lookup tables (artists, authors, categories, key signatures).
// Nothing in the program fills or reads it yet; the schema is the whole contract.

#include <filesystem>
#include <string>

namespace quaverly {

inline constexpr const char* kCatalogDatabaseName = "Midi1.db";

// Creates folder/"Midi1.db" with the five tables. Never touches an existing file: returns
// "cannot create PATH: File exists" then. Returns an empty string on success, else a message
// naming the file and the reason, with no partial file left behind.
std::string CreateCatalogDatabase(const std::filesystem::path& folder);

}  // namespace quaverly
