#include "storage/sqlite/sqlite_catalogue.h"

#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "search/folded_words.h"
#include "storage/catalogue_search_contract.h"
#include "storage/sqlite/sqlite_storage.h"
#include "support/scratch_folder.h"

namespace {

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest,
                         testing::Values(CatalogueEngine{
                             "sqlite",
                             [](const std::string& place) -> std::unique_ptr<Storage> {
                               return std::make_unique<SqliteStorage>(place + ".db");
                             },
                             [](const std::string& place) -> std::unique_ptr<CatalogueSearch> {
                               return std::make_unique<SqliteCatalogue>(place + ".db");
                             }}));

class SqliteCatalogueTest : public testing::Test {
 protected:
  std::string Path() const { return (_folder.Path() / "library.db").string(); }

  // A desk on the file, loaded, with Ann and a book of `title`.
  std::unique_ptr<SqliteStorage> Desk(const std::string& title = "Heron Tales") {
    auto desk = std::make_unique<SqliteStorage>(Path());
    desk->Load([](const StoredRecords&) {});
    Change ann = MemberAdded{{0, "Ann Secret", "1 Hidden Lane", "555", "ann@example.org", 7}};
    Change book = ItemAdded{ItemKind::book, {0, "H1", title, "Author", "", 14, {2026, 1, 1, 0, 0}}};
    desk->Keep(ann);
    desk->Keep(book);
    return desk;
  }

  static SearchRequest Query(const char* text) {
    SearchRequest request;
    request.words = FoldedWords(text).Words();
    return request;
  }

 private:
  ScratchFolder _folder;
};

TEST_F(SqliteCatalogueTest, TheMembersTableIsRefusedToItsReadsWhateverTheFileHolds) {
  Desk().reset();
  SqliteCatalogue catalogue(Path());
  ASSERT_EQ(catalogue.Find(Query("heron")).total, 1);
  // Another program puts a view of the members where the catalogue reads its index.
  SQLite::Database(Path(), SQLite::OPEN_READWRITE)
      .exec(
          "DROP TABLE search_words; DROP TABLE search_entries;"
          "CREATE VIEW search_entries AS SELECT id, name AS folded_title, name AS bar_code,"
          "  id AS book_id, NULL AS cd_id, NULL AS journal_id, NULL AS video_id FROM members;"
          "CREATE TABLE search_words (word TEXT, field INTEGER, entry_id INTEGER);"
          "INSERT INTO search_words SELECT 'heron', 1, id FROM members;");
  EXPECT_THROW(catalogue.Find(Query("heron")), StorageError);
}

TEST_F(SqliteCatalogueTest, DesksStartAndKeepChangesWhileSearchesRunOnSeveralThreads) {
  Desk().reset();
  SqliteCatalogue catalogue(Path());
  ASSERT_EQ(catalogue.Find(Query("heron")).total, 1);
  std::unique_ptr<SqliteStorage> desk = Desk("Heron Again");
  std::atomic<bool> kept_all = false;
  std::atomic<int> failures = 0;
  std::vector<std::thread> searches;
  for (int thread = 0; thread < 4; ++thread) {
    searches.emplace_back([&] {
      while (not kept_all) {
        try {
          const SearchPage page = catalogue.Find(Query("heron"));
          if (page.total < 2 or page.results.empty()) ++failures;
        } catch (const StorageError&) {
          ++failures;
        }
      }
    });
  }
  constexpr int added = 200;
  for (int item = 0; item < added; ++item) {
    Change change = ItemAdded{ItemKind::cd, {0, "C", "Heron Song", "Singer", "4 min", 7, {}}};
    EXPECT_NO_THROW(desk->Keep(change));
  }
  kept_all = true;
  for (std::thread& search : searches) search.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(catalogue.Find(Query("heron")).total, 2 + added);
}

TEST_F(SqliteCatalogueTest, AFileItCannotSearchIsRefusedWithTheReason) {
  Desk().reset();
  SQLite::Database(Path(), SQLite::OPEN_READWRITE)
      .exec("DROP TABLE search_words; DROP TABLE search_entries; PRAGMA user_version = 2");
  const std::string older = Path();
  const std::string newer = Path() + ".newer";
  SQLite::Database(newer, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
      .exec("PRAGMA application_id = 1397247062; PRAGMA user_version = 4");
  const std::string other = Path() + ".other";
  SQLite::Database(other, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
      .exec("CREATE TABLE notes (text TEXT)");
  const struct {
    std::string path;
    const char* reason;
  } refused[] = {
      {older,
       "written by an older shelvoranquist (data version 2; this one reads version 3): start a "
       "desk on it once to upgrade it"},
      {newer, "written by a newer shelvoranquist (data version 4; this one reads version 3)"},
      {other, "not a shelvoranquist data file"},
      {Path() + ".absent", "unable to open database file"},
  };
  for (const auto& [path, reason] : refused) {
    try {
      SqliteCatalogue catalogue(path);
      ADD_FAILURE() << path << " opened";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_unusable()) << error.what();
      EXPECT_STREQ(error.what(), reason);
    }
  }
}

}  // namespace
