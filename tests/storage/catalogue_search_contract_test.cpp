// The contract of every engine's catalogue reader; each engine's tests instantiate it.

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "storage/catalogue_search_contract.h"

namespace {

using testing::ElementsAreArray;
using testing::IsEmpty;

// The titles of a page's results, in their order.
std::vector<std::string> Titles(const SearchPage& page) {
  std::vector<std::string> titles;
  for (const SearchResult& result : page.results) titles.push_back(result.title);
  return titles;
}

SearchRequest In(SearchField field, std::optional<ItemKind> kind = {}) {
  SearchRequest request;
  request.field = field;
  request.kind = kind;
  return request;
}

SearchRequest On_the_shelf(std::optional<ItemKind> kind = {}) {
  SearchRequest request = In(SearchField::any, kind);
  request.available_only = true;
  return request;
}

TEST_P(CatalogueSearchContractTest, EveryWordMatchesAWholeWordOfTheFieldTheLastAlsoItsBeginning) {
  Add(ItemKind::book, "B1", "The River Road", "\xC3\x89mile Durand");
  Add(ItemKind::cd, "C1", "River Songs", "The Roadies");
  Add(ItemKind::journal, "J1", "Road after Road", "Ann Riverton");
  Add(ItemKind::video, "V1", "Roadside Picnic", "Marta Kova\xC4\x8D");
  Add(ItemKind::book, "B2", "\xC3\x89MILE", "Jean Rousseau");
  Add(ItemKind::cd, "7-ROAD", "Quiet", "Nobody");
  const struct {
    const char* query;
    SearchRequest request;
    std::vector<std::string> titles;
  } cases[] = {
      {"the riv", In(SearchField::title), {"The River Road"}},
      {"Road RIVER", In(SearchField::title), {"The River Road"}},
      {"riv road", In(SearchField::title), {}},  // only the last word may be a beginning
      {"oad", In(SearchField::any), {}},         // a beginning, not a part
      {"river road", In(SearchField::any), {"River Songs", "The River Road"}},  // any field each
      {"songs river", In(SearchField::any), {"River Songs"}},
      {"emile", In(SearchField::any), {"\xC3\x89MILE", "The River Road"}},
      {"EMILE", In(SearchField::title), {"\xC3\x89MILE"}},
      {"\xC3\xA9mile", In(SearchField::creator), {"The River Road"}},
      {"kovac", In(SearchField::creator), {"Roadside Picnic"}},
      {"river", In(SearchField::creator), {"Road after Road"}},
      {"road", In(SearchField::bar_code), {"Quiet"}},
      {"b", In(SearchField::bar_code), {"\xC3\x89MILE", "The River Road"}},
      {"road after", In(SearchField::title), {"Road after Road"}},
      {"road",
       In(SearchField::any),
       {"Quiet", "River Songs", "Road after Road", "Roadside Picnic", "The River Road"}},
      {"road", In(SearchField::any, ItemKind::video), {"Roadside Picnic"}},
      {"road", In(SearchField::title, ItemKind::journal), {"Road after Road"}},
      {"road", In(SearchField::title, ItemKind::cd), {}},
  };
  for (const auto& [query, request, titles] : cases) {
    SCOPED_TRACE(std::string(query) + " in field " +
                 std::to_string(static_cast<int>(request.field)));
    const SearchPage page = Find(query, request);
    EXPECT_THAT(Titles(page), ElementsAreArray(titles));
    EXPECT_EQ(page.total, static_cast<std::int64_t>(titles.size()));
  }
}

TEST_P(CatalogueSearchContractTest, ResultsTellWhenALentItemIsDueAndWhetherItIsHeld) {
  const RecordKey ann =
      std::get<MemberAdded>(Keep(MemberAdded{{0, "Ann", "", "", "", 1}})).member.key;
  const StampRow due{2027, 1, 15, 10, 30};
  const StampRow held_due{2027, 1, 9, 10, 30};
  const RecordKey lent = Add(ItemKind::book, "S1", "Status lent", "A");
  const RecordKey held = Add(ItemKind::book, "S2", "Status held", "A");
  const RecordKey both = Add(ItemKind::video, "S3", "Status both", "A");
  const RecordKey returned = Add(ItemKind::cd, "S4", "Status returned", "A");
  Add(ItemKind::cd, "S5", "Status shelf", "A");
  Add(ItemKind::journal, "S6", "Status journal", "A");
  Keep(LoanMade{{0, lent, {}, {}, ann}, due, {}});
  Keep(HoldPlaced{{0, held, {}, {}, ann}, held_due});
  Keep(LoanMade{{0, {}, {}, both, {}}, due, {}});
  Keep(HoldPlaced{{0, {}, {}, both, ann}, due});
  const Change loan = Keep(LoanMade{{0, {}, returned, {}, ann}, due, {}});
  Keep(LoanEnded{std::get<LoanMade>(loan).loan});
  const std::vector<SearchResult> everything{
      {ItemKind::video, "Status both", "A", "S3", due, true},
      {ItemKind::book, "Status held", "A", "S2", {}, true},
      {ItemKind::journal, "Status journal", "A", "S6", {}, false},
      {ItemKind::book, "Status lent", "A", "S1", due, false},
      {ItemKind::cd, "Status returned", "A", "S4", {}, false},
      {ItemKind::cd, "Status shelf", "A", "S5", {}, false},
  };
  EXPECT_THAT(Find("status").results, ElementsAreArray(everything));
  const SearchPage available = Find("status", On_the_shelf());
  EXPECT_THAT(available.results, ElementsAreArray({everything[2], everything[4], everything[5]}));
  EXPECT_EQ(available.total, 3);
  EXPECT_THAT(Find("status", On_the_shelf(ItemKind::book)).results, IsEmpty());
}

TEST_P(CatalogueSearchContractTest, ResultsAreSortedByFoldedTitleThenBarCodeThenKind) {
  Add(ItemKind::video, "X1", "Heat", "Sorter");
  Add(ItemKind::book, "Z", "Zebra", "Sorter");
  Add(ItemKind::book, "X1", "Heat", "Sorter");
  Add(ItemKind::book, "F", "Frank", "Sorter");
  Add(ItemKind::journal, "X1", "HEAT", "Sorter");
  Add(ItemKind::book, "E", "\xC3\x89mile", "Sorter");
  Add(ItemKind::cd, "A9", "heat", "Sorter");
  Add(ItemKind::book, "Q", "apple", "Sorter");
  std::vector<std::tuple<std::string, std::string, ItemKind>> found;
  for (const SearchResult& result : Find("sorter").results) {
    found.emplace_back(result.title, result.bar_code, result.kind);
  }
  EXPECT_THAT(found, ElementsAreArray({
                         std::tuple{"apple", "Q", ItemKind::book},
                         std::tuple{"\xC3\x89mile", "E", ItemKind::book},
                         std::tuple{"Frank", "F", ItemKind::book},
                         std::tuple{"heat", "A9", ItemKind::cd},
                         std::tuple{"Heat", "X1", ItemKind::book},
                         std::tuple{"HEAT", "X1", ItemKind::journal},
                         std::tuple{"Heat", "X1", ItemKind::video},
                         std::tuple{"Zebra", "Z", ItemKind::book},
                     }));
}

TEST_P(CatalogueSearchContractTest, APageHoldsItsShareOfTheResultsAndCountsThemAll) {
  for (const char* part : {"Part 4", "Part 2", "Part 7", "Part 1", "Part 5", "Part 3", "Part 6"}) {
    Add(ItemKind::book, part, part, "Pager");
  }
  const struct {
    std::int64_t offset, limit;
    std::vector<std::string> titles;
  } pages[] = {
      {0, 3, {"Part 1", "Part 2", "Part 3"}},
      {3, 3, {"Part 4", "Part 5", "Part 6"}},
      {6, 3, {"Part 7"}},
      {7, 3, {}},
      {2, 1, {"Part 3"}},
  };
  for (const auto& [offset, limit, titles] : pages) {
    SCOPED_TRACE(offset);
    SearchRequest request;
    request.offset = offset;
    request.limit = limit;
    const SearchPage page = Find("part", request);
    EXPECT_THAT(Titles(page), ElementsAreArray(titles));
    EXPECT_EQ(page.total, 7);
  }
}

TEST_P(CatalogueSearchContractTest, TextsOfAnyBytesAreFoundAndReturnedAsKept) {
  const std::string title("Caf\xC3\xA9 \xFF\0Noir\x01", 13);
  const std::string creator("Ed\xC3", 3);
  const std::string bar_code("N\0-1", 4);
  Add(ItemKind::cd, bar_code, title, creator);
  const SearchResult kept{ItemKind::cd, title, creator, bar_code, {}, false};
  for (const auto& [query, field] :
       {std::pair{"cafe noir", SearchField::title}, std::pair{"ed", SearchField::creator},
        std::pair{"n 1", SearchField::bar_code}}) {
    SCOPED_TRACE(query);
    EXPECT_THAT(Find(query, In(field)).results, ElementsAreArray({kept}));
  }
}

TEST_P(CatalogueSearchContractTest, AChangeAtTheDeskShowsAtTheNextFind) {
  const RecordKey stays = Add(ItemKind::book, "K1", "Kept Tale", "Teller");
  EXPECT_THAT(Titles(Find("tale")), ElementsAreArray({"Kept Tale"}));
  const RecordKey later = Add(ItemKind::video, "K2", "Later Tale", "Teller");
  EXPECT_THAT(Titles(Find("tale")), ElementsAreArray({"Kept Tale", "Later Tale"}));
  const StampRow due{2027, 3, 1, 9, 0};
  const Change loan = Keep(LoanMade{{0, stays, {}, {}, {}}, due, {}});
  EXPECT_EQ(Find("kept").results.at(0).due, due);
  Keep(LoanEnded{std::get<LoanMade>(loan).loan});
  EXPECT_EQ(Find("kept").results.at(0).due, std::nullopt);
  Keep(ItemRemoved{ItemKind::video, later});
  const SearchPage page = Find("teller later");
  EXPECT_THAT(page.results, IsEmpty());
  EXPECT_EQ(page.total, 0);
  EXPECT_THAT(Titles(Find("tale")), ElementsAreArray({"Kept Tale"}));
}

}  // namespace
