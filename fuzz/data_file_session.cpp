#include "data_file_session.h"

#include <concepts>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <type_traits>
#include <vector>

#include "console/console_input.h"
#include "console/library.h"
#include "fixed_time_zone.h"
#include "storage/sqlite/sqlite_storage.h"
#include "storage/storage_error.h"
#include "support/discarded_output.h"
#include "support/records_check.h"
#include "support/scratch_folder.h"
#include "support/scripted_input.h"
#include "support/test_clock.h"

namespace {

[[noreturn]] void Give_up(const char* what) {
  std::perror(what);
  std::abort();
}

// The data file of one input, holding its bytes, alone in its folder; removed, with SQLite's
// files beside it, when this object is destroyed.
class ScratchFile {
 public:
  ScratchFile(const std::uint8_t* data, std::size_t size)
      : _bytes(reinterpret_cast<const char*>(data), size) {
    _path = (Folder().Path() / "library.db").string();
    std::ofstream file(_path, std::ios::binary | std::ios::trunc);
    file << _bytes;
    if (not file.flush()) Give_up("cannot write the scratch data file");
  }
  ~ScratchFile() { ScratchFolder::Remove_data_file(_path); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return _path; }

  // Whether the file still holds the input's bytes, with nothing beside it.
  bool Left_as_written() const {
    std::ifstream file(_path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const auto files = std::filesystem::directory_iterator(Folder().Path());
    return bytes.str() == _bytes and std::distance(begin(files), end(files)) == 1;
  }

 private:
  static const ScratchFolder& Folder() {
    static const ScratchFolder folder;
    return folder;
  }

  std::string _bytes;
  std::string _path;
};

// A desk on the data file at a path, with the librarian's keystrokes to come. The constructor
// throws StorageError when the storage refuses the file.
struct Desk {
  explicit Desk(const std::string& path) : storage(path), library(input, storage) {}

  SqliteStorage storage;
  ScriptedInput script;
  ConsoleInput input{script, -1};
  Library library;
};

// Whether the librarian can type `text` as one line of an answer: fewer than 50 bytes, so
// fewer than 50 characters, and no line end.
bool Typable(const std::string& text) {
  return text.size() < 50 and text.find_first_of("\r\n") == std::string::npos;
}

// The first stored item whose bar code and title can be typed, or none.
template <class List>
const Item* First_typable(const List& list) {
  for (int position = 0; position < list.Count(); ++position) {
    const Item& item = list.At(position);
    if (Typable(item.Call_number()) and Typable(item.Title())) return &item;
  }
  return nullptr;
}

// The work done at the desk, as typed at the main menu (see data_file_session.h).
std::string Desk_work(const Library& library) {
  std::string script = "13\n4\n";
  const auto work_on = [&script](const Item* item, char catalogue_choice) {
    if (item == nullptr) return;
    const std::string select = "6\n" + item->Call_number() + '\n';
    script += select + "11\n12\n" + catalogue_choice + "\n2\n" + item->Title() + "\nn\n";
    for (const char* transaction : {"8\n", "10\n", "7\n", "9\n"}) script += select + transaction;
  };
  work_on(First_typable(library.Videos()), '4');
  if (library.Members().Count() > 0) {
    script += "2\n1\n" + std::to_string(library.Members().At(0).Library_number()) + "\n4\n";
  }
  work_on(First_typable(library.Books()), '1');
  work_on(First_typable(library.Cds()), '2');
  if (const Item* journal = First_typable(library.Journals())) {
    script += "12\n3\n2\n" + journal->Title() + '\n';
  }
  return script + "13\n14\n";
}

// The texts of an item, in the order of its constructor.
std::vector<const std::string*> Texts(const Book& book) {
  return {&book.Call_number(), &book.Title(), &book.Author()};
}
std::vector<const std::string*> Texts(const Cd& cd) {
  return {&cd.Call_number(), &cd.Title(), &cd.Artist(), &cd.Play_time()};
}
std::vector<const std::string*> Texts(const Journal& journal) {
  return {&journal.Call_number(), &journal.Title(), &journal.Editor(),
          &journal.Table_of_contents()};
}
std::vector<const std::string*> Texts(const Video& video) {
  return {&video.Call_number(), &video.Title(), &video.Director(), &video.Rating()};
}

// The desk's records as text, with each member and item named by its place, so that two desks
// can be compared: every member (the blank one first) with its texts, loans and holds, every
// item with its texts and, when lendable, its loan length, due stamp, borrower and holder, and
// the two registers.
class Description {
 public:
  explicit Description(const Library& library) {
    _members.push_back(&library.Blank_member());
    for (int position = 0; position < library.Members().Count(); ++position) {
      _members.push_back(&library.Members().At(position));
    }
    for (std::size_t place = 0; place < _members.size(); ++place) {
      _member_places[_members[place]] = place;
    }
    Name_items(library.Books(), "book");
    Name_items(library.Cds(), "cd");
    Name_items(library.Journals(), "journal");
    Name_items(library.Videos(), "video");

    for (const Member* member : _members) {
      _text << Name(member) << ':';
      for (const std::string* text : {&member->Name(), &member->Address(), &member->Phone_number(),
                                      &member->Email_address()}) {
        Write_text(*text);
      }
      _text << ' ' << member->Library_number() << "\n  loans";
      for (const Loan& loan : member->Loans()) Write_record(loan.Borrowed_item(), member);
      _text << "\n  holds";
      for (const Hold& hold : member->Holds()) Write_record(hold.Held_item(), member);
      _text << '\n';
    }
    Write_items(library.Books());
    Write_items(library.Cds());
    Write_items(library.Journals());
    Write_items(library.Videos());
    _text << "loan register";
    for (const Loan& loan : library.Loans().Entries()) {
      Write_record(loan.Borrowed_item(), loan.Borrower());
    }
    _text << "\nhold register";
    for (const Hold& hold : library.Holds().Entries()) {
      Write_record(hold.Held_item(), hold.Holder());
    }
    _text << '\n';
  }

