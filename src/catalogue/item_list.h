#ifndef SHELVORANQUIST_CATALOGUE_ITEM_LIST_H_
#define SHELVORANQUIST_CATALOGUE_ITEM_LIST_H_

#include <concepts>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "calendar/date_time.h"
#include "catalogue/lendable.h"
#include "catalogue/write_line.h"

// What a collection writes; none (nullptr) where its kind writes nothing.
struct ItemListTexts {
  const char* heading;           // first line of every listing
  const char* empty;             // the listing of an empty collection
  const char* separator;         // before and after each listed item
  const char* due_label;         // before the due stamp of a listed item that is on loan
  const char* search_not_found;  // when a title or creator search finds nothing
  const char* lookup_not_found;  // when a lookup by call number finds nothing
};

// The collections of the four kinds, one family: `Derived` is BookList, CdList, JournalList or
// VideoList, which gives its texts as `Derived::texts` and names its creator search.
//
// The collection owns its items and keeps them in the order they were added. Each item lives in
// a heap object of its own, so a reference to a stored item stays valid, and keeps designating
// that item, until that item itself is removed. Every operation is one walk from the first item;
// texts are compared whole, byte for byte. The searches hand out fresh copies (the kind's
// Fresh_copy): the catalogue values alone, neither on loan nor on hold, with the initial stamp.
template <class Derived, class Kind>
class ItemList {
 public:
  static constexpr bool lendable = std::derived_from<Kind, Lendable>;

  // Appends a new item built from the kind's constructor values and returns it. Nothing is
  // refused.
  template <class... Values>
  Kind& Add(Values&&... values) {
    return *_items.emplace_back(std::make_unique<Kind>(std::forward<Values>(values)...));
  }

  // Removes the first item with this call number, if any; the later items keep their order.
  void Remove(const std::string& call_number) {
    if (const Kind* item = Find_by_call_number(call_number)) Remove(*item);
  }

  // Removes exactly this stored item, if it is one of this collection's.
  void Remove(const Kind& item) {
    for (auto it = _items.begin(); it != _items.end(); ++it) {
      if (it->get() == &item) {
        _items.erase(it);
        return;
      }
    }
  }

  // The first stored item with this call number, or none (the kind's not-found line is written).
  // The non-const form is for the callers that change what they find.
  const Kind* Find_by_call_number(const std::string& call_number) const {
    return Stored_with(*this, call_number);
  }
  Kind* Find_by_call_number(const std::string& call_number) {
    return Stored_with(*this, call_number);
  }

  // A new collection of fresh copies of every item with this title, or none (the kind's
  // not-found line is written).
  std::optional<Derived> Search_by_title(const std::string& title) const {
    return Search_by(&Kind::Title, title);
  }

  // A new collection of fresh copies of every item with this title that is not on hold, on loan
  // or not; none, and nothing written, when there is no such item.
  std::optional<Derived> Available_by_title(const std::string& title) const requires lendable {
    return Copies_of(
        [&title](const Kind& item) { return item.Title() == title and not item.Is_on_hold(); });
  }

  // Writes the catalogue listing: every item's details, with its due stamp when on loan.
  void List_all() const {
    const ItemListTexts& texts = Derived::texts;
    Write_line(texts.heading);
    if (_items.empty()) {
      Write_line(texts.empty);
      return;
    }
    for (const auto& item : _items) {
      Write_line(texts.separator);
      item->Print_details();
      if constexpr (lendable) {
        if (texts.due_label != nullptr and item->Is_on_loan()) {
          std::cout << texts.due_label;
          item->Due().Print();
          std::cout << std::endl;
        }
      }
      Write_line(texts.separator);
    }
  }

  // Writes the borrower's name, a line each, for every item on loan whose stamp has passed.
  void List_overdue() const requires lendable {
    const DateTime now = DateTime::Now();
    for (const auto& item : _items) {
      if (item->Is_on_loan() and item->Is_overdue_at(now)) {
        std::cout << item->Borrower_name() << std::endl;
      }
    }
  }

  int Count() const { return static_cast<int>(_items.size()); }
  bool Is_empty() const { return _items.empty(); }
  // The item at a 0-based position below Count().
  const Kind& At(int position) const { return *_items.at(static_cast<std::size_t>(position)); }
  Kind& At(int position) { return *_items.at(static_cast<std::size_t>(position)); }
  // Whether `item` is one of the stored items (none is not).
  bool Contains(const Kind* item) const {
    for (const auto& stored : _items) {
      if (stored.get() == item) return true;
    }
    return false;
  }

 protected:
  // The title or creator search on the text that `field` reads.
  template <class Field>
  std::optional<Derived> Search_by(Field field, const std::string& value) const {
    std::optional<Derived> found =
        Copies_of([&](const Kind& item) { return std::invoke(field, item) == value; });
    if (not found) Write_line(Derived::texts.search_not_found);
    return found;
  }

 private:
  // The lookup of both forms of Find_by_call_number: the item found is as const as `list`.
  template <class List>
  static auto Stored_with(List& list, const std::string& call_number)
      -> std::conditional_t<std::is_const_v<List>, const Kind*, Kind*> {
    for (const auto& item : list._items) {
      if (item->Call_number() == call_number) return item.get();
    }
    Write_line(Derived::texts.lookup_not_found);
    return nullptr;
  }

  template <class Match>
  std::optional<Derived> Copies_of(Match match) const {
    std::optional<Derived> found;
    for (const auto& item : _items) {
      if (match(*item)) {
        if (not found) found.emplace();
        found->_items.push_back(std::make_unique<Kind>(item->Fresh_copy()));
      }
    }
    return found;
  }

  std::vector<std::unique_ptr<Kind>> _items;
};

#endif  // SHELVORANQUIST_CATALOGUE_ITEM_LIST_H_
