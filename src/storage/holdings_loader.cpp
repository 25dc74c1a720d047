#include "storage/holdings_loader.h"

#include <SQLiteCpp/Statement.h>

#include <array>
#include <climits>
#include <concepts>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "storage/item_table.h"
#include "storage/stored_row.h"

namespace {

// Where loans and holds differ as the loader reads them.
template <class Record>
struct RecordTable;

template <>
struct RecordTable<Loan> {
  static constexpr const char* name = "loans";
  static constexpr const char* select =
      "SELECT id, book_id, cd_id, video_id, member_id FROM loans ORDER BY id";
  static constexpr const char* taken = "names an item that is on loan already";
  static std::deque<Loan>& Store(const Holdings& holdings) { return holdings.loan_records; }
  static void Register(const Holdings& holdings, const Loan& loan) { holdings.loans.Add(loan); }
  static void Add_to(Member& member, const Loan& loan) { member.Add_loan(loan); }
};

template <>
struct RecordTable<Hold> {
  static constexpr const char* name = "holds";
  static constexpr const char* select =
      "SELECT id, book_id, cd_id, video_id, member_id FROM holds ORDER BY id";
  static constexpr const char* taken = "names an item that is on hold already";
  static std::deque<Hold>& Store(const Holdings& holdings) { return holdings.hold_records; }
  static void Register(const Holdings& holdings, const Hold& hold) { holdings.holds.Add(hold); }
  static void Add_to(Member& member, const Hold& hold) { member.Add_hold(hold); }
};

// The columns of a loan or hold row after its key.
enum RecordColumn { book_column = 1, cd_column, video_column, member_column };

}  // namespace

HoldingsLoader::HoldingsLoader(SQLite::Database& database, const Holdings& holdings, Keys& keys)
    : _database(database), _holdings(holdings), _keys(keys) {}

void HoldingsLoader::Load() {
  Load_members();
  Load_items<Book>(_holdings.books);
  Load_items<Cd>(_holdings.cds);
  Load_items<Journal>(_holdings.journals);
  Load_items<Video>(_holdings.videos);
  Load_records<Loan>();
  Load_records<Hold>();
  for (auto& [item, circulation] : _circulation) {
    item->Restore(circulation.due, circulation.loan, circulation.hold);
  }
}

void HoldingsLoader::Load_members() {
  SQLite::Statement rows(_database,
                         "SELECT id, name, address, phone_number, email_address, library_number "
                         "FROM members ORDER BY id");
  while (rows.executeStep()) {
    const StoredRow row(rows, "members");
    Member& member = _holdings.members.Add(row.Text(1), row.Text(2), row.Text(3), row.Text(4),
                                           row.Number(5, INT_MIN, INT_MAX));
    _members.emplace(row.Key(), &member);
    _keys.emplace(&member, row.Key());
  }
}

template <class Kind, class List>
void HoldingsLoader::Load_items(List& list) {
  using Table = ItemTable<Kind>;
  constexpr int text_count = static_cast<int>(Table::texts.size());
  SQLite::Statement rows(_database, Table::select);
  while (rows.executeStep()) {
    const StoredRow row(rows, Table::name);
    std::array<std::string, Table::texts.size()> texts;
    for (int column = 1; column <= text_count; ++column) {
      texts.at(static_cast<std::size_t>(column - 1)) = row.Text(column);
    }
    if constexpr (std::derived_from<Kind, Lendable>) {
      const int loan_days = row.Number(text_count + 1, 0, INT_MAX);
      const DateTime due = row.Stamp(text_count + 2);
      Kind& item = std::apply(
          [&](auto&... text) -> Kind& { return list.Add(std::move(text)..., loan_days); }, texts);
      _circulation.emplace(&item, Circulation{due});
      Stored<Kind>().emplace(row.Key(), &item);
      _keys.emplace(&item, row.Key());
    } else {
      Kind& item =
          std::apply([&](auto&... text) -> Kind& { return list.Add(std::move(text)...); }, texts);
      _keys.emplace(&item, row.Key());
    }
  }
}

template <class Record>
void HoldingsLoader::Load_records() {
  using Table = RecordTable<Record>;
  SQLite::Statement rows(_database, Table::select);
  while (rows.executeStep()) {
    const StoredRow row(rows, Table::name);
    Member* member = &_holdings.blank_member;
    if (const auto key = row.Reference(member_column)) {
      const auto found = _members.find(*key);
      if (found == _members.end()) row.Refuse(member_column, "names no member");
      member = found->second;
    }
    const auto book = row.Reference(book_column);
    const auto cd = row.Reference(cd_column);
    const auto video = row.Reference(video_column);
    if (int{book.has_value()} + int{cd.has_value()} + int{video.has_value()} != 1) {
      row.Refuse("names no item or more than one");
    }
    const Record& record = book ? Attach<Record, Book>(row, book_column, *book, *member)
                           : cd ? Attach<Record, Cd>(row, cd_column, *cd, *member)
                                : Attach<Record, Video>(row, video_column, *video, *member);
    _keys.emplace(&record, row.Key());
  }
}

template <class Record, class Kind>
const Record& HoldingsLoader::Attach(const StoredRow& row, int column, std::int64_t key,
                                     Member& member) {
  using Table = RecordTable<Record>;
  const auto found = Stored<Kind>().find(key);
  if (found == Stored<Kind>().end()) row.Refuse(column, "names no stored item");
  Kind& item = *found->second;
  Circulation& circulation = _circulation.at(&item);
  const Record*& current = [&]() -> const Record*& {
    if constexpr (std::is_same_v<Record, Loan>) {
      return circulation.loan;
    } else {
      return circulation.hold;
    }
  }();
  if (current != nullptr) row.Refuse(column, Table::taken);
  const Record& record = Table::Store(_holdings).emplace_back(&item, &member);
  current = &record;
  Table::Add_to(member, record);
  Table::Register(_holdings, record);
  return record;
}

template <class Kind>
std::unordered_map<std::int64_t, Kind*>& HoldingsLoader::Stored() {
  if constexpr (std::is_same_v<Kind, Book>) {
    return _books;
  } else if constexpr (std::is_same_v<Kind, Cd>) {
    return _cds;
  } else {
    static_assert(std::is_same_v<Kind, Video>);
    return _videos;
  }
}
