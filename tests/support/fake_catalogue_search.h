#ifndef SHELVORANQUIST_TESTS_SUPPORT_FAKE_CATALOGUE_SEARCH_H_
#define SHELVORANQUIST_TESTS_SUPPORT_FAKE_CATALOGUE_SEARCH_H_

#include <optional>
#include <vector>

#include "storage/catalogue_search.h"
#include "storage/storage_error.h"

// Records as the public catalogue's pages meet them, set by a test: Find answers `found`, or
// throws `failure` when there is one, and keeps every request it was asked. One thread only.
class FakeCatalogueSearch final : public CatalogueSearch {
 public:
  SearchPage Find(const SearchRequest& request) override {
    requests.push_back(request);
    if (failure) throw *failure;
    return found;
  }

  SearchPage found{};
  std::optional<StorageError> failure{};
  std::vector<SearchRequest> requests{};
};

#endif  // SHELVORANQUIST_TESTS_SUPPORT_FAKE_CATALOGUE_SEARCH_H_
