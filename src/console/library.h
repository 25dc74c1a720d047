#ifndef SHELVORANQUIST_CONSOLE_LIBRARY_H_
#define SHELVORANQUIST_CONSOLE_LIBRARY_H_

#include <optional>
#include <string>
#include <string_view>

#include "circulation/holdings.h"
#include "console/console_input.h"
#include "console/dialogue.h"
#include "console/file_output.h"
#include "storage/change.h"
#include "storage/storage.h"

struct CatalogueScreen;

// The controller of the circulation desk: it owns the desk's holdings (the member register, the
// four collections, the two circulation registers and every loan and hold record made during
// the run), and it remembers the current selections. Every main-menu choice is one of its
// operations.
//
// Selections designate stored objects or none. The selected member starts as a blank member
// (card number 0) that the Library owns and that is not in the register.
//
// Every change is handed to the storage, and kept there, before the holdings change and before
// anything that follows it is written; a StorageError from the storage passes on, and the run
// must then end. The changes other desks kept are applied before each answer is acted on.
class Library {
 public:
  // A desk of one run: it starts empty and keeps nothing. `input` must outlive the Library.
  // Prints nothing.
  explicit Library(ConsoleInput& input);
  // A desk that starts from the records `storage` holds and keeps its changes there. Both must
  // outlive the Library. Prints nothing; throws StorageError when the records cannot be read.
  // `screen`, when given, is where standard output writes: it is held from each answer (and
  // from the load) until the storage lets the other desks go on, and written out then.
  Library(ConsoleInput& input, Storage& storage, FileOutput* screen = nullptr);
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // The main-menu loop: returns after "14. Quit", or as soon as the input ends.
  void Main_menu();

  // Main-menu choices 1 to 13.
  void Add_member();
  void Select_search_member();
  void Delete_member();
  void Display_member_details();
  void Add_delete_item();
  void Select_item();
  void Borrow_item();
  void Return_item();
  void Hold_item();
  void Cancel_hold_item();
  void Display_item_details();
  void Online_catalog();
  void List_overdues();

  // The "Add/Delete item" submenu's screens.
  void Add_book();
  void Add_cd();
  void Add_journal();
  void Add_video();
  void Remove_item();

  // The online catalogue's screens.
  void Search_book();
  void Select_cd();
  void Select_journal();
  void Select_video();

  // Transactions on the selected member and the selected item of one kind. The hold
  // operations check the member selection themselves, since the catalogue screens call them.
  void Borrow_book();
  void Borrow_cd();
  void Borrow_video();
  void Return_book();
  void Return_cd();
  void Return_video();
  void Hold_book();
  void Hold_cd();
  void Hold_video();
  void Cancel_hold_book();
  void Cancel_hold_cd();
  void Cancel_hold_video();

  const MemberList& Members() const { return _holdings.Members(); }
  const BookList& Books() const { return _holdings.Books(); }
  const CdList& Cds() const { return _holdings.Cds(); }
  const JournalList& Journals() const { return _holdings.Journals(); }
  const VideoList& Videos() const { return _holdings.Videos(); }
  const LoanList& Loans() const { return _holdings.Loans(); }
  const HoldList& Holds() const { return _holdings.Holds(); }
  // The member that stands as the selection until a member search changes it; not registered.
  const Member& Blank_member() const { return _holdings.Blank_member(); }
  const Member* Selected_member() const { return _selected_member; }
  const Book* Selected_book() const { return _selected_book; }
  const Cd* Selected_cd() const { return _selected_cd; }
  const Journal* Selected_journal() const { return _selected_journal; }
  const Video* Selected_video() const { return _selected_video; }
  // Puts the selections back where a run starts: the blank member, no item.
  void Reset_selections();

 private:
  using Operation = void (Library::*)();

  // Runs the operation of each item kind that is selected, then clears the item selections.
  void Run_transaction(std::string_view no_member_message, Operation book, Operation cd,
                       Operation video);

  template <class Kind>
  void Borrow(Kind& item);
  template <class Kind>
  void Return(Kind& item);
  template <class Kind>
  void Place_hold(Kind* item);
  template <class Kind>
  void Cancel_hold(Kind& item);
  // Lends the item to the member; a hold on it (only ever the member's own, by name) ends with
  // the loan, after the member's details are shown.
  template <class Kind>
  void Lend(Kind& item, Member& member);
  // Removes the item found by the remove screen, unless it is on loan or on hold, and says so.
  template <class Kind>
  void Remove_stored(const Kind* item, ItemKind kind, const char* kind_word);
  // Keeps `change` in the storage, then applies it to the holdings.
  void Record(Change change);
  // Applies the changes other desks kept; a member or item they removed is no longer selected.
  void Catch_up();
  // Writes "SIMILAR TITLE THAT AVAILABLE IN LIBRARY : " and lists the copies of the item's
  // title that are free of holds; false, with nothing listed, when there is none.
  template <class Kind>
  bool Offer_same_title(const Kind& item);
  // The two refusal lines of a borrow and the same-title offer.
  template <class Kind>
  void Refuse_borrow(const Kind& item, std::string_view reason);
  template <class Kind>
  const auto& Collection_of() const;

  template <class List, class Kind>
  void Catalogue_search(const CatalogueScreen& screen, List& list, Kind*& selection,
                        std::optional<List> (List::*creator_search)(const std::string&) const,
                        Operation hold);

  int Ask_loan_length(std::string_view prompt);

  Dialogue _dialogue;
  Storage& _storage;
  Holdings _holdings;

  Member* _selected_member = &_holdings.Blank_member();
  Book* _selected_book = nullptr;
  Cd* _selected_cd = nullptr;
  Journal* _selected_journal = nullptr;
  Video* _selected_video = nullptr;
};

#endif  // SHELVORANQUIST_CONSOLE_LIBRARY_H_
