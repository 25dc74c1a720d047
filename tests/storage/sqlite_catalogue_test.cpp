#include "storage/sqlite/sqlite_catalogue.h"

#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>

#include <memory>
#include <string>

#include "storage/catalogue_search_contract.h"
#include "storage/sqlite/sqlite_storage.h"

namespace {

const CatalogueEngine sqlite{"sqlite",
                             [](const std::string& place) -> std::unique_ptr<Storage> {
                               return std::make_unique<SqliteStorage>(place + ".db");
                             },
                             [](const std::string& place) -> std::unique_ptr<CatalogueSearch> {
                               return std::make_unique<SqliteCatalogue>(place + ".db");
                             }};

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest, testing::Values(sqlite));

class SqliteCatalogueTest : public CatalogueSearchContractTest {};
INSTANTIATE_TEST_SUITE_P(Engine, SqliteCatalogueTest, testing::Values(sqlite));

TEST_P(SqliteCatalogueTest, TheMembersTableIsRefusedToItsReadsWhateverTheFileHolds) {
  Add(ItemKind::book, "H1", "Heron Tales", "Author");
  ASSERT_EQ(Find("heron").total, 1);
  // Another program puts a view of the members where the catalogue reads its index.
  SQLite::Database(Place() + ".db", SQLite::OPEN_READWRITE)
      .exec(
          "DROP TABLE search_entries; CREATE VIEW search_entries AS SELECT id, 0 AS kind,"
          "  id AS item_id, name AS folded_title, name AS bar_code FROM members");
  EXPECT_THROW(Find("heron"), StorageError);
}

TEST_P(SqliteCatalogueTest, DesksStartAndKeepChangesWhileTheCatalogueHasTheFileOpen) {
  Add(ItemKind::book, "H1", "Heron Tales", "Author");
  ASSERT_EQ(Find("heron").total, 1);
  Desk().reset();
  Desk() = GetParam().open_desk(Place());
  Desk()->Load([](const StoredRecords&) {});
  for (int cd = 0; cd < 100; ++cd) EXPECT_NO_THROW(Add(ItemKind::cd, "C", "Heron Song", "Singer"));
  EXPECT_EQ(Find("heron").total, 101);
}

TEST_P(SqliteCatalogueTest, AFileOfAnOlderVersionIsRefusedWithTheReason) {
  SQLite::Database(Place() + ".db", SQLite::OPEN_READWRITE)
      .exec("DROP TABLE search_words; DROP TABLE search_entries; PRAGMA user_version = 2");
  EXPECT_THAT([&] { SqliteCatalogue catalogue(Place() + ".db"); },
              testing::ThrowsMessage<StorageError>(testing::StrEq(
                  "written by an older shelvoranquist (data version 2; this one reads version 3):"
                  " start a desk on it once to upgrade it")));
}

}  // namespace
