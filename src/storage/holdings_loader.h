#ifndef SHELVORANQUIST_STORAGE_HOLDINGS_LOADER_H_
#define SHELVORANQUIST_STORAGE_HOLDINGS_LOADER_H_

#include <SQLiteCpp/Database.h>

#include <cstdint>
#include <unordered_map>

#include "calendar/date_time.h"
#include "storage/holdings.h"

class StoredRow;

// Rebuilds a desk's holdings from the rows of a data file, checking every value before anything
// is built from it: texts are texts, numbers are in their ranges, stamps are calendar dates and
// times, and every loan and hold names a stored item, of a lendable kind, that has no other
// loan or no other hold, and a registered member or none for the blank start-up member.
class HoldingsLoader {
 public:
  // The key of the row of each object built, for the storage to find its rows by.
  using Keys = std::unordered_map<const void*, std::int64_t>;

  // All three must outlive the loader; `holdings` is empty.
  HoldingsLoader(SQLite::Database& database, const Holdings& holdings, Keys& keys);

  // Fills the holdings and the keys; throws StorageError naming the first row that breaks a
  // rule, and SQLite::Exception when the file cannot be read.
  void Load();

 private:
  // What a lendable item's circulation columns and the records naming it say, until every
  // record is read.
  struct Circulation {
    DateTime due;
    const Loan* loan = nullptr;
    const Hold* hold = nullptr;
  };

  void Load_members();
  template <class Kind, class List>
  void Load_items(List& list);
  template <class Record>
  void Load_records();
  template <class Record, class Kind>
  const Record& Attach(const StoredRow& row, int column, std::int64_t key, Member& member);
  template <class Kind>
  std::unordered_map<std::int64_t, Kind*>& Stored();

  SQLite::Database& _database;
  const Holdings& _holdings;
  Keys& _keys;
  std::unordered_map<std::int64_t, Member*> _members;
  std::unordered_map<std::int64_t, Book*> _books;
  std::unordered_map<std::int64_t, Cd*> _cds;
  std::unordered_map<std::int64_t, Video*> _videos;
  std::unordered_map<Lendable*, Circulation> _circulation;
};

#endif  // SHELVORANQUIST_STORAGE_HOLDINGS_LOADER_H_
