#include "storage/sqlite/sqlite_catalogue.h"

#include "storage/storage_error.h"

class SqliteCatalogue::Connections {};

SqliteCatalogue::SqliteCatalogue(const std::string& /*path*/) {
  throw StorageError(StorageError::Kind::unusable, "the catalogue cannot read data files yet");
}

SqliteCatalogue::~SqliteCatalogue() = default;

SearchPage SqliteCatalogue::Find(const SearchRequest& /*request*/) {
  throw StorageError(StorageError::Kind::unusable, "the catalogue cannot read data files yet");
}
