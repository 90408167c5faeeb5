#include "catalogdb/CatalogDatabase.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quaverly {
namespace {

// Long is a 32-bit and Integer a 16-bit signed number; Text(n) holds at most n characters.
// SQLite does not bound its types, so CHECK constraints do. Text compares regardless of
// letter case, like the general sort order the schema was laid out for. The unique index on
// each key gives every table its named primary index beside the auto-increment row key.
constexpr const char* kSchema = R"sql(
BEGIN;
CREATE TABLE Files (
  CatNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Title VARCHAR(255) COLLATE NOCASE CHECK (length(Title) <= 255),
  FileName VARCHAR(255) COLLATE NOCASE CHECK (length(FileName) <= 255),
  FilePath VARCHAR(255) COLLATE NOCASE CHECK (length(FilePath) <= 255),
  Artist INTEGER CHECK (Artist BETWEEN -2147483648 AND 2147483647),
  Author INTEGER CHECK (Author BETWEEN -2147483648 AND 2147483647),
  Catagory INTEGER CHECK (Catagory BETWEEN -2147483648 AND 2147483647),
  FileType SMALLINT CHECK (FileType BETWEEN -32768 AND 32767),
  TimeSig SMALLINT CHECK (TimeSig BETWEEN -32768 AND 32767),
  KeySig SMALLINT CHECK (KeySig BETWEEN -32768 AND 32767),
  Tempo SMALLINT CHECK (Tempo BETWEEN -32768 AND 32767),
  Karaoke SMALLINT CHECK (Karaoke BETWEEN -32768 AND 32767),
  Copyright VARCHAR(90) COLLATE NOCASE CHECK (length(Copyright) <= 90),
  CHECK (CatNum BETWEEN 1 AND 2147483647));
CREATE TABLE Artists (
  Art_ID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (Art_ID BETWEEN 1 AND 2147483647),
  Artist VARCHAR(30) COLLATE NOCASE CHECK (length(Artist) <= 30));
CREATE TABLE Authors (
  Auth_ID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (Auth_ID BETWEEN 1 AND 2147483647),
  Author VARCHAR(30) COLLATE NOCASE CHECK (length(Author) <= 30));
CREATE TABLE Catagory (
  Cat_ID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (Cat_ID BETWEEN 1 AND 2147483647),
  Catagory VARCHAR(25) COLLATE NOCASE CHECK (length(Catagory) <= 25));
CREATE TABLE KeySig (
  KeySig_ID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (KeySig_ID BETWEEN 1 AND 2147483647),
  KeySig VARCHAR(12) COLLATE NOCASE CHECK (length(KeySig) <= 12));
CREATE UNIQUE INDEX CatNum ON Files (CatNum);
CREATE UNIQUE INDEX Art_ID ON Artists (Art_ID);
CREATE UNIQUE INDEX Auth_ID ON Authors (Auth_ID);
CREATE UNIQUE INDEX Cat_ID ON Catagory (Cat_ID);
CREATE UNIQUE INDEX KeySig_ID ON KeySig (KeySig_ID);
COMMIT;
)sql";

}  // namespace

std::string CreateCatalogDatabase(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kCatalogDatabaseName;
  const auto failure = [&](const std::string& reason) {
    return "cannot create " + path.string() + ": " + reason;
  };
  // Claiming the name first means an existing file is never opened, let alone changed.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return failure(std::strerror(errno));
  ::close(fd);

  sqlite3* db = nullptr;
  std::string error;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr) !=
      SQLITE_OK) {
    error = failure(db != nullptr ? sqlite3_errmsg(db) : "out of memory");
  } else {
    char* message = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
      error = failure(message != nullptr ? message : sqlite3_errmsg(db));
    }
    sqlite3_free(message);
  }
  if (sqlite3_close(db) != SQLITE_OK && error.empty()) error = failure(sqlite3_errmsg(db));
  if (!error.empty()) ::unlink(path.c_str());
  return error;
}

}  // namespace quaverly
