#ifndef SHELVORANQUIST_CATALOGUE_ITEM_H_
#define SHELVORANQUIST_CATALOGUE_ITEM_H_

#include <cstdint>
#include <string>

// What every catalogue item has: its call number, which the screens call the bar code, and its
// title. Texts are stored as given and compared byte for byte.
class Item {
 public:
  Item() = default;
  Item(std::string call_number, std::string title);

  const std::string& Call_number() const { return _call_number; }
  const std::string& Title() const { return _title; }
  // The key of the item's record in the storage; 0 for an item that is not stored (a fresh copy
  // of a search). Set once, when the item is stored.
  std::int64_t Key() const { return _key; }
  void Set_key(std::int64_t key) { _key = key; }

  // Writes "Title       :" with the title and "Call number :" with the call number, a line each.
  void Print() const;

 private:
  std::string _call_number;
  std::string _title;
  std::int64_t _key = 0;
};

#endif  // SHELVORANQUIST_CATALOGUE_ITEM_H_
