#ifndef SHELVORANQUIST_STORAGE_SQLITE_FILE_LOCK_H_
#define SHELVORANQUIST_STORAGE_SQLITE_FILE_LOCK_H_

#include <string>

// The data file held for one desk: the file at a path, opened for reading and writing and locked
// for this open alone, so that a second desk on it is refused at once. The lock is apart from
// SQLite's own locks, so a reader such as the sqlite3 shell can still read the file meanwhile.
//
// The descriptor stays open until the lock is destroyed, which must follow the closing of every
// SQLite connection to the file: closing any descriptor of a file drops the process's POSIX
// locks on it, SQLite's among them.
class FileLock {
 public:
  // Opens and locks the regular file at `path`, or creates it, readable and writable by its
  // owner alone whatever the umask, when nothing is there. Throws StorageError with the reason
  // when the file cannot be opened or created, is no regular file, or is locked already.
  explicit FileLock(const std::string& path);
  // Unlocks and closes; a file this lock created and that was not kept is removed first.
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Whether this lock created the file.
  bool Created() const { return _created; }
  // Keeps the file this lock created once it holds what it must; until then it is provisional.
  void Keep() { _created_and_kept = true; }

 private:
  std::string _path;
  int _descriptor = -1;
  bool _created = false;
  bool _created_and_kept = false;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_FILE_LOCK_H_
