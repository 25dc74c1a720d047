#include "circulation/holdings.h"

#include <climits>
#include <string>
#include <type_traits>

#include "base/character_count.h"
#include "base/field_limit.h"
#include "calendar/month.h"
#include "calendar/time.h"
#include "storage/storage_error.h"

namespace {

[[noreturn]] void Refuse(const char* table, RecordKey key, const std::string& problem) {
  throw StorageError(StorageError::Kind::damaged,
                     std::string(table) + " row " + std::to_string(key) + ": " + problem);
}

void Check_key(const char* table, RecordKey key) {
  if (key > most_record_key) {
    Refuse(table, key,
           "id is " + std::to_string(key) + ", more than " + std::to_string(most_record_key));
  }
}

int Checked_number(const char* table, RecordKey key, const char* column, std::int64_t value,
                   int least, int most) {
  if (value < least or value > most) {
    Refuse(table, key,
           std::string(column) + " is " + std::to_string(value) + ", not from " +
               std::to_string(least) + " to " + std::to_string(most));
  }
  return static_cast<int>(value);
}

// A text within its field's limit, its characters counted as the screens count them.
const std::string& Checked_text(const char* table, RecordKey key, const char* column,
                                const std::string& text, std::size_t limit) {
  // No text has more characters than bytes: only a longer one needs counting.
  if (text.size() <= limit) return text;
  CharacterCount count;
  for (const char byte : text) count.Add(static_cast<unsigned char>(byte));
  if (count.Count() > limit) {
    Refuse(table, key,
           std::string(column) + " has " + std::to_string(count.Count()) +
               " characters, more than " + std::to_string(limit));
  }
  return text;
}

DateTime Checked_stamp(const char* table, RecordKey key, const StampRow& stamp) {
  const int year = Checked_number(table, key, "due_year", stamp.year, 1, INT_MAX);
  const int month = Checked_number(table, key, "due_month", stamp.month, Jan, Dec);
  const int day =
      Checked_number(table, key, "due_day", stamp.day, 1, Month(month, year).Days_in_month());
  const int hour = Checked_number(table, key, "due_hour", stamp.hour, 0, hours_per_day - 1);
  const int minute =
      Checked_number(table, key, "due_minute", stamp.minute, 0, minutes_per_hour - 1);
  return DateTime(year, month, day, hour, minute);
}

// What the kinds of item differ in, as their tables hold them.
template <class Kind>
struct KindTable;

template <>
struct KindTable<Book> {
  static constexpr const char* name = "books";
  static constexpr const char* key_column = "book_id";
  static Book& Add(BookList& list, const ItemRow& row, int loan_days) {
    Checked_text(name, row.key, "author", row.creator, field_limit::creator);
    if (not row.detail.empty()) Refuse(name, row.key, "a book has no detail");
    return list.Add(row.bar_code, row.title, row.creator, loan_days);
  }
};

template <>
struct KindTable<Cd> {
  static constexpr const char* name = "cds";
  static constexpr const char* key_column = "cd_id";
  static Cd& Add(CdList& list, const ItemRow& row, int loan_days) {
    Checked_text(name, row.key, "artist", row.creator, field_limit::creator);
    Checked_text(name, row.key, "play_time", row.detail, field_limit::play_time);
    return list.Add(row.bar_code, row.title, row.creator, row.detail, loan_days);
  }
};

template <>
struct KindTable<Journal> {
  static constexpr const char* name = "journals";
  static Journal& Add(JournalList& list, const ItemRow& row, int /*loan_days*/) {
    Checked_text(name, row.key, "editor", row.creator, field_limit::creator);
    Checked_text(name, row.key, "table_of_contents", row.detail, field_limit::table_of_contents);
    return list.Add(row.bar_code, row.title, row.creator, row.detail);
  }
};

template <>
struct KindTable<Video> {
  static constexpr const char* name = "videos";
  static constexpr const char* key_column = "video_id";
  static Video& Add(VideoList& list, const ItemRow& row, int loan_days) {
    Checked_text(name, row.key, "director", row.creator, field_limit::creator);
    Checked_text(name, row.key, "rating", row.detail, field_limit::rating);
    return list.Add(row.bar_code, row.title, row.creator, row.detail, loan_days);
  }
};

// What loans and holds differ in.
template <class Record>
struct RecordTable;

template <>
struct RecordTable<Loan> {
  static constexpr const char* name = "loans";
  static constexpr const char* taken = "names an item that is on loan already";
  static const Loan* Current(const Lendable& item) { return item.Loan_record(); }
};

template <>
struct RecordTable<Hold> {
  static constexpr const char* name = "holds";
  static constexpr const char* taken = "names an item that is on hold already";
  static const Hold* Current(const Lendable& item) { return item.Hold_record(); }
};

// Calls `act` with a value of the kind of item that `kind` names.
template <class Act>
void With_kind(ItemKind kind, Act act) {
  switch (kind) {
    case ItemKind::book:
      return act(Book());
    case ItemKind::cd:
      return act(Cd());
    case ItemKind::journal:
      return act(Journal());
    case ItemKind::video:
      return act(Video());
  }
}

}  // namespace

