#ifndef SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
#define SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "search/folded_words.h"
#include "storage/catalogue_search.h"
#include "storage/storage.h"
#include "support/scratch_folder.h"

// What the public catalogue's reader of every engine promises (catalogue_search_contract_test.cpp)
// on records a desk keeps through its Storage; an engine joins by instantiating the suite:
//   INSTANTIATE_TEST_SUITE_P(Engines, CatalogueSearchContractTest, Values(CatalogueEngine{...}));
struct CatalogueEngine {
  const char* name;
  // Each opens the records at `place`, a path in a scratch folder of the test's own: a desk's,
  // and the catalogue's reader of them once a desk has them open, loaded.
  std::function<std::unique_ptr<Storage>(const std::string& place)> open_desk;
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

  RecordKey Add(ItemKind kind, std::string bar_code, std::string title, std::string creator) {
    ItemRow item{.bar_code = bar_code, .title = title, .creator = creator};
    if (kind != ItemKind::journal) item = {0, bar_code, title, creator, "", 14, {2026, 1, 1, 0, 0}};
    return std::get<ItemAdded>(Keep(ItemAdded{kind, item})).item.key;
  }

  // What the catalogue, opened at the first search, finds for `query` as a patron typed it.
  SearchPage Find(std::string_view query, SearchField field = SearchField::any,
                  std::optional<ItemKind> kind = {}, bool available_only = false,
                  std::int64_t offset = 0, std::int64_t limit = 50) {
    if (not _catalogue) _catalogue = GetParam().open_catalogue(Place());
    return _catalogue->Find(
        SearchRequest{FoldedWords(query).Words(), field, kind, available_only, offset, limit});
  }

  // Each result in words: "kind title / creator / bar code", "due Y-M-D h:m" while lent, "held".
  static std::vector<std::string> Shown(const SearchPage& page) {
    std::vector<std::string> shown;
    for (const SearchResult& result : page.results) {
      static constexpr const char* kinds[] = {"book", "cd", "journal", "video"};
      std::ostringstream line;
      line << kinds[static_cast<int>(result.kind)] << ' ' << result.title << " / " << result.creator
           << " / " << result.bar_code;
      if (const auto& due = result.due) {
        line << " due " << due->year << '-' << due->month << '-' << due->day << ' ' << due->hour
             << ':' << due->minute;
      }
      shown.push_back(line.str() + (result.held ? " held" : ""));
    }
    return shown;
  }

  std::string Place() const { return (_folder.Path() / "records").string(); }
  std::unique_ptr<Storage>& Desk() { return _desk; }  // may be closed and another opened

 private:
  ScratchFolder _folder;
  std::unique_ptr<Storage> _desk;
  std::unique_ptr<CatalogueSearch> _catalogue;
};

#endif  // SHELVORANQUIST_TESTS_STORAGE_CATALOGUE_SEARCH_CONTRACT_H_
