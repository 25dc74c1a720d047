#ifndef SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_
#define SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_

#include <stdexcept>
#include <string>

// The library's records could not be read or a change could not be kept. what() is the reason,
// one line for the librarian ("database or disk is full"); the file or database is named by
// whoever reports it. The kind tells a caller what it may do about it.
class StorageError : public std::runtime_error {
 public:
  enum class Kind {
    unusable,  // not the desk's records, a newer layout, no access, no such place
    damaged,   // the records break their own rules or cannot be read back whole
    io,        // the disk is full or failed, the file went away, a limit was reached
    busy,      // another desk holds the records, or held them too long
    refused,   // a change broke a rule of the records: someone else got there first
  };

  StorageError(Kind kind, const std::string& reason) : std::runtime_error(reason), _kind(kind) {}

  Kind kind() const { return _kind; }
  bool Is_unusable() const { return _kind == Kind::unusable; }
  bool Is_damaged() const { return _kind == Kind::damaged; }
  bool Is_io_error() const { return _kind == Kind::io; }
  bool Is_busy() const { return _kind == Kind::busy; }
  bool Is_refused() const { return _kind == Kind::refused; }

 private:
  Kind _kind;
};

#endif  // SHELVORANQUIST_STORAGE_STORAGE_ERROR_H_