template <class Kind>
auto& Holdings::List_of() {
  if constexpr (std::is_same_v<Kind, Book>) {
    return _books;
  } else if constexpr (std::is_same_v<Kind, Cd>) {
    return _cds;
  } else if constexpr (std::is_same_v<Kind, Journal>) {
    return _journals;
  } else {
    static_assert(std::is_same_v<Kind, Video>);
    return _videos;
  }
}

template <class Kind>
std::unordered_map<RecordKey, Kind*>& Holdings::Keys_of() {
  if constexpr (std::is_same_v<Kind, Book>) {
    return _book_keys;
  } else if constexpr (std::is_same_v<Kind, Cd>) {
    return _cd_keys;
  } else if constexpr (std::is_same_v<Kind, Journal>) {
    return _journal_keys;
  } else {
    static_assert(std::is_same_v<Kind, Video>);
    return _video_keys;
  }
}

void Holdings::Restore(const StoredRecords& records) {
  for (const MemberRow& row : records.members) Add_member(row);
  for (const ItemRow& row : records.books) Add_item<Book>(row);
  for (const ItemRow& row : records.cds) Add_item<Cd>(row);
  for (const ItemRow& row : records.journals) Add_item<Journal>(row);
  for (const ItemRow& row : records.videos) Add_item<Video>(row);
  for (const RecordRow& row : records.loans) Attach<Loan>(row, nullptr);
  for (const RecordRow& row : records.holds) Attach<Hold>(row, nullptr);
}

void Holdings::Apply(const Change& change) {
  if (const auto* added = std::get_if<MemberAdded>(&change)) {
    Add_member(added->member);
  } else if (const auto* removed = std::get_if<MemberRemoved>(&change)) {
    Remove_member(removed->member);
  } else if (const auto* item_added = std::get_if<ItemAdded>(&change)) {
    With_kind(item_added->kind, [&]<class Kind>(const Kind&) { Add_item<Kind>(item_added->item); });
  } else if (const auto* item_removed = std::get_if<ItemRemoved>(&change)) {
    With_kind(item_removed->kind,
              [&]<class Kind>(const Kind&) { Remove_item<Kind>(item_removed->item); });
  } else if (const auto* made = std::get_if<LoanMade>(&change)) {
    Lendable* const item = Item_named(made->loan);
    if (made->ended_hold and (item == nullptr or not item->Is_on_hold() or
                              item->Hold_record()->Key() != *made->ended_hold)) {
      Refuse("holds", *made->ended_hold, "names a hold this desk does not hold");
    }
    Attach<Loan>(made->loan, &made->due);
    if (made->ended_hold) End_hold(*item);
  } else if (const auto* ended = std::get_if<LoanEnded>(&change)) {
    Detach<Loan>(ended->loan);
  } else if (const auto* placed = std::get_if<HoldPlaced>(&change)) {
    Attach<Hold>(placed->hold, &placed->due);
  } else if (const auto* hold_ended = std::get_if<HoldEnded>(&change)) {
    Detach<Hold>(hold_ended->hold);
  }
}

