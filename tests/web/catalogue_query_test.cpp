#include "web/catalogue_query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using Parameters = CatalogueQuery::Parameters;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Repeated(std::string_view text, int times) {
  std::string repeated;
  for (int n = 0; n < times; ++n) repeated += text;
  return repeated;
}

struct Refused {
  const char* what;
  Parameters parameters;
};

class RefusedQueryTest : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedQueryTest, IsAFaultForThePatron) {
  EXPECT_THAT(CatalogueQuery(GetParam().parameters).Fault(), ::testing::Not(IsEmpty()));
}

INSTANTIATE_TEST_SUITE_P(
    BadValues, RefusedQueryTest,
    ::testing::Values(
        Refused{"q_over_200_characters", {{"q", Repeated("\xC3\xA9", 201)}}},
        Refused{"q_cut_in_a_character", {{"q", "caf\xC3"}}},
        Refused{"q_overlong", {{"q", "\xC0\xAF"}}}, Refused{"q_surrogate", {{"q", "\xED\xA0\x80"}}},
        Refused{"q_twice", {{"q", "a"}, {"q", "b"}}},
        Refused{"field_unknown", {{"q", "a"}, {"field", "author"}}},
        Refused{"field_empty", {{"field", ""}}}, Refused{"kind_unknown", {{"kind", "dvd"}}},
        Refused{"kind_in_capitals", {{"kind", "BOOK"}}},
        Refused{"available_not_1", {{"available", "0"}}},
        Refused{"available_empty", {{"available", ""}}}, Refused{"page_0", {{"page", "0"}}},
        Refused{"page_negative", {{"page", "-1"}}}, Refused{"page_signed", {{"page", "+2"}}},
        Refused{"page_not_a_number", {{"page", "2x"}}}, Refused{"page_empty", {{"page", ""}}},
        Refused{"page_past_the_most", {{"page", "1000001"}}},
        Refused{"page_past_64_bits", {{"page", "99999999999999999999"}}},
        Refused{"page_twice", {{"page", "1"}, {"page", "2"}}}),
    [](const auto& test) { return std::string(test.param.what); });

TEST(CatalogueQueryTest, ReadsEveryParameterIntoTheSearchOfItsPage) {
  const CatalogueQuery query({{"q", "\xC3\x89mile  ZOLA, zola? em"},
                              {"field", "creator"},
                              {"kind", "cd"},
                              {"available", "1"},
                              {"page", "03"},
                              {"sort", "ignored"}});
  ASSERT_THAT(query.Fault(), IsEmpty());
  const SearchRequest request = query.Request();
  EXPECT_THAT(request.words, ElementsAre("emile", "zola", "em"));  // a repeat before the last goes
  EXPECT_EQ(request.field, SearchField::creator);
  EXPECT_EQ(request.kind, ItemKind::cd);
  EXPECT_TRUE(request.available_only);
  EXPECT_EQ(request.offset, 100);
  EXPECT_EQ(request.limit, 50);
}

TEST(CatalogueQueryTest, TakesTwoHundredCharactersAndTheLastPage) {
  const CatalogueQuery query({{"q", Repeated("\xC3\xA9", 200)}, {"page", "1000000"}});
  EXPECT_THAT(query.Fault(), IsEmpty());
  EXPECT_EQ(query.Request().offset, 49'999'950);
}

TEST(CatalogueQueryTest, PunctuationAloneOrNothingIsNoSearch) {
  for (const Parameters& parameters :
       {Parameters{}, Parameters{{"q", ""}}, Parameters{{"q", " -- ?! "}, {"kind", "book"}}}) {
    const CatalogueQuery query(parameters);
    EXPECT_THAT(query.Fault(), IsEmpty());
    EXPECT_FALSE(query.Has_words());
  }
}

TEST(CatalogueQueryTest, AddressKeepsTheSearchEncodedForAnotherPage) {
  const CatalogueQuery query(
      {{"q", "caf\xC3\xA9 & <b>+1"}, {"field", "title"}, {"kind", "any"}, {"available", "1"}});
  EXPECT_EQ(query.Address(2), "/search?q=caf%C3%A9+%26+%3Cb%3E%2B1&field=title&available=1&page=2");
  EXPECT_EQ(CatalogueQuery({{"q", "a"}, {"kind", "video"}, {"page", "3"}}).Address(1),
            "/search?q=a&kind=video");
}

}  // namespace
