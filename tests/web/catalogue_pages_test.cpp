#include "web/catalogue_pages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_catalogue_search.h"

namespace {

using Parameters = CatalogueQuery::Parameters;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pair;
using ::testing::StartsWith;

SearchResult Item(ItemKind kind, std::string title, std::optional<StampRow> due = {},
                  bool held = false) {
  return SearchResult{.kind = kind,
                      .title = std::move(title),
                      .creator = "Ann Lee",
                      .bar_code = "B1",
                      .due = due,
                      .held = held};
}

class CataloguePagesTest : public ::testing::Test {
 protected:
  WebResponse Get(std::string_view path, const Parameters& parameters = {},
                  std::string_view method = "GET") {
    return _pages.Respond(method, path, parameters);
  }

  // The results page of a search for "river" that finds `results` of `total`.
  std::string Found(std::vector<SearchResult> results, std::int64_t total, int page = 1) {
    _search.found = {.total = total, .results = std::move(results)};
    const WebResponse response = Get("/search", {{"q", "river"}, {"page", std::to_string(page)}});
    EXPECT_EQ(response.status, 200);
    return response.body;
  }

  FakeCatalogueSearch _search;
  std::vector<std::string> _reported;
  CataloguePages _pages{_search,
                        [this](std::string_view reason) { _reported.emplace_back(reason); }};
};

struct Shown {
  SearchResult result;
  std::string kind;
  std::string creator;
  std::string status;
};

class ItemStatusTest : public CataloguePagesTest, public ::testing::WithParamInterface<Shown> {};

TEST_P(ItemStatusTest, ShowsKindCreatorAndStatusInWords) {
  const std::string page = Found({GetParam().result}, 1);
  EXPECT_THAT(page, HasSubstr("<dt>Kind</dt><dd>" + GetParam().kind + "</dd><dt>" +
                              GetParam().creator + "</dt><dd>Ann Lee</dd>"));
  EXPECT_THAT(page, HasSubstr("<dt>Status</dt><dd>" + GetParam().status + "</dd>"));
}

INSTANTIATE_TEST_SUITE_P(
    Items, ItemStatusTest,
    ::testing::Values(
        Shown{Item(ItemKind::book, "T"), "Book", "Author", "On the shelf"},
        Shown{Item(ItemKind::cd, "T", StampRow{2026, 3, 7, 23, 59}), "CD", "Artist",
              "On loan, due back 7/3/2026"},
        Shown{Item(ItemKind::video, "T", std::nullopt, true), "Video", "Director", "On hold"},
        Shown{Item(ItemKind::book, "T", StampRow{2027, 12, 31, 0, 0}, true), "Book", "Author",
              "On loan, due back 31/12/2027; on hold"},
        Shown{Item(ItemKind::journal, "T"), "Journal", "Editor", "For use in the library"}));

TEST_F(CataloguePagesTest, RecordsAndQueryShowAsTextNeverAsMarkup) {
  _search.found = {.total = 1,
                   .results = {{.kind = ItemKind::book,
                                .title = "<script>alert(1)</script>",
                                .creator = "\"Bob\" & 'Al'",
                                .bar_code = "<b>B1</b>"}}};
  const std::string page = Get("/search", {{"q", "\"><i>x"}}).body;
  EXPECT_THAT(page, AllOf(HasSubstr("<h2>&lt;script&gt;alert(1)&lt;/script&gt;</h2>"),
                          HasSubstr("<dd>&quot;Bob&quot; &amp; &#39;Al&#39;</dd>"),
                          HasSubstr("<dd>&lt;b&gt;B1&lt;/b&gt;</dd>"),
                          HasSubstr("value=\"&quot;&gt;&lt;i&gt;x\">")));
  for (const char* raw : {"<script", "\"Bob\"", "'Al'", "<b>", "<i>"}) {
    EXPECT_THAT(page, Not(HasSubstr(raw)));
  }
}

struct Paging {
  int page;
  std::int64_t total;
  std::size_t shown;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

class PagingTest : public CataloguePagesTest, public ::testing::WithParamInterface<Paging> {};

TEST_P(PagingTest, CountsResultsAndLinksPagesKeepingTheQuery) {
  const std::string page =
      Found(std::vector<SearchResult>(GetParam().shown, Item(ItemKind::book, "T")),
            GetParam().total, GetParam().page);
  for (const std::string& text : GetParam().present) EXPECT_THAT(page, HasSubstr(text));
  for (const std::string& text : GetParam().absent) EXPECT_THAT(page, Not(HasSubstr(text)));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PagingTest,
    ::testing::Values(
        Paging{1, 0, 0, {"<p>0 results</p>", "Nothing in the catalogue matches"}, {"<ol", "<nav"}},
        Paging{1, 1, 1, {"<p>1 result</p>", "<ol class=\"results\" start=\"1\">"}, {"<nav"}},
        Paging{2,
               120,
               50,
               {"<p>120 results, page 2 of 3</p>", "<ol class=\"results\" start=\"51\">",
                "<a href=\"/search?q=river\" rel=\"prev\">",
                "<a href=\"/search?q=river&amp;page=3\" rel=\"next\">"},
               {}},
        Paging{
            3, 120, 20, {"<a href=\"/search?q=river&amp;page=2\" rel=\"prev\">"}, {"rel=\"next\""}},
        Paging{9,
               120,
               0,
               {"<p>120 results</p>", "<a href=\"/search?q=river&amp;page=3\">Back to page 3</a>"},
               {"<ol", "<nav"}}));

TEST_F(CataloguePagesTest, ResultsPageKeepsTheQueryInTheForm) {
  _search.found = {.total = 1, .results = {Item(ItemKind::cd, "T")}};
  const std::string page =
      Get("/search", {{"q", "river road"}, {"kind", "cd"}, {"available", "1"}}).body;
  EXPECT_THAT(
      page, AllOf(HasSubstr("name=\"q\" maxlength=\"200\" value=\"river road\">"),
                  HasSubstr("<option value=\"cd\" selected>"),
                  HasSubstr("<option value=\"any\" selected>"), HasSubstr("value=\"1\" checked>")));
}

TEST_F(CataloguePagesTest, EmptyQueryAsksForWordsWithoutReadingTheRecords) {
  for (const Parameters& parameters : {Parameters{}, Parameters{{"q", " ?! "}}}) {
    const WebResponse response = Get("/search", parameters);
    EXPECT_EQ(response.status, 200);
    EXPECT_THAT(response.body, HasSubstr("Please type one or more words"));
  }
  EXPECT_THAT(_search.requests, IsEmpty());
}

struct Answer {
  const char* method;
  const char* path;
  Parameters parameters;
  int status;
  const char* content_type;
};

class ResponseTest : public CataloguePagesTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(ResponseTest, EveryResponseForbidsScriptsAndNamesItsCharset) {
  _search.found = {.total = 1, .results = {Item(ItemKind::book, "T")}};
  const WebResponse response = Get(GetParam().path, GetParam().parameters, GetParam().method);
  EXPECT_EQ(response.status, GetParam().status);
  EXPECT_EQ(response.content_type, std::string(GetParam().content_type) + "; charset=utf-8");
  EXPECT_THAT(response.headers,
              AllOf(Contains(Pair("Content-Security-Policy",
                                  "default-src 'none'; style-src 'self'; img-src 'self'; "
                                  "form-action 'self'; frame-ancestors 'none'; base-uri 'none'")),
                    Contains(Pair("X-Content-Type-Options", "nosniff")),
                    Contains(Pair("Cache-Control", ::testing::_))));
  if (response.status == 405) {
    EXPECT_THAT(response.headers, Contains(Pair("Allow", "GET, HEAD")));
  }
  if (response.status >= 400) {
    EXPECT_THAT(_search.requests, IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ResponseTest,
    ::testing::Values(Answer{"GET", "/", {}, 200, "text/html"},
                      Answer{"HEAD", "/search", {{"q", "river"}}, 200, "text/html"},
                      Answer{"GET", "/style.css", {}, 200, "text/css"},
                      Answer{"GET", "/index.html", {{"q", "river"}}, 404, "text/html"},
                      Answer{"GET", "/search/", {{"q", "river"}}, 404, "text/html"},
                      Answer{"POST", "/search", {{"q", "river"}}, 405, "text/html"},
                      Answer{"DELETE", "/", {}, 405, "text/html"},
                      Answer{"GET", "/search", {{"q", "river"}, {"kind", "dvd"}}, 400, "text/html"},
                      Answer{"GET", "/search", {{"q", std::string(201, 'a')}}, 400, "text/html"},
                      Answer{"GET", "/search", {{"q", "\xFF"}}, 400, "text/html"}));

TEST_F(CataloguePagesTest, RecordsThatCannotBeReadGiveUnavailableAndAReport) {
  _search.failure = StorageError(StorageError::Kind::io, "disk I/O error");
  const WebResponse response = Get("/search", {{"q", "river"}});
  EXPECT_EQ(response.status, 503);
  EXPECT_THAT(response.body, HasSubstr("cannot be read just now"));
  EXPECT_THAT(_reported, ElementsAre("disk I/O error"));
}

TEST_F(CataloguePagesTest, RefusalOfTheServerIsAPageOfItsOwn) {
  const WebResponse response = CataloguePages::Refusal(414);
  EXPECT_EQ(response.status, 414);
  EXPECT_THAT(response.body, AllOf(StartsWith("<!DOCTYPE html>"), HasSubstr("Address too long")));
  EXPECT_THAT(response.headers, Contains(Pair("X-Content-Type-Options", "nosniff")));
}

}  // namespace
