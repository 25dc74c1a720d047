#include "web/catalogue_pages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>

#include "base/check.h"
#include "storage/storage_error.h"
#include "web/html_page.h"

namespace {

using Markup = HtmlPage::Markup;
using Headers = std::vector<std::pair<std::string, std::string>>;

// Small, and readable at any width from a phone's 360 pixels up: a long word of a title or a
// bar code breaks rather than widen the page.
constexpr std::string_view style_sheet =
    "html{font:100%/1.5 system-ui,sans-serif;color:#1b1b1b;background:#fff}\n"
    "body{margin:0 auto;max-width:50rem;padding:0 1rem}\n"
    "header{border-bottom:2px solid #1b1b1b}\n"
    "header p{margin:.75rem 0;font-weight:bold}\n"
    "footer{border-top:1px solid #767676;margin-top:2rem;font-size:.9rem}\n"
    "a{color:#0645ad}\n"
    "a:visited{color:#5a2ca0}\n"
    "h1{font-size:1.5rem;margin:1rem 0}\n"
    "h2{font-size:1.1rem;margin:0}\n"
    "h1,h2,p,dd{overflow-wrap:anywhere}\n"
    "form p{margin:.6rem 0}\n"
    "label{display:block;font-weight:bold}\n"
    "input[type=checkbox]+label{display:inline;font-weight:normal}\n"
    "input,select,button{font:inherit;max-width:100%}\n"
    "input[type=search]{box-sizing:border-box;width:100%}\n"
    ".results{padding-left:3rem}\n"
    ".results li{margin:1rem 0}\n"
    "dl{display:grid;grid-template-columns:max-content minmax(0,1fr);gap:0 .75rem;margin:.25rem "
    "0}\n"
    "dt{color:#555}\n"
    "dd{margin:0}\n"
    "nav p{display:flex;flex-wrap:wrap;gap:1rem}\n";

// What every response says of itself: no script, no frame, no guessing at its type, no address
// passed on from a link. The policy allows the one stylesheet and a form that stays here.
Headers Strict_headers(std::string_view cache_control) {
  return {{"Content-Security-Policy",
           "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; "
           "frame-ancestors 'none'; base-uri 'none'"},
          {"X-Content-Type-Options", "nosniff"},
          {"X-Frame-Options", "DENY"},
          {"Referrer-Policy", "no-referrer"},
          {"Cache-Control", std::string(cache_control)}};
}

// A page reflects the records as they stand, and a search may be private: none is kept.
WebResponse Html_response(int status, const HtmlPage& page) {
  return WebResponse{.status = status,
                     .content_type = "text/html; charset=utf-8",
                     .headers = Strict_headers("no-store"),
                     .body = page.Written()};
}

// The words the pages use for an item of each kind, in the order of ItemKind.
struct KindTexts {
  ItemKind kind;
  std::string_view name;
  std::string_view creator;
};
constexpr KindTexts kind_texts[] = {
    {ItemKind::book, "Book", "Author"},
    {ItemKind::cd, "CD", "Artist"},
    {ItemKind::journal, "Journal", "Editor"},
    {ItemKind::video, "Video", "Director"},
};

const KindTexts& Texts_of(ItemKind kind) {
  const auto at = static_cast<std::size_t>(kind);
  SHELVORANQUIST_CHECK(at < std::size(kind_texts) and kind_texts[at].kind == kind,
                       "every kind of item has its words");
  return kind_texts[at];
}

// The desk's date: day and month without leading zeros ("7/3/2026").
std::string Date_text(const StampRow& stamp) {
  return std::to_string(stamp.day) + '/' + std::to_string(stamp.month) + '/' +
         std::to_string(stamp.year);
}

std::string Status_words(const SearchResult& result) {
  if (result.kind == ItemKind::journal) return "For use in the library";
  if (result.due) {
    return "On loan, due back " + Date_text(*result.due) + (result.held ? "; on hold" : "");
  }
  return result.held ? "On hold" : "On the shelf";
}

// "1 result", "2 results".
std::string Counted_results(std::int64_t count) {
  return std::to_string(count) + (count == 1 ? " result" : " results");
}

void Begin(HtmlPage& page, std::string_view title) {
  page.Html(
          "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>")
      .Text(title)
      .Html(
          " \xE2\x80\x93 Library catalogue</title>\n"
          "<link rel=\"stylesheet\" href=\"/style.css\">\n</head>\n<body>\n"
          "<header><p><a href=\"/\">Library catalogue</a></p></header>\n<main>\n");
}

void End(HtmlPage& page) {
  page.Html(
      "</main>\n<footer><p>This catalogue shows the library\xE2\x80\x99s books, CDs, journals "
      "and videos, and whether each is on the shelf. To borrow an item or to hold it, ask at "
      "the desk.</p></footer>\n</body>\n</html>\n");
}

template <typename Value, std::size_t count>
void Options(HtmlPage& page, const QueryChoice<Value> (&choices)[count], const Value& chosen) {
  for (const QueryChoice<Value>& choice : choices) {
    page.Html("<option value=\"")
        .Text(choice.name)
        .Html(choice.value == chosen ? Markup("\" selected>") : Markup("\">"))
        .Text(choice.label)
        .Html("</option>");
  }
}

// The search form, showing `query` as it was asked (none: the form as it starts).
void Search_form(HtmlPage& page, const CatalogueQuery* query) {
  page.Html(
          "<form action=\"/search\" method=\"get\" role=\"search\">\n"
          "<p><label for=\"q\">Words to search for</label>\n"
          "<input type=\"search\" id=\"q\" name=\"q\" maxlength=\"200\" value=\"")
      .Text(query != nullptr ? query->Text() : "")
      .Html(
          "\"></p>\n<p><label for=\"field\">Search in</label>\n"
          "<select id=\"field\" name=\"field\">");
  Options(page, field_choices, query != nullptr ? query->Field() : SearchField::any);
  page.Html(
      "</select></p>\n<p><label for=\"kind\">Kind of item</label>\n"
      "<select id=\"kind\" name=\"kind\">");
  Options(page, kind_choices, query != nullptr ? query->Kind() : std::nullopt);
  page.Html(
          "</select></p>\n"
          "<p><input type=\"checkbox\" id=\"available\" name=\"available\" value=\"1\"")
      .Html(query != nullptr and query->Available_only() ? Markup(" checked>") : Markup(">"))
      .Html(
          " <label for=\"available\">Only what is on the shelf</label></p>\n"
          "<p><button type=\"submit\">Search</button></p>\n</form>\n");
}

WebResponse Search_page(const CatalogueQuery* query, bool ask_for_words) {
  HtmlPage page;
  Begin(page, "Search the catalogue");
  page.Html("<h1>Search the catalogue</h1>\n");
  if (ask_for_words) {
    page.Html(
        "<p>Please type one or more words to search for: a word of a title, of a name or of a "
        "bar code.</p>\n");
  }
  Search_form(page, query);
  End(page);
  return Html_response(200, page);
}

void Result_item(HtmlPage& page, const SearchResult& result) {
  const KindTexts& texts = Texts_of(result.kind);
  page.Html("<li><h2>")
      .Text(result.title.empty() ? "(no title)" : result.title)
      .Html("</h2><dl><dt>Kind</dt><dd>")
      .Text(texts.name)
      .Html("</dd><dt>")
      .Text(texts.creator)
      .Html("</dt><dd>")
      .Text(result.creator)
      .Html("</dd><dt>Bar code</dt><dd>")
      .Text(result.bar_code)
      .Html("</dd><dt>Status</dt><dd>")
      .Text(Status_words(result))
      .Html("</dd></dl></li>\n");
}

// Opens a link to page `to_page` of the results of `query`; the caller ends the tag.
void Link(HtmlPage& page, const CatalogueQuery& query, std::int64_t to_page) {
  page.Html("<a href=\"").Text(query.Address(to_page)).Html("\"");
}

WebResponse Results_page(const CatalogueQuery& query, const SearchPage& found) {
  constexpr std::int64_t page_size = CatalogueQuery::page_size;
  const std::int64_t offset = (query.Page() - 1) * page_size;
  const std::int64_t last_page = (found.total + page_size - 1) / page_size;
  HtmlPage page;
  Begin(page, "Results for \xE2\x80\x9C" + query.Text() + "\xE2\x80\x9D");
  page.Html("<h1>Search results</h1>\n");
  Search_form(page, &query);
  page.Html("<p>").Text(Counted_results(found.total));
  if (last_page > 1 and query.Page() <= last_page) {
    page.Text(", page " + std::to_string(query.Page()) + " of " + std::to_string(last_page));
  }
  page.Html("</p>\n");
  if (found.total == 0) {
    page.Html(
        "<p>Nothing in the catalogue matches these words. Try fewer words, or search in every "
        "field and every kind.</p>\n");
  } else if (found.results.empty()) {
    page.Html("<p>There are no results on this page. ");
    Link(page, query, last_page);
    page.Html(">Back to page ").Text(std::to_string(last_page)).Html("</a>, the last.</p>\n");
  } else {
    page.Html("<ol class=\"results\" start=\"").Text(std::to_string(offset + 1)).Html("\">\n");
    for (const SearchResult& result : found.results) Result_item(page, result);
    page.Html("</ol>\n");
    const bool previous = query.Page() > 1;
    const bool next = offset + page_size < found.total;
    if (previous or next) {
      page.Html("<nav aria-label=\"Pages of results\"><p>");
      if (previous) {
        Link(page, query, query.Page() - 1);
        page.Html(" rel=\"prev\">Previous page</a>");
      }
      if (next) {
        Link(page, query, query.Page() + 1);
        page.Html(" rel=\"next\">Next page</a>");
      }
      page.Html("</p></nav>\n");
    }
  }
  End(page);
  return Html_response(200, page);
}

WebResponse Message_page(int status, std::string_view heading, std::string_view text) {
  HtmlPage page;
  Begin(page, heading);
  page.Html("<h1>")
      .Text(heading)
      .Html("</h1>\n<p>")
      .Text(text)
      .Html("</p>\n<p><a href=\"/\">Search the catalogue</a></p>\n");
  End(page);
  return Html_response(status, page);
}

struct RefusalTexts {
  int status;
  std::string_view heading;
  std::string_view text;
};
constexpr RefusalTexts refusal_texts[] = {
    {400, "Request not understood", "This request could not be read."},
    {404, "Page not found", "There is no page at this address."},
    {405, "Method not allowed",
     "This catalogue only shows its pages: it answers GET and HEAD requests alone."},
    {414, "Address too long",
     "The address of this request is too long to read. A search takes at most 200 "
     "characters."},
    {500, "Something went wrong", "The catalogue could not answer this request."},
    {503, "Catalogue unavailable",
     "The library\xE2\x80\x99s records cannot be read just now. Please try again in a few "
     "minutes."},
};

}  // namespace

