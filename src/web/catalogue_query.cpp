#include "web/catalogue_query.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <system_error>

#include "search/folded_words.h"
#include "web/shown_text.h"

namespace {

constexpr std::string_view known_parameters[] = {"q", "field", "kind", "available", "page"};

// The value of parameter `name`; none when it is not given.
const std::string* Value_of(const CatalogueQuery::Parameters& parameters, const std::string& name) {
  const auto found = parameters.find(name);
  return found == parameters.end() ? nullptr : &found->second;
}

// Finds the choice named `name` in `choices`, into `value`; false when there is none.
template <typename Value, std::size_t count>
bool Choose(const QueryChoice<Value> (&choices)[count], const std::string& name, Value& value) {
  const auto* chosen = std::find_if(std::begin(choices), std::end(choices),
                                    [&name](const auto& choice) { return choice.name == name; });
  if (chosen == std::end(choices)) return false;
  value = chosen->value;
  return true;
}

template <typename Value, std::size_t count>
std::string_view Name_of(const QueryChoice<Value> (&choices)[count], const Value& value) {
  const auto* chosen = std::find_if(std::begin(choices), std::end(choices),
                                    [&value](const auto& choice) { return choice.value == value; });
  return chosen == std::end(choices) ? std::string_view() : chosen->name;
}

// `text` as a query parameter's value: the unreserved characters as they are, a space as "+",
// every other byte as %XX.
std::string Url_encoded(std::string_view text) {
  constexpr char hex_digits[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char character : text) {
    const auto byte = static_cast<unsigned char>(character);
    if (('A' <= byte and byte <= 'Z') or ('a' <= byte and byte <= 'z') or
        ('0' <= byte and byte <= '9') or byte == '-' or byte == '.' or byte == '_' or byte == '~') {
      encoded += character;
    } else if (byte == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += hex_digits[byte >> 4U];
      encoded += hex_digits[byte & 0xFU];
    }
  }
  return encoded;
}

}  // namespace

// Read fills the other fields, which must be built first.
CatalogueQuery::CatalogueQuery(const Parameters& parameters) { _fault = Read(parameters); }

std::string CatalogueQuery::Read(const Parameters& parameters) {
  for (const std::string_view name : known_parameters) {
    if (parameters.count(std::string(name)) > 1) {
      return "The parameter \xE2\x80\x9C" + std::string(name) +
             "\xE2\x80\x9D is given more than once.";
    }
  }
  if (const std::string* text = Value_of(parameters, "q")) {
    const ShownText shown(*text);
    if (not shown.Valid_utf8()) return "The words to search for are not valid UTF-8 text.";
    if (shown.Characters() > most_characters) {
      return "The words to search for are longer than 200 characters.";
    }
    _text = *text;
  }
  if (const std::string* field = Value_of(parameters, "field");
      field != nullptr and not Choose(field_choices, *field, _field)) {
    return "The field to search in must be any, title, creator or barcode.";
  }
  if (const std::string* kind = Value_of(parameters, "kind");
      kind != nullptr and not Choose(kind_choices, *kind, _kind)) {
    return "The kind of item must be any, book, cd, journal or video.";
  }
  if (const std::string* available = Value_of(parameters, "available")) {
    if (*available != "1") return "Only items on the shelf are asked for with available=1.";
    _available_only = true;
  }
  if (const std::string* page = Value_of(parameters, "page")) {
    const char* const end = page->data() + page->size();
    const auto [stop, error] = std::from_chars(page->data(), end, _page);
    if (error != std::errc() or stop != end or _page < 1 or _page > most_pages) {
      return "The page must be a whole number from 1 to 1000000.";
    }
  }
  // A word repeated before the last asks nothing more of an item than it did the first time.
  const FoldedWords folded(_text);
  const std::vector<std::string>& words = folded.Words();
  for (std::size_t at = 0; at < words.size(); ++at) {
    const bool last = at + 1 == words.size();
    if (last or std::find(_words.begin(), _words.end(), words[at]) == _words.end()) {
      _words.push_back(words[at]);
    }
  }
  return {};
}

SearchRequest CatalogueQuery::Request() const {
  return SearchRequest{.words = _words,
                       .field = _field,
                       .kind = _kind,
                       .available_only = _available_only,
                       .offset = (_page - 1) * page_size,
                       .limit = page_size};
}

std::string CatalogueQuery::Address(std::int64_t page) const {
  std::string address = "/search?q=" + Url_encoded(_text);
  if (_field != SearchField::any)
    address += "&field=" + std::string(Name_of(field_choices, _field));
  if (_kind) address += "&kind=" + std::string(Name_of(kind_choices, _kind));
  if (_available_only) address += "&available=1";
  if (page != 1) address += "&page=" + std::to_string(page);
  return address;
}
