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
  Add(ItemKind::video, "V1", "Roadside Picnic", "Marta Kova\xC4\x8D");
  Add(ItemKind::book, "B2", "\xC3\x89MILE", "Jean Rousseau");
  Add(ItemKind::cd, "7-ROAD", "Quiet", "Nobody");
  using enum SearchField;
  const struct {
    const char* query;
    SearchRequest request;
    std::vector<std::string> titles;
  } cases[] = {
      {"the riv", Request(title), {"The River Road"}},
      {"Road RIVER", Request(title), {"The River Road"}},
      {"riv road", Request(title), {}},  // only the last word may be a beginning
      {"oad", Request(any), {}},         // a beginning, not a part
      {"river road", Request(any), {"River Songs", "The River Road"}},  // each word in any field
      {"emile", Request(any), {"\xC3\x89MILE", "The River Road"}},
      {"\xC3\xA9mile", Request(creator), {"The River Road"}},
      {"kovac", Request(creator), {"Roadside Picnic"}},
      {"road", Request(bar_code), {"Quiet"}},
      // Each item once, however often it matches.
      {"road",
       Request(any),
       {"Quiet", "River Songs", "Road after Road", "Roadside Picnic", "The River Road"}},
      {"road", Request(any, ItemKind::video), {"Roadside Picnic"}},
  };
  for (const auto& [query, request, titles] : cases) {
    const SearchPage page = Find(query, request);
    EXPECT_THAT(Titles(page), ElementsAreArray(titles)) << query << int(request.field);
    EXPECT_EQ(page.total, std::ssize(titles)) << query << int(request.field);
  }
}

TEST_P(CatalogueSearchContractTest, ResultsTellWhenALentItemIsDueAndWhetherItIsHeld) {
  const RecordKey ann =
      std::get<MemberAdded>(Keep(MemberAdded{{0, "Ann", "", "", "", 1}})).member.key;
  const StampRow due{2027, 1, 15, 10, 30};
  const RecordKey lent = Add(ItemKind::book, "S1", "Status lent", "A");
  const RecordKey held = Add(ItemKind::book, "S2", "Status held", "A");
  const RecordKey both = Add(ItemKind::video, "S3", "Status both", "A");
  const RecordKey returned = Add(ItemKind::cd, "S4", "Status returned", "A");
  Add(ItemKind::cd, "S5", "Status shelf", "A");
  Add(ItemKind::journal, "S6", "Status journal", "A");
  Keep(LoanMade{{0, lent, {}, {}, ann}, due, {}});
  Keep(HoldPlaced{{0, held, {}, {}, ann}, {2027, 1, 9, 9, 0}});
  Keep(LoanMade{{0, {}, {}, both, {}}, due, {}});
  Keep(HoldPlaced{{0, {}, {}, both, ann}, due});
  Keep(LoanEnded{std::get<LoanMade>(Keep(LoanMade{{0, {}, returned, {}, ann}, due, {}})).loan});
  EXPECT_THAT(Shown(Find("status")),
              ElementsAre("video Status both / A / S3 due 2027-1-15 10:30 held",
                          "book Status held / A / S2 held", "journal Status journal / A / S6",
                          "book Status lent / A / S1 due 2027-1-15 10:30",
                          "cd Status returned / A / S4", "cd Status shelf / A / S5"));
  const SearchPage available = Find("status", Request(SearchField::any, {}, true));
  EXPECT_THAT(Titles(available), ElementsAre("Status journal", "Status returned", "Status shelf"));
  EXPECT_EQ(available.total, 3);
  EXPECT_EQ(Find("status", Request(SearchField::any, ItemKind::book, true)).total, 0);
}

TEST_P(CatalogueSearchContractTest, PagesOfResultsSortedByFoldedTitleThenBarCodeThenKind) {
  for (const auto& [kind, bar_code, title] : {std::tuple{ItemKind::video, "X1", "Heat"},
                                              {ItemKind::book, "Z", "Zebra"},
                                              {ItemKind::book, "X1", "Heat"},
                                              {ItemKind::book, "F", "Frank"},
                                              {ItemKind::journal, "X1", "HEAT"},
                                              {ItemKind::book, "E", "\xC3\x89mile"},
                                              {ItemKind::cd, "A9", "heat"},
                                              {ItemKind::book, "Q", "apple"}}) {
    Add(kind, bar_code, title, "Sorter");
  }
  const std::vector<std::string> sorted{
      "book apple / Sorter / Q",  "book \xC3\x89mile / Sorter / E", "book Frank / Sorter / F",
      "cd heat / Sorter / A9",    "book Heat / Sorter / X1",        "journal HEAT / Sorter / X1",
      "video Heat / Sorter / X1", "book Zebra / Sorter / Z"};
  for (std::int64_t offset : {0, 3, 6, 8, 9}) {
    SearchRequest request = Request(SearchField::creator);
    request.offset = offset;
    request.limit = 3;
    const SearchPage page = Find("sorter", request);
    const auto first = sorted.begin() + std::min<std::int64_t>(offset, 8);
    EXPECT_THAT(Shown(page), ElementsAreArray(first, std::min(first + 3, sorted.end()))) << offset;
    EXPECT_EQ(page.total, 8);
  }
}

TEST_P(CatalogueSearchContractTest, TextsOfAnyBytesAreFoundAndReturnedAsKept) {
  const std::string title("Caf\xC3\xA9 \xFF\0Noir\x01", 13);
  const std::string creator("Ed\xC3", 3);
  const std::string bar_code("N\0-1", 4);
  Add(ItemKind::cd, bar_code, title, creator);
  for (const auto& [query, field] :
       {std::pair{"cafe noir", SearchField::title}, std::pair{"ed", SearchField::creator},
        std::pair{"n 1", SearchField::bar_code}}) {
    EXPECT_THAT(Shown(Find(query, Request(field))),
                ElementsAre("cd " + title + " / " + creator + " / " + bar_code))
        << query;
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
  EXPECT_EQ(Find("later").total, 0);
}

}  // namespace