CataloguePages::CataloguePages(CatalogueSearch& search, FailureReport report_failure)
    : _search(search), _report_failure(std::move(report_failure)) {}

WebResponse CataloguePages::Respond(std::string_view method, std::string_view path,
                                    const CatalogueQuery::Parameters& parameters) const {
  if (method != "GET" and method != "HEAD") {
    WebResponse response = Refusal(405);
    response.headers.emplace_back("Allow", "GET, HEAD");
    return response;
  }
  if (path == "/") return Search_page(nullptr, false);
  if (path == "/search") return Search(parameters);
  if (path == "/style.css") {
    return WebResponse{.status = 200,
                       .content_type = "text/css; charset=utf-8",
                       .headers = Strict_headers("max-age=86400"),
                       .body = std::string(style_sheet)};
  }
  return Refusal(404);
}

WebResponse CataloguePages::Refusal(int status) {
  const auto* texts =
      std::find_if(std::begin(refusal_texts), std::end(refusal_texts),
                   [status](const RefusalTexts& known) { return known.status == status; });
  if (texts == std::end(refusal_texts)) {
    return Message_page(status, "Request refused", "This request cannot be answered.");
  }
  return Message_page(status, texts->heading, texts->text);
}

WebResponse CataloguePages::Search(const CatalogueQuery::Parameters& parameters) const {
  const CatalogueQuery query(parameters);
  if (not query.Fault().empty()) {
    return Message_page(400, "Search not understood", query.Fault());
  }
  if (not query.Has_words()) return Search_page(&query, true);
  SearchPage found;
  try {
    found = _search.Find(query.Request());
  } catch (const StorageError& error) {
    _report_failure(error.what());
    return Refusal(503);
  }
  return Results_page(query, found);
}
