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
  // owner alone whatever the umask, when nothing is there. When it returns, `path` names the
  // file it locked, even if other desks were creating or giving up the same file meanwhile.
  // Throws StorageError with the reason when the file cannot be opened or created, is no
  // regular file, is a symbolic link to nothing, or is locked already.
  explicit FileLock(const std::string& path);
  // Unlocks and closes. A file this lock created and that was not kept is removed first, with
  // the write-ahead log and shared-memory index SQLite may have left beside it.
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Whether this lock created the file.
  bool Created() const { return _created; }
  // Keeps the file this lock created once it holds what it must; until then it is provisional.
  void Keep() { _created_and_kept = true; }

  // Throws StorageError (io) when the locked file has been removed, or its path now names
  // another file: what is written to it would be lost.
  void Check_in_place() const;

 private:
  enum class Place { in_place, removed, replaced };

  // One try at opening and locking the file at _path. False when the file it locked is no
  // longer the one _path names, as when another desk removed the file it had created and gave
  // up: then nothing is held and the caller tries again.
  bool Try_to_lock();
  // Where the held file stands: at _path, gone from it, or replaced there by another file.
  Place Where() const;
  // Closes the descriptor, which unlocks the file. A file this lock created and did not keep is
  // removed first, while it is still locked and only where _path still names it, so that no
  // other desk's file is ever removed.
  void Release();

  std::string _path;
  int _descriptor = -1;
  bool _created = false;
  bool _created_and_kept = false;
};

#endif  // SHELVORANQUIST_STORAGE_SQLITE_FILE_LOCK_H_
