#ifndef SHELVORANQUIST_WEB_CATALOGUE_QUERY_H_
#define SHELVORANQUIST_WEB_CATALOGUE_QUERY_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/catalogue_search.h"
#include "storage/rows.h"

// A value a parameter of the search may take: its name in the address and the words the search
// form shows for it.
template <typename Value>
struct QueryChoice {
  std::string_view name;
  std::string_view label;
  Value value;
};

inline constexpr QueryChoice<SearchField> field_choices[] = {
    {"any", "Title, creator or bar code", SearchField::any},
    {"title", "Title", SearchField::title},
    {"creator", "Author, artist, editor or director", SearchField::creator},
    {"barcode", "Bar code", SearchField::bar_code},
};

inline constexpr QueryChoice<std::optional<ItemKind>> kind_choices[] = {
    {"any", "Any kind", std::nullopt},    {"book", "Books", ItemKind::book},
    {"cd", "CDs", ItemKind::cd},          {"journal", "Journals", ItemKind::journal},
    {"video", "Videos", ItemKind::video},
};

// A patron's search as the address of a results page gives it (/search?q=river+road&page=2),
// read and checked before anything touches the records: q, the words (at most 200 characters
// of valid UTF-8); field (any, title, creator, barcode); kind (any, book, cd, journal, video);
// available=1, only what is on the shelf; page, from 1. Other parameters are ignored; each of
// these may be given once.
class CatalogueQuery {
 public:
  // The name-value pairs of the address's query, decoded.
  using Parameters = std::multimap<std::string, std::string>;

  static constexpr std::int64_t page_size = 50;
  // Far more pages than any library fills, and few enough that no offset overflows.
  static constexpr std::int64_t most_pages = 1'000'000;
  static constexpr std::size_t most_characters = 200;

  explicit CatalogueQuery(const Parameters& parameters);

  // Why the parameters make no search, one sentence for the patron; empty when they make one.
  const std::string& Fault() const { return _fault; }

  // Whether the words hold anything to search for; not an empty query, nor one of punctuation
  // alone. Only without a fault.
  bool Has_words() const { return not _words.empty(); }

  // The search of page Page(). Only when Has_words().
  SearchRequest Request() const;

  // What the patron typed, as given; empty without q.
  const std::string& Text() const { return _text; }
  SearchField Field() const { return _field; }
  const std::optional<ItemKind>& Kind() const { return _kind; }
  bool Available_only() const { return _available_only; }
  std::int64_t Page() const { return _page; }

  // The address of page `page` of this search, its parameters URL-encoded.
  std::string Address(std::int64_t page) const;

 private:
  // Reads the parameters into the fields; returns the fault, empty when there is none.
  std::string Read(const Parameters& parameters);

  std::string _fault;
  std::string _text;
  std::vector<std::string> _words;
  SearchField _field = SearchField::any;
  std::optional<ItemKind> _kind;
  bool _available_only = false;
  std::int64_t _page = 1;
};

#endif  // SHELVORANQUIST_WEB_CATALOGUE_QUERY_H_
