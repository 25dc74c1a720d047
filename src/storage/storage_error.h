#ifndef SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_
#define SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_

#include <stdexcept>
#include <string>

// The library's records could not be read or a change could not be kept. what() is the reason,
// one line for the librarian ("database or disk is full"); the file is named by whoever reports
// it.
class StorageError : public std::runtime_error {
 public:
  explicit StorageError(const std::string& reason) : std::runtime_error(reason) {}
};

#endif  // SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_
