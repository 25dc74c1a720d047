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
// O_NONBLOCK: opening a FIFO must not wait for a writer; O_NOCTTY: a terminal named as the file
// must not become the desk's. The file is checked to be regular before it is used.
constexpr int open_flags = O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
// A try fails only when another desk removed or replaced the file meanwhile.
constexpr int tries = 8;

// A full or failing disk is no fault of the file itself.
StorageError::Kind Kind_of(int error) {
  return error == ENOSPC or error == EDQUOT or error == EIO ? StorageError::Kind::io
                                                            : StorageError::Kind::unusable;
}

// Whether `path` is a symbolic link to nothing, which opening with O_CREAT | O_EXCL does not
// follow and so finds "existing".
bool Is_dangling_link(const std::string& path) {
  struct stat link {};
  struct stat target {};
  return lstat(path.c_str(), &link) == 0 and S_ISLNK(link.st_mode) and
         stat(path.c_str(), &target) != 0 and errno == ENOENT;
}

}  // namespace

FileLock::FileLock(const std::string& path) : _path(path) {
  for (int attempt = 0; attempt < tries; ++attempt) {
    if (Try_to_lock()) return;
  }
  throw StorageError(StorageError::Kind::busy, "kept changing while the desk opened it");
}

bool FileLock::Try_to_lock() {
  _created = false;
  _descriptor = open(_path.c_str(), open_flags);
  if (_descriptor < 0 and errno == ENOENT) {
    _descriptor = open(_path.c_str(), open_flags | O_CREAT | O_EXCL, owner_only);
    if (_descriptor < 0 and errno == EEXIST) {
      if (Is_dangling_link(_path))
        throw StorageError(StorageError::Kind::unusable, "a symbolic link to nothing");
      return false;  // another desk created it meanwhile
    }
    _created = _descriptor >= 0;
  }
  if (_descriptor < 0) throw StorageError(Kind_of(errno), std::strerror(errno));
  const auto give_up = [this](StorageError::Kind kind, const std::string& reason) {
    close(_descriptor);
    throw StorageError(kind, reason);
  };
  struct stat held {};
  if (fstat(_descriptor, &held) != 0) give_up(Kind_of(errno), std::strerror(errno));
  if (not S_ISREG(held.st_mode)) give_up(StorageError::Kind::unusable, "not a regular file");
  if (flock(_descriptor, LOCK_EX | LOCK_NB) != 0) {
    // Even a file this desk created: the desk that locked it first holds it now.
    if (errno == EWOULDBLOCK)
      give_up(StorageError::Kind::busy, "in use by another shelvoranquist desk");
    give_up(StorageError::Kind::unusable, std::strerror(errno));
  }
  if (Where() != Place::in_place) {
    close(_descriptor);
    return false;
  }
  // The umask may have taken the owner's bits away as well.
  if (_created and fchmod(_descriptor, owner_only) != 0) {
    const std::string reason = std::strerror(errno);
    Release();
    throw StorageError(StorageError::Kind::unusable, reason);
  }
  return true;
}

FileLock::~FileLock() { Release(); }

FileLock::Place FileLock::Where() const {
  struct stat held {};
  struct stat named {};
  if (fstat(_descriptor, &held) != 0 or stat(_path.c_str(), &named) != 0) return Place::removed;
  if (held.st_dev == named.st_dev and held.st_ino == named.st_ino) return Place::in_place;
  return Place::replaced;
}

void FileLock::Check_in_place() const {
  const Place place = Where();
  if (place == Place::removed)
    throw StorageError(StorageError::Kind::io, "removed while the desk was using it");
  if (place == Place::replaced) {
    throw StorageError(StorageError::Kind::io,
                       "replaced by another file while the desk was using it");
  }
}

void FileLock::Release() {
  if (_created and not _created_and_kept and Where() == Place::in_place) {
    // SQLite's log and index first: without the file they would belong to nothing.
    for (const char* suffix : {"-wal", "-shm", ""}) unlink((_path + suffix).c_str());
  }
  close(_descriptor);
}
