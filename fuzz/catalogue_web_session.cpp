#include "catalogue_web_session.h"

#include <httplib.h>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "support/fake_catalogue_search.h"
#include "web/catalogue_pages.h"
#include "web/shown_text.h"

namespace {

// `text` cut at the first `separator`: what comes before it and what after; all and nothing
// when there is none.
std::pair<std::string_view, std::string_view> Cut(std::string_view text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at), text.substr(at + 1)};
}

SearchPage Records_of(std::string_view texts) {
  std::vector<std::string_view> lines;
  while (not texts.empty()) {
    const auto [line, rest] = Cut(texts, '\n');
    lines.push_back(line);
    texts = rest;
  }
  SearchPage found;
  for (std::size_t at = 0; at + 2 < lines.size() and found.results.size() < 50; at += 3) {
    SearchResult result{.kind = static_cast<ItemKind>(lines[at].size() % 4),
                        .title = std::string(lines[at]),
                        .creator = std::string(lines[at + 1]),
                        .bar_code = std::string(lines[at + 2]),
                        .held = lines[at + 2].size() % 2 == 1};
    if (lines[at + 1].size() % 2 == 1) {
      const auto size = static_cast<std::int64_t>(lines[at + 1].size());
      result.due = StampRow{2026 + size, 1 + size % 12, 1 + size % 28, size % 24, size % 60};
    }
    found.results.push_back(std::move(result));
  }
  found.total = static_cast<std::int64_t>(found.results.size() + lines.size() % 3 * 60);
  return found;
}

template <std::size_t count>
bool Is_one_of(const std::string_view (&known)[count], std::string_view name) {
  return std::find(std::begin(known), std::end(known), name) != std::end(known);
}

// What in `tag` (the text between "<" and ">") the pages never write; empty when nothing.
std::string Tag_fault(std::string_view tag) {
  constexpr std::string_view names[] = {
      "!DOCTYPE", "html",   "head", "meta", "title", "link", "body",  "header", "main",
      "footer",   "p",      "a",    "h1",   "h2",    "form", "label", "input",  "select",
      "option",   "button", "ol",   "li",   "dl",    "dt",   "dd",    "nav"};
  constexpr std::string_view attributes[] = {
      "html",   "lang",     "charset", "name",  "content", "rel",       "href",
      "action", "method",   "role",    "for",   "type",    "id",        "maxlength",
      "value",  "selected", "checked", "class", "start",   "aria-label"};
  if (tag.starts_with('/')) tag.remove_prefix(1);
  const auto [name, rest] = Cut(tag, ' ');
  if (not Is_one_of(names, name)) return "a tag <" + std::string(name) + ">";
  std::string_view left = rest;
  while (not left.empty()) {
    const std::size_t end = left.find_first_of(" =");
    const std::string_view attribute = left.substr(0, end);
    if (not Is_one_of(attributes, attribute)) {
      return "an attribute " + std::string(attribute) + " in <" + std::string(name) + ">";
    }
    left = end == std::string_view::npos ? std::string_view() : left.substr(end);
    if (left.starts_with('=')) {
      if (not left.starts_with("=\"")) return "an unquoted value in <" + std::string(name) + ">";
      const std::size_t close = left.find('"', 2);
      if (close == std::string_view::npos) return "an open value in <" + std::string(name) + ">";
      left = left.substr(close + 1);
    }
    if (left.starts_with(' ')) left.remove_prefix(1);
  }
  return {};
}

std::string Markup_fault(std::string_view html) {
  constexpr std::string_view entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"};
  for (std::size_t at = 0; at < html.size(); ++at) {
    const std::string_view from = html.substr(at);
    if (from.front() == '&') {
      if (std::none_of(std::begin(entities), std::end(entities),
                       [from](std::string_view entity) { return from.starts_with(entity); })) {
        return "a bare & at byte " + std::to_string(at);
      }
    } else if (from.front() == '<') {
      const std::size_t end = from.find('>');
      if (end == std::string_view::npos) return "a tag left open at byte " + std::to_string(at);
      if (std::string fault = Tag_fault(from.substr(1, end - 1)); not fault.empty()) return fault;
      at += end;
    } else if (from.front() == '>' or from.front() == '"' or from.front() == '\'') {
      return std::string("a ") + from.front() + " outside a tag at byte " + std::to_string(at);
    }
  }
  return {};
}

// Whether `text` holds a C0 control character other than a line end, DEL, or C2 80 to C2 9F,
// the UTF-8 of a C1 control character.
bool Has_control_character(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const bool c1 =
        byte == 0xC2 and at + 1 < text.size() and static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if ((byte < 0x20 and byte != '\n') or byte == 0x7F or c1) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> Run_catalogue_web_session(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto [method, after_method] = Cut(input, '\n');
  const auto [target, texts] = Cut(after_method, '\n');
  const auto [path, query] = Cut(target, '?');
  httplib::Params parameters;
  httplib::detail::parse_query_text(std::string(query), parameters);
  FakeCatalogueSearch search;
  search.found = Records_of(texts);
  if (texts.starts_with('!')) search.failure = StorageError(StorageError::Kind::io, "I/O error");
  std::vector<std::string> reports;
  const CataloguePages pages(search,
                             [&reports](std::string_view reason) { reports.emplace_back(reason); });
  const WebResponse response =
      pages.Respond(method, httplib::detail::decode_url(std::string(path), false), parameters);

  std::vector<std::string> faults;
  const auto fault = [&faults](bool wrong, const std::string& what) {
    if (wrong) faults.push_back(what);
  };
  const int status = response.status;
  fault(status != 200 and status != 400 and status != 404 and status != 405 and status != 503,
        "status " + std::to_string(status));
  fault(status >= 400 and status != 503 and not search.requests.empty(),
        "the records read for a request refused with " + std::to_string(status));
  fault(status == 503 and reports.size() != 1, "a failure to read not reported once");
  fault(status != 503 and not reports.empty(),
        "a failure reported for status " + std::to_string(status));
  const auto has = [&response](std::string_view name, std::string_view value) {
    return std::find(response.headers.begin(), response.headers.end(),
                     std::pair<std::string, std::string>(name, value)) != response.headers.end();
  };
  fault(not has("Content-Security-Policy",
                "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; "
                "frame-ancestors 'none'; base-uri 'none'"),
        "no strict Content-Security-Policy");
  fault(not has("X-Content-Type-Options", "nosniff"), "no X-Content-Type-Options: nosniff");
  fault(not response.content_type.ends_with("; charset=utf-8"), "no charset");
  fault(not ShownText(response.body).Valid_utf8(), "a body that is not valid UTF-8");
  fault(Has_control_character(response.body), "a control character in the body");
  if (response.content_type.starts_with("text/html")) {
    const std::string markup = Markup_fault(response.body);
    fault(not markup.empty(), "markup not the pages' own: " + markup);
  }
  return faults;
}
