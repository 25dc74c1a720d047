#include "support/records_text.h"

#include <map>
#include <sstream>

namespace {

class Describer {
 public:
  explicit Describer(const Library& library) : _library(library) {
    for (int at = 0; at < library.Members().Count(); ++at) {
      _names[&library.Members().At(at)] = "member " + std::to_string(at);
    }
    _names[&library.Blank_member()] = "blank member";
    Name_items(library.Books(), "book");
    Name_items(library.Cds(), "cd");
    Name_items(library.Videos(), "video");
  }

  std::string Text() {
    for (int at = 0; at < _library.Members().Count(); ++at) {
      const Member& member = _library.Members().At(at);
      _text << Name(&member) << ": [" << member.Name() << "] [" << member.Address() << "] ["
            << member.Phone_number() << "] [" << member.Email_address() << "] "
            << member.Library_number();
      Records_of(member);
    }
    _text << "blank member:";
    Records_of(_library.Blank_member());
    Items(_library.Books(), [](const Book& book) { return book.Author(); });
    Items(_library.Cds(), [](const Cd& cd) { return cd.Artist() + "] [" + cd.Play_time(); });
    Items(_library.Videos(),
          [](const Video& video) { return video.Director() + "] [" + video.Rating(); });
    for (int at = 0; at < _library.Journals().Count(); ++at) {
      const Journal& journal = _library.Journals().At(at);
      _text << "journal " << at << ": [" << journal.Call_number() << "] [" << journal.Title()
            << "] [" << journal.Editor() << "] [" << journal.Table_of_contents() << "]\n";
    }
    _text << "loan register:";
    for (const Loan& loan : _library.Loans().Entries())
      Record(loan.Borrowed_item(), loan.Borrower());
    _text << "\nhold register:";
    for (const Hold& hold : _library.Holds().Entries()) Record(hold.Held_item(), hold.Holder());
    _text << '\n';
    return _text.str();
  }

 private:
  template <class List>
  void Name_items(const List& list, const std::string& kind) {
    for (int at = 0; at < list.Count(); ++at)
      _names[&list.At(at)] = kind + ' ' + std::to_string(at);
  }

  std::string Name(const void* object) const {
    const auto found = _names.find(object);
    return found == _names.end() ? "(unknown)" : found->second;
  }

  void Record(const Lendable* item, const Member* member) {
    _text << " (" << Name(item) << " for " << Name(member) << ')';
  }

  void Records_of(const Member& member) {
    _text << "\n  loans:";
    for (const Loan& loan : member.Loans()) Record(loan.Borrowed_item(), loan.Borrower());
    _text << "\n  holds:";
    for (const Hold& hold : member.Holds()) Record(hold.Held_item(), hold.Holder());
    _text << '\n';
  }

  template <class List, class Creator>
  void Items(const List& list, Creator creator) {
    for (int at = 0; at < list.Count(); ++at) {
      const auto& item = list.At(at);
      const DateTime& due = item.Due();
      _text << Name(&item) << ": [" << item.Call_number() << "] [" << item.Title() << "] ["
            << creator(item) << "] " << item.Loan_days() << " days, due "
            << due.Day().Of_month().Of_year().Number() << '-' << due.Day().Of_month().Number()
            << '-' << due.Day().Day() << ' ' << due.Time_of_day().Hour() << ':'
            << due.Time_of_day().Minute();
      if (item.Loan_record() != nullptr) {
        _text << ", lent to " << Name(item.Loan_record()->Borrower());
      }
      if (item.Hold_record() != nullptr) {
        _text << ", held for " << Name(item.Hold_record()->Holder());
      }
      _text << '\n';
    }
  }

  const Library& _library;
  std::map<const void*, std::string> _names;
  std::ostringstream _text;
};

}  // namespace

std::string Records_text(const Library& library) { return Describer(library).Text(); }
