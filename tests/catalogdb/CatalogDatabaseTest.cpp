#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "catalogdb/CatalogDatabase.h"

namespace quaverly {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteBytes;

using Rows = std::vector<std::vector<std::string>>;

class Database {
 public:
  explicit Database(const fs::path& path) {
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  }
  ~Database() { sqlite3_close(db_); }
  Rows Query(const std::string& sql) {
    Rows rows;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
        const auto* text = sqlite3_column_text(stmt, c);
        row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
      }
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(stmt);
    return rows;
  }
  int Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  }

 private:
  sqlite3* db_ = nullptr;
};

TEST(CatalogDatabaseTest, SchemaHasFiveTablesWithFieldsInOrderAndOneKeyIndexEach) {
  TempDir dir;
  ASSERT_EQ(CreateCatalogDatabase(dir.path()), "");
  Database db(dir / "Midi1.db");
  EXPECT_EQ(db.Query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                     "'sqlite_%' ORDER BY rowid"),
            (Rows{{"Files"}, {"Artists"}, {"Authors"}, {"Catagory"}, {"KeySig"}}));

  const auto columns = [&](const std::string& table) {
    std::vector<std::string> out;
    for (const auto& row : db.Query("PRAGMA table_info(" + table + ")")) {
      out.push_back(row[1] + " " + row[2] + (row[5] == "1" ? " pk" : ""));
    }
    return out;
  };
  EXPECT_EQ(columns("Files"),
            (std::vector<std::string>{
                "CatNum INTEGER pk", "Title VARCHAR(255)", "FileName VARCHAR(255)",
                "FilePath VARCHAR(255)", "Artist INTEGER", "Author INTEGER", "Catagory INTEGER",
                "FileType SMALLINT", "TimeSig SMALLINT", "KeySig SMALLINT", "Tempo SMALLINT",
                "Karaoke SMALLINT", "Copyright VARCHAR(90)"}));
  EXPECT_EQ(columns("KeySig"),
            (std::vector<std::string>{"KeySig_ID INTEGER pk", "KeySig VARCHAR(12)"}));

  const std::vector<std::pair<std::string, std::string>> keys = {{"Files", "CatNum"},
                                                                 {"Artists", "Art_ID"},
                                                                 {"Authors", "Auth_ID"},
                                                                 {"Catagory", "Cat_ID"},
                                                                 {"KeySig", "KeySig_ID"}};
  for (const auto& [table, key] : keys) {
    const Rows indexes = db.Query("PRAGMA index_list(" + table + ")");
    ASSERT_EQ(indexes.size(), 1u) << table;
    EXPECT_EQ(indexes[0][1], key);
    EXPECT_EQ(indexes[0][2], "1") << "unique";
    EXPECT_EQ(db.Query("PRAGMA index_info(" + key + ")")[0][2], key);
    EXPECT_EQ(columns(table)[0], key + " INTEGER pk");
  }
}

TEST(CatalogDatabaseTest, KeysCountUpAndTextsAreBounded) {
  TempDir dir;
  ASSERT_EQ(CreateCatalogDatabase(dir.path()), "");
  Database db(dir / "Midi1.db");
  EXPECT_EQ(db.Exec("INSERT INTO Artists (Artist) VALUES ('One'), ('Two')"), SQLITE_OK);
  EXPECT_EQ(db.Query("SELECT Art_ID, Artist FROM Artists ORDER BY Art_ID"),
            (Rows{{"1", "One"}, {"2", "Two"}}));

  const std::string fits(255, 't');
  EXPECT_EQ(db.Exec("INSERT INTO Files (Title) VALUES ('" + fits + "')"), SQLITE_OK);
  EXPECT_EQ(db.Exec("INSERT INTO Files (Title) VALUES ('" + fits + "t')"), SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Exec("INSERT INTO Files (Copyright) VALUES ('" + std::string(91, 'c') + "')"),
            SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Exec("INSERT INTO Artists (Artist) VALUES ('" + std::string(31, 'a') + "')"),
            SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Exec("INSERT INTO Catagory (Catagory) VALUES ('" + std::string(26, 'c') + "')"),
            SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Exec("INSERT INTO KeySig (KeySig) VALUES ('" + std::string(12, 'k') + "')"),
            SQLITE_OK);
  EXPECT_EQ(db.Exec("INSERT INTO Files (Tempo) VALUES (32768)"), SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Exec("INSERT INTO Files (Tempo, Artist) VALUES (-32768, 2147483647)"), SQLITE_OK);
  EXPECT_EQ(db.Exec("INSERT INTO Files (Artist) VALUES (2147483648)"), SQLITE_CONSTRAINT);
  EXPECT_EQ(db.Query("SELECT count(*) FROM Files"), (Rows{{"2"}}));
}

TEST(CatalogDatabaseTest, AnExistingFileIsNamedAndLeftUntouched) {
  TempDir dir;
  const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
  WriteBytes(dir / "Midi1.db", old);
  const std::string error = CreateCatalogDatabase(dir.path());
  EXPECT_EQ(error, "cannot create " + (dir / "Midi1.db").string() + ": File exists");
  EXPECT_EQ(ReadAll(dir / "Midi1.db"), "keep");

  const std::string missing = CreateCatalogDatabase(dir / "none");
  EXPECT_NE(missing.find("none/Midi1.db"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "none"));
}

}  // namespace
}  // namespace quaverly
