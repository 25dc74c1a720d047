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

  // A desk on the file, loaded, that has kept Ann and a book of `title`.
  std::unique_ptr<SqliteStorage> Desk(const std::string& title) {
    auto desk = std::make_unique<SqliteStorage>(Path());
    desk->Load([](const StoredRecords&) {});
    Change ann = MemberAdded{{0, "Ann Secret", "1 Hidden Lane", "555", "ann@example.org", 7}};
    Change book = ItemAdded{ItemKind::book, {0, "H1", title, "Author", "", 14, {2026, 1, 1, 0, 0}}};
    desk->Keep(ann);
    desk->Keep(book);
    return desk;
  }

  // How many items of the file at Path() `catalogue` finds for "heron".
  static std::int64_t Herons(CatalogueSearch& catalogue) {
    SearchRequest request;
    request.words = {"heron"};
    return catalogue.Find(request).total;
  }

 private:
  ScratchFolder _folder;
};

TEST_F(SqliteCatalogueTest, TheMembersTableIsRefusedToItsReadsWhateverTheFileHolds) {
  Desk("Heron Tales").reset();
  SqliteCatalogue catalogue(Path());
  ASSERT_EQ(Herons(catalogue), 1);
  // Another program puts a view of the members where the catalogue reads its index.
  SQLite::Database(Path(), SQLite::OPEN_READWRITE)
      .exec(
          "DROP TABLE search_entries; CREATE VIEW search_entries AS SELECT id, 0 AS kind,"
          "  id AS item_id, name AS folded_title, name AS bar_code FROM members;"
          "DELETE FROM search_words; INSERT INTO search_words (rowid, title, creator, bar_code)"
          "  SELECT id, 'heron', '', '' FROM members;");
  EXPECT_THROW(Herons(catalogue), StorageError);
}

TEST_F(SqliteCatalogueTest, DesksStartAndKeepChangesWhileSearchesRunOnSeveralThreads) {
  Desk("Heron Tales").reset();
  SqliteCatalogue catalogue(Path());
  ASSERT_EQ(Herons(catalogue), 1);
  std::unique_ptr<SqliteStorage> desk = Desk("Heron Again");
  std::atomic<bool> done = false;
  std::atomic<int> failures = 0;
  std::vector<std::jthread> searches;
  for (int thread = 0; thread < 4; ++thread) {
    searches.emplace_back([&] {
      while (not done) {
        try {
          if (Herons(catalogue) < 2) ++failures;
        } catch (const StorageError&) {
          ++failures;
        }
      }
    });
  }
  for (int cd = 0; cd < 200; ++cd) {
    Change change = ItemAdded{ItemKind::cd, {0, "C", "Heron Song", "Singer", "4 min", 7, {}}};
    EXPECT_NO_THROW(desk->Keep(change));
  }
  done = true;
  searches.clear();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Herons(catalogue), 202);
}

TEST_F(SqliteCatalogueTest, AFileOfAnOlderVersionOrNoneIsRefusedWithTheReason) {
  Desk("Heron Tales").reset();
  SQLite::Database(Path(), SQLite::OPEN_READWRITE)
      .exec("DROP TABLE search_words; DROP TABLE search_entries; PRAGMA user_version = 2");
  for (const auto& [path, reason] :
       {std::pair{Path(),
                  "written by an older shelvoranquist (data version 2; this one reads version "
                  "3): start a desk on it once to upgrade it"},
        std::pair{Path() + ".absent", "No such file or directory"}}) {
    try {
      SqliteCatalogue catalogue(path);
      ADD_FAILURE() << path << " opened";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_unusable());
      EXPECT_STREQ(error.what(), reason);
    }
  }
}

}  // namespace