StampRow Holdings::Stamp_row(const DateTime& stamp) {
  const Date& date = stamp.Day();
  return StampRow{.year = date.Of_month().Of_year().Number(),
                  .month = date.Of_month().Number(),
                  .day = date.Day(),
                  .hour = stamp.Time_of_day().Hour(),
                  .minute = stamp.Time_of_day().Minute()};
}

template <class Kind>
RecordRow Holdings::Record_row(const Kind& item, const Member& member, RecordKey key) const {
  RecordRow row{.key = key};
  if constexpr (std::is_same_v<Kind, Book>) {
    row.book = item.Key();
  } else if constexpr (std::is_same_v<Kind, Cd>) {
    row.cd = item.Key();
  } else {
    static_assert(std::is_same_v<Kind, Video>);
    row.video = item.Key();
  }
  if (&member != &_blank_member) row.member = member.Key();
  return row;
}

void Holdings::Add_member(const MemberRow& row) {
  constexpr const char* table = "members";
  Check_key(table, row.key);
  if (_member_keys.contains(row.key)) Refuse(table, row.key, "id is taken already");
  Member& member = _members.Add(
      Checked_text(table, row.key, "name", row.name, field_limit::name),
      Checked_text(table, row.key, "address", row.address, field_limit::address),
      Checked_text(table, row.key, "phone_number", row.phone_number, field_limit::phone_number),
      Checked_text(table, row.key, "email_address", row.email_address, field_limit::email_address),
      Checked_number(table, row.key, "library_number", row.library_number, INT_MIN, INT_MAX));
  member.Set_key(row.key);
  _member_keys.emplace(row.key, &member);
}

void Holdings::Remove_member(RecordKey key) {
  const auto found = _member_keys.find(key);
  if (found == _member_keys.end()) Refuse("members", key, "names no member");
  Member& member = *found->second;
  if (member.Has_loans_or_holds()) Refuse("members", key, "has items on loan or on hold");
  _member_keys.erase(found);
  _members.Remove(member);
}

template <class Kind>
void Holdings::Add_item(const ItemRow& row) {
  using Table = KindTable<Kind>;
  Check_key(Table::name, row.key);
  if (Keys_of<Kind>().contains(row.key)) Refuse(Table::name, row.key, "id is taken already");
  Checked_text(Table::name, row.key, "bar_code", row.bar_code, field_limit::bar_code);
  Checked_text(Table::name, row.key, "title", row.title, field_limit::title);
  if constexpr (std::derived_from<Kind, Lendable>) {
    const int loan_days =
        Checked_number(Table::name, row.key, "loan_days", row.loan_days, 0, INT_MAX);
    const DateTime due = Checked_stamp(Table::name, row.key, row.due);
    Kind& item = Table::Add(List_of<Kind>(), row, loan_days);
    item.Set_due(due);
    item.Set_key(row.key);
    Keys_of<Kind>().emplace(row.key, &item);
  } else {
    Kind& item = Table::Add(List_of<Kind>(), row, 0);
    item.Set_key(row.key);
    Keys_of<Kind>().emplace(row.key, &item);
  }
}

template <class Kind>
void Holdings::Remove_item(RecordKey key) {
  const auto found = Keys_of<Kind>().find(key);
  if (found == Keys_of<Kind>().end()) Refuse(KindTable<Kind>::name, key, "names no stored item");
  Kind& item = *found->second;
  if constexpr (std::derived_from<Kind, Lendable>) {
    if (item.Is_on_loan() or item.Is_on_hold()) {
      Refuse(KindTable<Kind>::name, key, "is on loan or on hold");
    }
  }
  Keys_of<Kind>().erase(found);
  List_of<Kind>().Remove(item);
}

