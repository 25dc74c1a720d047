#ifndef SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CATALOGUE_H_
#define SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CATALOGUE_H_

#include <memory>
#include <string>

#include "storage/catalogue_search.h"

// The public catalogue's reading of a database that desks keep: only through the views of the
// schema catalogue, which show items and their folded words and nothing of any member, so a
// role granted no more than those views can run it.
class PostgresCatalogue final : public CatalogueSearch {
 public:
  // Connects to the database `uri` names, as a desk does (libpq's URI, the PG* environment and
  // the password file). Throws StorageError when the server cannot be reached, or the database
  // holds no catalogue of the layout this version reads: an older one is upgraded by starting a
  // desk on it once.
  explicit PostgresCatalogue(const std::string& uri);
  ~PostgresCatalogue() override;

  // Safe to call from several threads at once: each call has a connection of its own.
  SearchPage Find(const SearchRequest& request) override;

 private:
  class Connections;
  std::unique_ptr<Connections> _connections;
};

#endif  // SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CATALOGUE_H_
