#include "storage/postgres/postgres_catalogue.h"

#include <gmock/gmock.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "circulation/holdings.h"
#include "search/folded_words.h"
#include "storage/catalogue_search_contract.h"
#include "storage/postgres/postgres_storage.h"
#include "support/postgres_database.h"

namespace {

using testing::Contains;
using testing::Field;
using testing::HasSubstr;

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest,
                         testing::Values(CatalogueEngine{
                             "postgres",
                             [](const std::string& place) -> std::unique_ptr<Storage> {
                               return std::make_unique<PostgresStorage>(Database_at(place));
                             },
                             [](const std::string& place) -> std::unique_ptr<CatalogueSearch> {
                               return std::make_unique<PostgresCatalogue>(Database_at(place));
                             }}));

void Load(Storage& desk) {
  desk.Load([](const StoredRecords& records) { Holdings().Restore(records); });
}

// A new database holding what layout 1 wrote (postgres_layout_1/, made by make_fixture.sh
// there): members, and items of every kind lent, held and both; upgraded by a desk's start
// when `upgraded`.
std::string Layout_1_database(const std::string& name, bool upgraded = false) {
  const std::string uri = Fresh_database_uri(name);
  const std::string restore =
      "pg_restore --no-owner --dbname='" + uri + "' " SHELVORANQUIST_POSTGRES_LAYOUT_1;
  if (std::system(restore.c_str()) != 0) throw std::runtime_error("cannot restore layout 1");
  if (upgraded) Load(*std::make_unique<PostgresStorage>(uri));
  return uri;
}

TEST(PostgresCatalogueTest, ALayout1DatabaseIsUpgradedOnceKeepingEveryRecordAndIndexingEveryItem) {
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
  // Every item is found by the words of its title.
  PostgresCatalogue catalogue(uri);
  for (const auto& [kind, items] :
       {std::pair{ItemKind::book, &before.books}, std::pair{ItemKind::cd, &before.cds},
        std::pair{ItemKind::journal, &before.journals},
        std::pair{ItemKind::video, &before.videos}}) {
    for (const ItemRow& item : *items) {
      SCOPED_TRACE(item.bar_code);
      const SearchRequest request{
          .words = FoldedWords(item.title).Words(), .field = SearchField::title, .kind = kind};
      EXPECT_THAT(catalogue.Find(request).results,
                  Contains(Field(&SearchResult::bar_code, item.bar_code)));
    }
  }
}

TEST(PostgresCatalogueTest, ARoleGrantedOnlyTheCatalogueViewsSearchesAndReadsNothingOfAMember) {
  const std::string uri = Layout_1_database("catalogue_grants", true);
  // As README grants them.
  ASSERT_TRUE(Psql(uri,
                   "DROP ROLE IF EXISTS patrons; CREATE ROLE patrons LOGIN; "
                   "GRANT USAGE ON SCHEMA catalogue TO patrons; GRANT SELECT ON "
                   "catalogue.entries, catalogue.items, catalogue.words, catalogue.layout TO "
                   "patrons"));
  const std::string patrons = uri + "&user=patrons";
  EXPECT_EQ(PostgresCatalogue(patrons).Find({.words = {"hamlet"}}).total, 2);
  for (const char* table : {"members", "loans", "catalogue.search_entries"}) {
    EXPECT_FALSE(Psql(patrons, std::string("SELECT FROM ") + table)) << table;
  }
  // Nothing any view shows holds a text of a member's, as psql shows bytes.
  EXPECT_EQ(Psql(patrons,
                 "SELECT count(*) FROM catalogue.entries e, catalogue.items i, catalogue.words w, "
                 "catalogue.layout l, unnest(ARRAY['Ann Lee', '12 Mill Lane', '555 0101', "
                 "'ann@example.org']) AS ann WHERE concat(e, i, w, l) LIKE "
                 "'%' || encode(convert_to(ann, 'UTF8'), 'hex') || '%'"),
            "0\n");
}

TEST(PostgresCatalogueTest, WhatCannotBeReadAsThisLayoutIsRefusedWithTheReasonAndLeftAsItWas) {
  const struct {
    const char* name;
    std::optional<bool> upgraded;  // none: a database no desk has started on
    const char* change;
    bool desk;  // opened by a desk rather than the catalogue
    const char* reason;
  } databases[] = {
      {"refused_empty", {}, "", false, "holds no shelvoranquist catalogue"},
      {"refused_older", false, "", false,
       "written by an older shelvoranquist (layout 1; this one reads layout 2): start a desk on "
       "it once to upgrade it"},
      {"refused_newer", true, "UPDATE shelvoranquist SET layout_version = 3", false,
       "written by a newer shelvoranquist (layout 3; this one reads layout 2)"},
      // A session that lasts as long as the server: a desk of layout 1 that never ends.
      {"refused_in_use", false,
       "INSERT INTO desks (pid, seen) SELECT pid, 0 FROM pg_stat_activity WHERE backend_type = "
       "'checkpointer'",
       true, "desks of an older shelvoranquist are running on it: stop them"},
      {"refused_foreign", true, "CREATE VIEW catalogue.everyone AS SELECT name FROM members", true,
       "holds a table or view 'catalogue.everyone'"},
  };
  for (const auto& [name, upgraded, change, desk, reason] : databases) {
    SCOPED_TRACE(name);
    const std::string uri =
        upgraded ? Layout_1_database(name, *upgraded) : Fresh_database_uri(name);
    ASSERT_TRUE(Psql(uri, change));
    const std::optional<std::string> dump = Psql(uri, "SELECT * FROM shelvoranquist");
    try {
      if (desk) Load(*std::make_unique<PostgresStorage>(uri));
      if (not desk) PostgresCatalogue{uri};
      ADD_FAILURE() << "opened";
    } catch (const StorageError& error) {
      EXPECT_THAT(error.what(), HasSubstr(reason));
    }
    EXPECT_EQ(Psql(uri, "SELECT * FROM shelvoranquist"), dump);
  }
}

TEST(PostgresCatalogueTest, SearchesOnSeveralThreadsAtOnceEachHaveTheirAnswer) {
  PostgresCatalogue catalogue(Layout_1_database("catalogue_threads", true));
  std::atomic<int> answered = 0;
  {
    std::vector<std::jthread> searches;
    for (int thread = 0; thread < 4; ++thread) {
      searches.emplace_back([&] {
        try {
          for (int search = 0; search < 50; ++search) {
            answered += static_cast<int>(catalogue.Find({.words = {"hamlet"}}).total);
          }
        } catch (const StorageError&) {  // NOLINT(bugprone-empty-catch): the count falls short
        }
      });
    }
  }
  EXPECT_EQ(answered, 400);
}

}  // namespace