template <class Record>
void Holdings::Attach(const RecordRow& row, const StampRow* due) {
  using Table = RecordTable<Record>;
  Check_key(Table::name, row.key);
  Member* member = &_blank_member;
  if (row.member) {
    const auto found = _member_keys.find(*row.member);
    if (found == _member_keys.end()) Refuse(Table::name, row.key, "member_id names no member");
    member = found->second;
  }
  if (int{row.book.has_value()} + int{row.cd.has_value()} + int{row.video.has_value()} != 1) {
    Refuse(Table::name, row.key, "names no item or more than one");
  }
  const auto attach = [&]<class Kind>(const std::optional<RecordKey>& item_key) {
    const auto found = Keys_of<Kind>().find(*item_key);
    const char* column = KindTable<Kind>::key_column;
    if (found == Keys_of<Kind>().end()) {
      Refuse(Table::name, row.key, std::string(column) + " names no stored item");
    }
    Kind& item = *found->second;
    if (Table::Current(item) != nullptr) {
      Refuse(Table::name, row.key, std::string(column) + ' ' + Table::taken);
    }
    Attach_to<Record>(item, row, *member,
                      due == nullptr ? item.Due() : Checked_stamp(Table::name, row.key, *due));
  };
  if (row.book) {
    attach.template operator()<Book>(row.book);
  } else if (row.cd) {
    attach.template operator()<Cd>(row.cd);
  } else {
    attach.template operator()<Video>(row.video);
  }
}

template <class Record, class Kind>
void Holdings::Attach_to(Kind& item, const RecordRow& row, Member& member, const DateTime& due) {
  if constexpr (std::is_same_v<Record, Loan>) {
    Keep_loan(item, member, row.key, due);
  } else {
    Keep_hold(item, member, row.key, due);
  }
}

Lendable* Holdings::Item_named(const RecordRow& row) {
  const auto find = [](auto& keys, const std::optional<RecordKey>& key) -> Lendable* {
    if (not key) return nullptr;
    const auto found = keys.find(*key);
    return found == keys.end() ? nullptr : found->second;
  };
  if (row.book) return find(_book_keys, row.book);
  if (row.cd) return find(_cd_keys, row.cd);
  return find(_video_keys, row.video);
}

template <class Record>
void Holdings::Detach(const RecordRow& row) {
  using Table = RecordTable<Record>;
  Lendable* const item = Item_named(row);
  const Record* current = item == nullptr ? nullptr : Table::Current(*item);
  if (current == nullptr or current->Key() != row.key) {
    Refuse(Table::name, row.key, "names a record this desk does not hold");
  }
  if constexpr (std::is_same_v<Record, Loan>) {
    End_loan(*item);
  } else {
    End_hold(*item);
  }
}

template <class Kind>
const Loan& Holdings::Keep_loan(Kind& item, Member& member, RecordKey key, const DateTime& due) {
  const Loan& loan = _loan_records.emplace_back(&item, &member, key);
  member.Add_loan(loan);
  item.Lend(loan, due);
  _loans.Add(loan);
  return loan;
}

void Holdings::End_loan(Lendable& item) {
  Member& borrower = *item.Loan_record()->Borrower();
  item.Take_back();
  borrower.Remove_loan(item);
  _loans.Remove(_loans.Find_loan_of(item));
}

template <class Kind>
const Hold& Holdings::Keep_hold(Kind& item, Member& member, RecordKey key, const DateTime& due) {
  const Hold& hold = _hold_records.emplace_back(&item, &member, key);
  member.Add_hold(hold);
  item.Place_hold(hold, due);
  _holds.Add(hold);
  return hold;
}

void Holdings::End_hold(Lendable& item) {
  Member& holder = *item.Hold_record()->Holder();
  item.Clear_hold();
  holder.Remove_hold(item);
  _holds.Remove(_holds.Find_hold_of(item, holder));
}

template RecordRow Holdings::Record_row(const Book&, const Member&, RecordKey) const;
template RecordRow Holdings::Record_row(const Cd&, const Member&, RecordKey) const;
template RecordRow Holdings::Record_row(const Video&, const Member&, RecordKey) const;
template const Loan& Holdings::Keep_loan(Book&, Member&, RecordKey, const DateTime&);
template const Loan& Holdings::Keep_loan(Cd&, Member&, RecordKey, const DateTime&);
template const Loan& Holdings::Keep_loan(Video&, Member&, RecordKey, const DateTime&);
template const Hold& Holdings::Keep_hold(Book&, Member&, RecordKey, const DateTime&);
template const Hold& Holdings::Keep_hold(Cd&, Member&, RecordKey, const DateTime&);
template const Hold& Holdings::Keep_hold(Video&, Member&, RecordKey, const DateTime&);