  std::string Text() const { return _text.str(); }

 private:
  template <class List>
  void Name_items(const List& list, const char* kind) {
    for (int position = 0; position < list.Count(); ++position) {
      _item_names[&list.At(position)] = kind + (' ' + std::to_string(position + 1));
    }
  }

  template <class List>
  void Write_items(const List& list) {
    for (int position = 0; position < list.Count(); ++position) {
      const auto& item = list.At(position);
      using Kind = std::remove_cvref_t<decltype(item)>;
      _text << Name(&item) << ':';
      for (const std::string* text : Texts(item)) Write_text(*text);
      if constexpr (std::derived_from<Kind, Lendable>) {
        const Date& due = item.Due().Day();
        const Time& time = item.Due().Time_of_day();
        _text << ' ' << item.Loan_days() << " days, due " << due.Of_month().Of_year().Number()
              << '-' << due.Of_month().Number() << '-' << due.Day() << ' ' << time.Hour() << ':'
              << time.Minute();
        if (const Loan* loan = item.Loan_record()) _text << ", lent to " << Name(loan->Borrower());
        if (const Hold* hold = item.Hold_record()) _text << ", held for " << Name(hold->Holder());
      }
      _text << '\n';
    }
  }

  void Write_text(const std::string& text) { _text << ' ' << text.size() << ':' << text; }

  void Write_record(const Item* item, const Member* member) {
    _text << " (" << Name(item) << ", " << Name(member) << ')';
  }

  std::string Name(const Item* item) const {
    const auto found = _item_names.find(item);
    return found == _item_names.end() ? "no stored item" : found->second;
  }

  std::string Name(const Member* member) const {
    const auto found = _member_places.find(member);
    return found == _member_places.end() ? "no member" : "member " + std::to_string(found->second);
  }

  std::vector<const Member*> _members;
  std::map<const Member*, std::size_t> _member_places;
  std::map<const Item*, std::string> _item_names;
  std::ostringstream _text;
};

// The first line in which two descriptions differ, as "<first> | <second>".
std::string First_difference(const std::string& first, const std::string& second) {
  std::istringstream first_lines(first);
  std::istringstream second_lines(second);
  std::string first_line;
  std::string second_line;
  // A description that has ended reads as empty lines.
  for (;;) {
    const bool first_ended = not std::getline(first_lines, first_line);
    const bool second_ended = not std::getline(second_lines, second_line);
    if (first_ended and second_ended) return {};
    if (first_line != second_line) return first_line + " | " + second_line;
  }
}

// Adds each of `found`, said of the desk `when`, to `faults`.
void Note(std::vector<std::string>& faults, const char* when,
          const std::vector<std::string>& found) {
  for (const std::string& fault : found) faults.push_back(std::string(when) + ": " + fault);
}

}  // namespace

std::vector<std::string> Run_data_file_session(const std::uint8_t* data, std::size_t size) {
  Use_fixed_time_zone();
  TestClock clock(2026, 12, 8, 10, 30);
  DiscardedOutput discarded;
  const ScratchFile file(data, size);
  std::vector<std::string> faults;
  std::string after_work;
  {
    std::unique_ptr<Desk> desk;
    try {
      desk = std::make_unique<Desk>(file.Path());
    } catch (const StorageError& error) {
      // Whatever the refusal, no upgrade or log of the desk is left in or beside the file.
      if (not file.Left_as_written()) {
        faults.push_back(std::string("the refused file was changed: ") + error.what());
      }
      return faults;
    }
    Note(faults, "as loaded", Record_faults(desk->library));
    if (not faults.empty()) return faults;
    desk->script.Type(Desk_work(desk->library));
    const char* when = "after the work";
    try {
      desk->library.Main_menu();
    } catch (const StorageError&) {
      // The refused change is kept nowhere, so the file still holds what the desk holds.
      when = "after a change the file refused";
    }
    Note(faults, when, Record_faults(desk->library));
    if (not faults.empty()) return faults;
    after_work = Description(desk->library).Text();
  }
  try {
    // The file was upgraded, if at all, by the first load, and holds that desk's records.
    const Desk again(file.Path());
    if (again.storage.Upgraded_from() != 0) faults.push_back("the file was upgraded twice");
    const std::string loaded_again = Description(again.library).Text();
    if (loaded_again != after_work) {
      faults.push_back("the desk loaded again differs from the desk that did the work: " +
                       First_difference(after_work, loaded_again));
    }
  } catch (const StorageError& error) {
    faults.push_back(std::string("the desk's work cannot be loaded again: ") + error.what());
  }
  return faults;
}
