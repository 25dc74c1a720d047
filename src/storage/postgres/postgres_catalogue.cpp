#include "storage/postgres/postgres_catalogue.h"

#include "storage/storage_error.h"

class PostgresCatalogue::Connections {};

PostgresCatalogue::PostgresCatalogue(const std::string& uri) {
  static_cast<void>(uri);
  throw StorageError(StorageError::Kind::unusable, "the catalogue of a database is not yet read");
}

PostgresCatalogue::~PostgresCatalogue() = default;

SearchPage PostgresCatalogue::Find(const SearchRequest& request) {
  static_cast<void>(request);
  throw StorageError(StorageError::Kind::unusable, "the catalogue of a database is not yet read");
}
