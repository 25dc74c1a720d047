#include <gmock/gmock.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "circulation/holdings.h"
#include "search/folded_words.h"
#include "storage/postgres/postgres_catalogue.h"
#include "storage/postgres/postgres_storage.h"
#include "support/postgres_database.h"

namespace {

using testing::HasSubstr;

// A new database holding what layout 1 wrote (postgres_layout_1/, made by make_fixture.sh
// there): items of every kind, lent, held and both.
std::string Layout_1_database(const std::string& name) {
  const std::string uri = Fresh_database_uri(name);
  const std::string restore =
      "pg_restore --no-owner --dbname='" + uri + "' " SHELVORANQUIST_POSTGRES_LAYOUT_1;
  if (std::system(restore.c_str()) != 0) throw std::runtime_error("cannot restore layout 1");
  return uri;
}

void Load(Storage& desk) {
  desk.Load([](const StoredRecords& records) { Holdings().Restore(records); });
}

TEST(PostgresLayoutTest, ALayout1DatabaseIsUpgradedOnceKeepingEveryRecordAndIndexingEveryItem) {
  const std::string uri = Layout_1_database("layout_upgraded");
  const StoredRecords before = PostgresStorage::Snapshot(uri);
  {
    PostgresStorage desk(uri);
    Load(desk);
    EXPECT_EQ(desk.Upgraded_from(), 1);
  }
  PostgresStorage again(uri);
  Load(again);
  EXPECT_EQ(again.Upgraded_from(), 0);
  EXPECT_EQ(PostgresStorage::Snapshot(uri), before);
  // Every item is found by the words of its title, as kept, with its status.
  std::set<std::pair<ItemKind, RecordKey>> lent;
  std::set<std::pair<ItemKind, RecordKey>> held;
  for (const auto& [rows, items] :
       {std::pair{&before.loans, &lent}, std::pair{&before.holds, &held}}) {
    for (const RecordRow& row : *rows) {
      items->insert(row.book ? std::pair{ItemKind::book, *row.book}
                    : row.cd ? std::pair{ItemKind::cd, *row.cd}
                             : std::pair{ItemKind::video, row.video.value_or(0)});
    }
  }
  PostgresCatalogue catalogue(uri);
  for (const auto& [kind, items] :
       {std::pair{ItemKind::book, &before.books}, std::pair{ItemKind::cd, &before.cds},
        std::pair{ItemKind::journal, &before.journals},
        std::pair{ItemKind::video, &before.videos}}) {
    for (const ItemRow& item : *items) {
      SCOPED_TRACE(item.bar_code);
      SearchRequest request;
      request.words = FoldedWords(item.title).Words();
      request.field = SearchField::title;
      request.kind = kind;
      const SearchResult found{
          kind,
          item.title,
          item.creator,
          item.bar_code,
          lent.contains({kind, item.key}) ? std::optional(item.due) : std::nullopt,
          held.contains({kind, item.key})};
      EXPECT_THAT(catalogue.Find(request).results, testing::Contains(found));
    }
  }
}

TEST(PostgresLayoutTest, AnUpgradeWaitsUntilNoDeskOfTheOlderLayoutRuns) {
  const std::string uri = Layout_1_database("layout_busy");
  // A session that stays as long as the server: a desk of layout 1 that never ends.
  ASSERT_TRUE(Psql(uri,
                   "INSERT INTO desks (pid, seen) SELECT pid, 0 FROM pg_stat_activity WHERE "
                   "backend_type = 'checkpointer'"));
  try {
    PostgresStorage desk(uri);
    Load(desk);
    ADD_FAILURE() << "upgraded";
  } catch (const StorageError& error) {
    EXPECT_TRUE(error.Is_busy());
    EXPECT_THAT(error.what(), HasSubstr("stop them"));
  }
  EXPECT_EQ(Psql(uri, "SELECT layout_version FROM shelvoranquist"), "1\n");
}

TEST(PostgresLayoutTest, ASchemaCatalogueHoldingAnythingElseIsRefused) {
  const struct {
    const char* name;
    bool layout_1;
    const char* added;
  } databases[] = {
      {"layout_2_foreign", false, "CREATE VIEW catalogue.everyone AS SELECT name FROM members"},
      {"layout_1_foreign", true,
       "CREATE SCHEMA catalogue; CREATE VIEW catalogue.everyone AS SELECT name FROM members"},
  };
  for (const auto& [name, layout_1, added] : databases) {
    SCOPED_TRACE(name);
    const std::string uri = layout_1 ? Layout_1_database(name) : Fresh_database_uri(name);
    if (not layout_1) PostgresStorage{uri};
    ASSERT_TRUE(Psql(uri, added));
    try {
      PostgresStorage desk(uri);
      ADD_FAILURE() << "opened";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_unusable());
      EXPECT_THAT(error.what(), HasSubstr("'catalogue.everyone'"));
    }
  }
}

}  // namespace
