#ifndef SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
#define SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

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

inline void PrintTo(const SearchResult& result, std::ostream* out) {
  constexpr const char* kinds[] = {"book", "cd", "journal", "video"};
  *out << '{' << kinds[static_cast<int>(result.kind)] << ' ' << testing::PrintToString(result.title)
       << ' ' << testing::PrintToString(result.creator) << ' '
       << testing::PrintToString(result.bar_code);
  if (result.due) {
    *out << " due " << result.due->year << '-' << result.due->month << '-' << result.due->day << ' '
         << result.due->hour << ':' << result.due->minute;
  }
  *out << (result.held ? " held}" : "}");
}

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
    const ItemRow item{.bar_code = std::move(bar_code),
                       .title = std::move(title),
                       .creator = std::move(creator),
                       .detail = kind == ItemKind::book ? "" : "detail",
                       .loan_days = kind == ItemKind::journal ? 0 : 14,
                       .due = kind == ItemKind::journal ? StampRow{} : StampRow{2026, 1, 1, 0, 0}};
    return std::get<ItemAdded>(Keep(ItemAdded{kind, item})).item.key;
  }

  // The catalogue's reader of the desk's records, opened at the first use.
  CatalogueSearch& Catalogue() {
    if (not _catalogue) _catalogue = GetParam().open_catalogue(Place());
    return *_catalogue;
  }

  // What the catalogue finds for `query` as a patron typed it, folded as the catalogue folds it;
  // the rest of the request from `request`.
  SearchPage Find(std::string_view query, SearchRequest request = {}) {
    request.words = FoldedWords(query).Words();
    return Catalogue().Find(request);
  }

 private:
  std::string Place() const { return (_folder.Path() / "records").string(); }

  ScratchFolder _folder;
  std::unique_ptr<Storage> _desk;
  std::unique_ptr<CatalogueSearch> _catalogue;
};

#endif  // SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
