#ifndef SHELVORANQUIST_STORAGE_ROWS_H_
#define SHELVORANQUIST_STORAGE_ROWS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The records as every engine keeps them: plain rows of plain values, each with the key the
// storage gave it. Nothing here is checked; the restore checks every value before the desk
// builds anything from it.

// A record's key in the storage: unique within its table, kept for the record's whole life.
using RecordKey = std::int64_t;

// The largest key a record may have. An engine that runs out of keys above it would have to
// pick keys at random, and rows would no longer follow the order the desk keeps them in; no
// engine reads a larger key back or gives one out.
inline constexpr RecordKey most_record_key = RecordKey{1} << 62;

// The tables of items, one for each kind.
enum class ItemKind { book, cd, journal, video };

// A date and time to the minute, as stored: year, month (1 to 12), day, hour and minute.
struct StampRow {
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;
  std::int64_t hour = 0;
  std::int64_t minute = 0;

  friend bool operator==(const StampRow&, const StampRow&) = default;
};

struct MemberRow {
  RecordKey key = 0;
  std::string name{};
  std::string address{};
  std::string phone_number{};
  std::string email_address{};
  std::int64_t library_number = 0;

  friend bool operator==(const MemberRow&, const MemberRow&) = default;
};

// An item of any kind. `creator` is a book's author, a CD's artist, a journal's editor or a
// video's director; `detail` a CD's play time, a journal's table of contents or a video's
// rating, and empty for a book. A journal has no loan length and no stamp (both stay 0).
struct ItemRow {
  RecordKey key = 0;
  std::string bar_code{};
  std::string title{};
  std::string creator{};
  std::string detail{};
  std::int64_t loan_days = 0;
  StampRow due{};

  friend bool operator==(const ItemRow&, const ItemRow&) = default;
};

// A loan or a hold: the item it names (exactly one of book, cd and video) and its member, none
// for the blank member that stands as the selection when a desk starts.
struct RecordRow {
  RecordKey key = 0;
  std::optional<RecordKey> book{};
  std::optional<RecordKey> cd{};
  std::optional<RecordKey> video{};
  std::optional<RecordKey> member{};

  friend bool operator==(const RecordRow&, const RecordRow&) = default;
};

// Every record kept, each table in the order of its keys, which is the order the desk made them.
struct StoredRecords {
  std::vector<MemberRow> members;
  std::vector<ItemRow> books;
  std::vector<ItemRow> cds;
  std::vector<ItemRow> journals;
  std::vector<ItemRow> videos;
  std::vector<RecordRow> loans;
  std::vector<RecordRow> holds;

  friend bool operator==(const StoredRecords&, const StoredRecords&) = default;
};

#endif  // SHELVORANQUIST_STORAGE_ROWS_H_
