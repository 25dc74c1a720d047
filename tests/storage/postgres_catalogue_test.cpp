#include "storage/postgres/postgres_catalogue.h"

#include <gmock/gmock.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "search/folded_words.h"
#include "storage/catalogue_search_contract.h"
#include "storage/postgres/postgres_storage.h"
#include "support/postgres_database.h"

namespace {

using testing::HasSubstr;
using testing::Not;

INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest,
                         testing::Values(CatalogueEngine{
                             "postgres",
                             [](const std::string& place) -> std::unique_ptr<Storage> {
                               return std::make_unique<PostgresStorage>(Database_at(place));
                             },
                             [](const std::string& place) -> std::unique_ptr<CatalogueSearch> {
                               return std::make_unique<PostgresCatalogue>(Database_at(place));
                             }}));

// `text` as psql shows bytes, in hexadecimal digits.
std::string Hex(std::string_view text) {
  std::string hex;
  for (const char c : text) {
    hex += "0123456789abcdef"[static_cast<unsigned char>(c) >> 4];
    hex += "0123456789abcdef"[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

SearchRequest Query(const char* text) {
  SearchRequest request;
  request.words = FoldedWords(text).Words();
  return request;
}

// A database with a desk's catalogue: Ann, who has borrowed the book "Heron Tales".
std::string Library_with_a_loan(const std::string& name) {
  const std::string uri = Fresh_database_uri(name);
  PostgresStorage desk(uri);
  desk.Load([](const StoredRecords&) {});
  Change ann = MemberAdded{{0, "Ann Secret", "1 Hidden Lane", "555 0199", "ann@example.org", 7}};
  Change book = ItemAdded{ItemKind::book, {0, "H1", "Heron Tales", "Author", "", 14, {}}};
  desk.Keep(ann);
  desk.Keep(book);
  Change loan = LoanMade{
      {0, std::get<ItemAdded>(book).item.key, {}, {}, std::get<MemberAdded>(ann).member.key},
      {2027, 2, 3, 4, 5},
      {}};
  desk.Keep(loan);
  return uri;
}

TEST(PostgresCatalogueTest, ARoleGrantedOnlyTheCatalogueViewsSearchesAndReadsNothingOfAMember) {
  const std::string uri = Library_with_a_loan("catalogue_grants");
  // As README grants them.
  ASSERT_TRUE(Psql(uri,
                   "DROP ROLE IF EXISTS patrons; CREATE ROLE patrons LOGIN; "
                   "GRANT USAGE ON SCHEMA catalogue TO patrons; GRANT SELECT ON "
                   "catalogue.entries, catalogue.items, catalogue.words, catalogue.layout TO "
                   "patrons"));
  const std::string patrons = uri + "&user=patrons";
  const SearchPage page = PostgresCatalogue(patrons).Find(Query("heron"));
  ASSERT_EQ(page.total, 1);
  EXPECT_EQ(page.results.at(0).due, (StampRow{2027, 2, 3, 4, 5}));
  for (const char* table : {"members", "loans", "books", "catalogue.search_entries"}) {
    EXPECT_FALSE(Psql(patrons, std::string("SELECT FROM ") + table)) << table;
  }
  const std::optional<std::string> shown =
      Psql(patrons,
           "SELECT e::text, i::text, w::text, l::text FROM catalogue.entries e, catalogue.items "
           "i, catalogue.words w, catalogue.layout l");
  ASSERT_TRUE(shown);
  for (const char* text : {"Ann Secret", "1 Hidden Lane", "555 0199", "ann@example.org"}) {
    EXPECT_THAT(*shown, Not(HasSubstr(Hex(text)))) << text;
  }
}

TEST(PostgresCatalogueTest, ADatabaseWithoutACatalogueOfThisLayoutIsRefusedWithTheReason) {
  const struct {
    const char* name;
    const char* change;  // none: no desk has started on the database
    const char* reason;
  } databases[] = {
      {"catalogue_none", nullptr, "holds no shelvoranquist catalogue"},
      {"catalogue_older",
       "DROP SCHEMA catalogue CASCADE; UPDATE shelvoranquist SET layout_version = 1",
       "written by an older shelvoranquist (layout 1; this one reads layout 2): start a desk on "
       "it once to upgrade it"},
      {"catalogue_newer", "UPDATE shelvoranquist SET layout_version = 3",
       "written by a newer shelvoranquist (layout 3; this one reads layout 2)"},
  };
  for (const auto& [name, change, reason] : databases) {
    SCOPED_TRACE(name);
    const std::string uri = change ? Library_with_a_loan(name) : Fresh_database_uri(name);
    if (change) {
      ASSERT_TRUE(Psql(uri, change));
    }
    try {
      PostgresCatalogue catalogue(uri);
      ADD_FAILURE() << "opened";
    } catch (const StorageError& error) {
      EXPECT_TRUE(error.Is_unusable());
      EXPECT_STREQ(error.what(), reason);
    }
  }
}

TEST(PostgresCatalogueTest, SearchesOnSeveralThreadsAtOnceWhileADeskKeepsChanges) {
  const std::string uri = Library_with_a_loan("catalogue_threads");
  PostgresCatalogue catalogue(uri);
  PostgresStorage desk(uri);
  desk.Load([](const StoredRecords&) {});
  std::atomic<bool> kept_all = false;
  std::atomic<int> failures = 0;
  std::vector<std::thread> searches;
  for (int thread = 0; thread < 4; ++thread) {
    searches.emplace_back([&] {
      while (not kept_all) {
        try {
          if (catalogue.Find(Query("heron")).total < 1) ++failures;
        } catch (const StorageError&) {
          ++failures;
        }
      }
    });
  }
  for (int copy = 0; copy < 30; ++copy) {
    Change book = ItemAdded{ItemKind::cd, {0, std::to_string(copy), "Heron", "A", "", 7}};
    desk.Keep(book);
  }
  kept_all = true;
  for (std::thread& search : searches) search.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(catalogue.Find(Query("heron")).total, 31);
}

}  // namespace
