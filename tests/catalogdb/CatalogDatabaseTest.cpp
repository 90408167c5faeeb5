#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "catalogdb/CatalogDatabase.h"

namespace quaverly {
namespace {

// Runs sql and returns its rows, each ending in a line feed, with the columns joined by "|".
std::string Query(sqlite3* db, const std::string& sql) {
  char** table = nullptr;
  int rows = 0, columns = 0;
  EXPECT_EQ(sqlite3_get_table(db, sql.c_str(), &table, &rows, &columns, nullptr), SQLITE_OK) << sql;
  std::string out;
  for (int i = columns; i < (rows + 1) * columns; ++i)
    out += std::string(table[i] ? table[i] : "") + ((i + 1) % columns ? "|" : "\n");
  sqlite3_free_table(table);
  return out;
}

TEST(CatalogDatabase, SchemaKeysAndLimits) {
  testing::TempDir dir;
  ASSERT_EQ(CreateCatalogDatabase(dir.path()), "");
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "Midi1.db").c_str(), &db), SQLITE_OK);
  // The fields in order, the key of each table, and its one index: unique, on the key.
  EXPECT_EQ(Query(db,
                  "SELECT m.name, group_concat(p.name || ' ' || p.type || substr(' pk', 1, "
                  "3 * p.pk), ', ') FROM sqlite_master m, pragma_table_info(m.name) p WHERE "
                  "m.name NOT LIKE 'sqlite%' GROUP BY m.name ORDER BY m.rowid"),
            "Files|CatNum INTEGER pk, Title VARCHAR(255), FileName VARCHAR(255), FilePath "
            "VARCHAR(255), Artist INTEGER, Author INTEGER, Catagory INTEGER, FileType SMALLINT, "
            "TimeSig SMALLINT, KeySig SMALLINT, Tempo SMALLINT, Karaoke SMALLINT, Copyright "
            "VARCHAR(90)\nArtists|Art_ID INTEGER pk, Artist VARCHAR(30)\nAuthors|Auth_ID INTEGER "
            "pk, Author VARCHAR(30)\nCatagory|Cat_ID INTEGER pk, Catagory VARCHAR(25)\nKeySig|"
            "KeySig_ID INTEGER pk, KeySig VARCHAR(12)\n");
  EXPECT_EQ(Query(db,
                  "SELECT m.name, l.name, l.\"unique\", i.name FROM sqlite_master m, "
                  "pragma_index_list(m.name) l, pragma_index_info(l.name) i ORDER BY m.rowid"),
            "Files|CatNum|1|CatNum\nArtists|Art_ID|1|Art_ID\nAuthors|Auth_ID|1|Auth_ID\nCatagory|"
            "Cat_ID|1|Cat_ID\nKeySig|KeySig_ID|1|KeySig_ID\n");
  // Keys count up and are never reused; texts and numbers up to their sizes fit, and no more.
  Query(db,
        "INSERT INTO Artists (Artist) VALUES ('One'), ('Two'); DELETE FROM Artists WHERE "
        "Art_ID = 2; INSERT INTO Artists (Artist) VALUES ('Three'); INSERT INTO KeySig (KeySig) "
        "VALUES (printf('%.12c', 'k')); INSERT INTO Files (Title, Copyright, Tempo, Artist) "
        "VALUES (printf('%.255c', 't'), printf('%.90c', 'c'), -32768, 2147483647)");
  EXPECT_EQ(Query(db, "SELECT Art_ID, Artist FROM Artists"), "1|One\n3|Three\n");
  for (const std::string values :
       {"Files (Title) VALUES (printf('%.256c', 't'))", "Files (Tempo) VALUES (32768)",
        "Files (Copyright) VALUES (printf('%.91c', 'c'))", "Files (Artist) VALUES (2147483648)",
        "Catagory (Catagory) VALUES (printf('%.26c', 'c'))"}) {
    EXPECT_EQ(sqlite3_exec(db, ("INSERT INTO " + values).c_str(), nullptr, nullptr, nullptr),
              SQLITE_CONSTRAINT)
        << values;
  }
  sqlite3_close(db);

  // An existing file is named and left untouched; a missing folder is not created.
  testing::WriteBytes(dir / "Midi1.db", std::vector<uint8_t>{'k', 'e', 'e', 'p'});
  EXPECT_EQ(CreateCatalogDatabase(dir.path()),
            "cannot create " + (dir / "Midi1.db").string() + ": File exists");
  EXPECT_EQ(testing::ReadAll(dir / "Midi1.db"), "keep");
  EXPECT_NE(CreateCatalogDatabase(dir / "none").find("none/Midi1.db"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

}  // namespace
}  // namespace quaverly
