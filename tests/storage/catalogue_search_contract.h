#ifndef SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
#define SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "search/folded_words.h"
#include "storage/catalogue_search.h"
#include "storage/storage.h"
#include "support/scratch_folder.h"

// What the public catalogue's reader of every engine promises, written once against
// CatalogueSearch (catalogue_search_contract_test.cpp) on records a desk keeps through its
// Storage; an engine joins by instantiating the suite with its two factories:
//
//   INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest,
//                            testing::Values(CatalogueEngine{...}));

struct CatalogueEngine {
  const char* name;
  // Opens a desk's records at `place`, a path in a scratch folder of the test's own.
  std::function<std::unique_ptr<Storage>(const std::string& place)> open_desk;
  // Opens the catalogue's reader of the records at `place`, where a desk has them open, loaded.
  std::function<std::unique_ptr<CatalogueSearch>(const std::string& place)> open_catalogue;
};

inline void PrintTo(const CatalogueEngine& engine, std::ostream* out) { *out << engine.name; }

class CatalogueSearchContractTest : public testing::TestWithParam<CatalogueEngine> {
 protected:
  CatalogueSearchContractTest() : _desk(GetParam().open_desk(Place())) {
    _desk->Load([](const StoredRecords&) {});
  }

  // Keeps `change` at the desk; returns it with the key of the record it added.
  Change Keep(Change change) {
    _desk->Keep(change);
    return change;
  }

  // Keeps a new item at the desk; returns its key.
  RecordKey Add(ItemKind kind, std::string bar_code, std::string title, std::string creator) {
    ItemRow item{.bar_code = bar_code, .title = title, .creator = creator};
    if (kind != ItemKind::journal) item = {0, bar_code, title, creator, "", 14, {2026, 1, 1, 0, 0}};
    return std::get<ItemAdded>(Keep(ItemAdded{kind, item})).item.key;
  }

  static SearchRequest Request(SearchField field, std::optional<ItemKind> kind = {},
                               bool available_only = false) {
    SearchRequest request;
    request.field = field;
    request.kind = kind;
    request.available_only = available_only;
    return request;
  }

  // What the catalogue, opened at the first search, finds for `query` as a patron typed it,
  // folded as the catalogue folds it; the rest of the request from `request`.
  SearchPage Find(std::string_view query, SearchRequest request = Request(SearchField::any)) {
    if (not _catalogue) _catalogue = GetParam().open_catalogue(Place());
    request.words = FoldedWords(query).Words();
    return _catalogue->Find(request);
  }

  // Each result of `page` in words: "kind title / creator / bar code", then "due Y-M-D h:m"
  // while lent and "held" while held.
  static std::vector<std::string> Shown(const SearchPage& page) {
    std::vector<std::string> shown;
    for (const SearchResult& result : page.results) {
      static constexpr const char* kinds[] = {"book", "cd", "journal", "video"};
      std::string line = std::string(kinds[static_cast<int>(result.kind)]) + ' ' + result.title +
                         " / " + result.creator + " / " + result.bar_code;
      if (const std::optional<StampRow>& due = result.due) {
        line += " due " + std::to_string(due->year) + '-' + std::to_string(due->month) + '-' +
                std::to_string(due->day) + ' ' + std::to_string(due->hour) + ':' +
                std::to_string(due->minute);
      }
      shown.push_back(line + (result.held ? " held" : ""));
    }
    return shown;
  }

  std::string Place() const { return (_folder.Path() / "records").string(); }
  // The desk, which may be closed and another opened in its place.
  std::unique_ptr<Storage>& Desk() { return _desk; }

 private:
  ScratchFolder _folder;
  std::unique_ptr<Storage> _desk;
  std::unique_ptr<CatalogueSearch> _catalogue;
};

#endif  // SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
