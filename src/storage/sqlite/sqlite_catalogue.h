#ifndef SHELVORANQUIST_STORAGE_SQLITE_SQLITE_CATALOGUE_H_
#define SHELVORANQUIST_STORAGE_SQLITE_SQLITE_CATALOGUE_H_

#include <memory>
#include <string>

#include "storage/catalogue_search.h"

// The public catalogue's reader of a data file: it searches the index of folded words the desk
// keeps in the file, while a desk runs on the same file. It opens the file read only, takes no
// lock a desk would meet, and never writes the file or folds the write-ahead log into it; the
// members' table is refused to it by SQLite itself. Find may be called from several threads at
// once.
class SqliteCatalogue final : public CatalogueSearch {
 public:
  // Opens the data file at `path`, which must be of the data version this program writes.
  // Throws StorageError with the reason when it cannot be used: no such file, not a data file,
  // of a newer version, or of an older one that a desk has not yet upgraded.
  explicit SqliteCatalogue(const std::string& path);
  ~SqliteCatalogue() override;

  SearchPage Find(const SearchRequest& request) override;

 private:
  // The connections to the file, one for each thread searching at once.
  class Connections;
  std::unique_ptr<Connections> _connections;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_SQLITE_CATALOGUE_H_
