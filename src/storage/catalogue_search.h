#ifndef SHELVORANQUIST_STORAGE_CATALOGUE_SEARCH_H_
#define SHELVORANQUIST_STORAGE_CATALOGUE_SEARCH_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/rows.h"
#include "storage/storage_error.h"

// The fields of an item a search may look in.
enum class SearchField {
  any,  // title, creator and bar code
  title,
  creator,  // author, artist, editor or director
  bar_code,
};

// What a patron asked the public catalogue for.
struct SearchRequest {
  // The folded words of the query (search/folded_words.h), at least one. Each must equal a word
  // of the field; the last may also be the beginning of one. Order does not matter.
  std::vector<std::string> words;
  SearchField field = SearchField::any;
  std::optional<ItemKind> kind{};  // none: every kind
  bool available_only = false;     // on the shelf: neither lent nor held (journals always are)
  std::int64_t offset = 0;         // results to pass over, in the order of the results
  std::int64_t limit = 50;         // at most this many results
};

// An item found, with nothing of any member.
struct SearchResult {
  ItemKind kind = ItemKind::book;
  std::string title{};    // as kept: any bytes
  std::string creator{};  // author, artist, editor or director, as kept
  std::string bar_code{};
  std::optional<StampRow> due{};  // when lent: when it is due back
  bool held = false;

  friend bool operator==(const SearchResult&, const SearchResult&) = default;
};

// One page of results: all that match, counted, and those of the page, sorted by folded title,
// then bar code (bytewise), then kind (book, CD, journal, video).
struct SearchPage {
  std::int64_t total = 0;
  std::vector<SearchResult> results{};

  friend bool operator==(const SearchPage&, const SearchPage&) = default;
};

// The records as the public catalogue reads them: read only, through the index of folded words
// the desk keeps with every change, never touching a member's record. Each call sees every
// change a desk committed before it.
class CatalogueSearch {
 public:
  CatalogueSearch() = default;
  CatalogueSearch(const CatalogueSearch&) = delete;
  CatalogueSearch& operator=(const CatalogueSearch&) = delete;
  virtual ~CatalogueSearch() = default;

  // Throws StorageError when the records cannot be read.
  virtual SearchPage Find(const SearchRequest& request) = 0;
};

#endif  // SHELVORANQUIST_STORAGE_CATALOGUE_SEARCH_H_
