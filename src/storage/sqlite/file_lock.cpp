#include "storage/sqlite/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/storage_error.h"

namespace {

constexpr mode_t owner_only = S_IRUSR | S_IWUSR;

}  // namespace

FileLock::FileLock(const std::string& path) : _path(path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; the file is checked to be regular.
  constexpr int flags = O_RDWR | O_CLOEXEC | O_NONBLOCK;
  // Tried twice: the file may appear between a failed open and the creation, or vanish.
  for (int attempt = 0; attempt < 2 and _descriptor < 0; ++attempt) {
    _descriptor = open(path.c_str(), flags);
    if (_descriptor >= 0 or errno != ENOENT) break;
    _descriptor = open(path.c_str(), flags | O_CREAT | O_EXCL, owner_only);
    if (_descriptor >= 0) {
      _created = true;
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (_descriptor < 0) {
    throw StorageError(errno == ENOSPC ? StorageError::Kind::io : StorageError::Kind::unusable,
                       std::strerror(errno));
  }
  const auto give_up = [this](StorageError::Kind kind, const char* reason) {
    if (_created) unlink(_path.c_str());
    close(_descriptor);
    throw StorageError(kind, reason);
  };
  struct stat status {};
  if (fstat(_descriptor, &status) != 0) give_up(StorageError::Kind::unusable, std::strerror(errno));
  if (not S_ISREG(status.st_mode)) give_up(StorageError::Kind::unusable, "not a regular file");
  // The umask may have taken the owner's bits away as well.
  if (_created and fchmod(_descriptor, owner_only) != 0)
    give_up(StorageError::Kind::unusable, std::strerror(errno));
  if (flock(_descriptor, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK)
      give_up(StorageError::Kind::busy, "in use by another shelvoranquist desk");
    give_up(StorageError::Kind::unusable, std::strerror(errno));
  }
}

FileLock::~FileLock() {
  if (_created and not _created_and_kept) unlink(_path.c_str());
  close(_descriptor);
}
