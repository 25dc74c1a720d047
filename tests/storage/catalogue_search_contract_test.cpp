// The contract of every engine's catalogue reader; each engine's tests instantiate it.

#include <string>
#include <vector>

#include "storage/catalogue_search_contract.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

std::vector<std::string> Titles(const SearchPage& page) {
  std::vector<std::string> titles;
  for (const SearchResult& result : page.results) titles.push_back(result.title);
  return titles;
}

TEST_P(CatalogueSearchContractTest, EveryWordMatchesAWholeWordOfTheFieldTheLastAlsoItsBeginning) {
  Add(ItemKind::book, "B1", "The River Road", "\xC3\x89mile Durand");
  Add(ItemKind::cd, "C1", "River Songs", "The Roadies");
  Add(ItemKind::journal, "J1", "Road after Road", "Ann Riverton");
  Add(ItemKind::video, "V1", "Roadside", "Marta Kova\xC4\x8D");
  Add(ItemKind::book, "B2", "\xC3\x89MILE", "Jean Rousseau");
  Add(ItemKind::cd, "7-ROAD", "Quiet", "Nobody");
  const std::string bytes("Caf\xC3\xA9 \xFF\0Noir\x01", 13), nul_code("N\0-1", 4);
  Add(ItemKind::cd, nul_code, bytes, "Ed\xC3");
  using enum SearchField;
  const struct {
    const char* query;
    SearchField field;
    std::optional<ItemKind> kind;
    std::vector<std::string> titles;
  } cases[] = {
      {"the riv", title, {}, {"The River Road"}},
      {"Road RIVER", title, {}, {"The River Road"}},
      {"riv road", title, {}, {}},  // only the last word may be a beginning
      {"oad", any, {}, {}},         // a beginning, not a part
      {"river road", any, {}, {"River Songs", "The River Road"}},  // each word in any field
      {"emile", any, {}, {"\xC3\x89MILE", "The River Road"}},
      {"kovac", creator, {}, {"Roadside"}},
      {"road", bar_code, {}, {"Quiet"}},
      // Each item once, however often it matches.
      {"road", any, {}, {"Quiet", "River Songs", "Road after Road", "Roadside", "The River Road"}},
      {"road", any, ItemKind::video, {"Roadside"}},
      {"cafe noir", title, {}, {bytes}},
      {"ed", creator, {}, {bytes}},
      {"n 1", bar_code, {}, {bytes}},
  };
  for (const auto& [query, field, kind, titles] : cases) {
    const SearchPage page = Find(query, field, kind);
    EXPECT_THAT(Titles(page), ElementsAreArray(titles)) << query << int(field);
    EXPECT_EQ(page.total, std::ssize(titles)) << query << int(field);
  }
  EXPECT_THAT(Shown(Find("noir")), ElementsAre("cd " + bytes + " / Ed\xC3 / " + nul_code));
}

TEST_P(CatalogueSearchContractTest, ResultsTellWhenALentItemIsDueAndWhetherItIsHeld) {
  const StampRow due{2027, 1, 15, 10, 30};
  const RecordKey lent = Add(ItemKind::book, "S1", "Status lent", "A");
  const RecordKey held = Add(ItemKind::book, "S2", "Status held", "A");
  const RecordKey both = Add(ItemKind::video, "S3", "Status both", "A");
  const RecordKey returned = Add(ItemKind::cd, "S4", "Status returned", "A");
  Add(ItemKind::cd, "S5", "Status shelf", "A");
  Add(ItemKind::journal, "S6", "Status journal", "A");
  Keep(LoanMade{{0, lent, {}, {}, {}}, due, {}});
  Keep(HoldPlaced{{0, held, {}, {}, {}}, {2027, 1, 9, 9, 0}});
  Keep(LoanMade{{0, {}, {}, both, {}}, due, {}});
  Keep(HoldPlaced{{0, {}, {}, both, {}}, due});
  Keep(LoanEnded{std::get<LoanMade>(Keep(LoanMade{{0, {}, returned, {}, {}}, due, {}})).loan});
  EXPECT_THAT(Shown(Find("status")),
              ElementsAre("video Status both / A / S3 due 2027-1-15 10:30 held",
                          "book Status held / A / S2 held", "journal Status journal / A / S6",
                          "book Status lent / A / S1 due 2027-1-15 10:30",
                          "cd Status returned / A / S4", "cd Status shelf / A / S5"));
  EXPECT_THAT(Titles(Find("status", SearchField::any, {}, true)),
              ElementsAre("Status journal", "Status returned", "Status shelf"));
  EXPECT_EQ(Find("status", SearchField::any, ItemKind::book, true).total, 0);
}

TEST_P(CatalogueSearchContractTest, PagesOfResultsSortedByFoldedTitleThenBarCodeThenKind) {
  Add(ItemKind::video, "X1", "Heat", "Sorter");
  Add(ItemKind::book, "Z", "Zebra", "Sorter");
  Add(ItemKind::book, "X1", "Heat", "Sorter");
  Add(ItemKind::book, "F", "Frank", "Sorter");
  Add(ItemKind::journal, "X1", "HEAT", "Sorter");
  Add(ItemKind::book, "E", "\xC3\x89mile", "Sorter");
  Add(ItemKind::cd, "A9", "heat", "Sorter");
  Add(ItemKind::book, "Q", "apple", "Sorter");
  const std::vector<std::string> sorted{
      "book apple / Sorter / Q",  "book \xC3\x89mile / Sorter / E", "book Frank / Sorter / F",
      "cd heat / Sorter / A9",    "book Heat / Sorter / X1",        "journal HEAT / Sorter / X1",
      "video Heat / Sorter / X1", "book Zebra / Sorter / Z"};
  for (std::int64_t offset : {0, 3, 6, 8, 9}) {
    const SearchPage page = Find("sorter", SearchField::creator, {}, false, offset, 3);
    const auto first = sorted.begin() + std::min<std::int64_t>(offset, 8);
    EXPECT_THAT(Shown(page), ElementsAreArray(first, std::min(first + 3, sorted.end()))) << offset;
    EXPECT_EQ(page.total, 8);
  }
}

TEST_P(CatalogueSearchContractTest, AChangeAtTheDeskShowsAtTheNextFind) {
  const RecordKey kept = Add(ItemKind::book, "K1", "Kept Tale", "Teller");
  EXPECT_THAT(Titles(Find("tale")), ElementsAre("Kept Tale"));
  const RecordKey later = Add(ItemKind::video, "K2", "Later Tale", "Teller");
  EXPECT_THAT(Titles(Find("tale")), ElementsAre("Kept Tale", "Later Tale"));
  const Change loan = Keep(LoanMade{{0, kept, {}, {}, {}}, {2027, 3, 1, 9, 0}, {}});
  EXPECT_THAT(Shown(Find("kept")), ElementsAre("book Kept Tale / Teller / K1 due 2027-3-1 9:0"));
  Keep(LoanEnded{std::get<LoanMade>(loan).loan});
  Keep(ItemRemoved{ItemKind::video, later});
  EXPECT_THAT(Shown(Find("tale")), ElementsAre("book Kept Tale / Teller / K1"));
}

}  // namespace
