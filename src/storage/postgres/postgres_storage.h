#ifndef SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_STORAGE_H_
#define SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_STORAGE_H_

#include <memory>
#include <string>
#include <vector>

#include "storage/storage.h"

// The library's records in a PostgreSQL database that any number of desks share at once: a table
// for each kind of record, as the data file has them, a one-row table that counts the changes
// kept, and a log of those changes for the desks that have not applied them yet.
//
// The database decides the order of the desks' lines. A desk holds the catalogue's lock (an
// advisory lock of its session) from the moment it reads a line until it waits for the next:
// it applies the changes the others kept, answers the line and keeps its own changes, each one
// transaction that raises the count and logs the change, committed before anything that follows
// it is shown. No transaction stays open while a person types. The log keeps what some desk
// still running has not applied; the rest is removed as changes are kept.
class PostgresStorage final : public Storage {
 public:
  // Connects to the database `uri` names (a URI libpq reads, with the PG* environment and the
  // password file as psql has them), and makes the catalogue's tables in an empty database.
  // Throws StorageError when the server cannot be reached, or the database holds anything but
  // a catalogue of this version or an older one. Opened for an import, the database must hold
  // no tables, and only Import makes them, in the transaction that fills them; the desks that
  // start meanwhile wait for the catalogue's lock.
  explicit PostgresStorage(const std::string& uri, StorageUse use = StorageUse::desk);
  ~PostgresStorage() override;

  // Every record of the catalogue in the database `uri` names, as it stands at one moment even
  // while desks change it: read in one REPEATABLE READ, READ ONLY transaction, without the
  // catalogue's lock, so no desk waits for it. Throws StorageError when the database holds no
  // catalogue this version reads.
  static StoredRecords Snapshot(const std::string& uri);

  // Whether this desk made the catalogue's tables.
  bool Created() const;
  // The layout the catalogue had, when the load upgraded it; 0 when it did not.
  int Upgraded_from() const;
  // The layout of the tables this version makes and reads.
  static int Layout_version();

  void Load(const Restore& restore) override;
  void Keep(Change& change) override;
  std::vector<Change> Changes_elsewhere() override;
  void Waiting() override;
  void Import(const StoredRecords& records, const Restore& check) override;

 private:
  class Server;
  std::unique_ptr<Server> _server;
};

#endif  // SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_STORAGE_H_
