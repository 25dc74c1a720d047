#ifndef SHELVORANQUIST_CATALOGUE_ITEM_H_
#define SHELVORANQUIST_CATALOGUE_ITEM_H_

#include <string>

// What every catalogue item has: its call number, which the screens call the bar code, and its
// title. Texts are stored as given and compared byte for byte.
class Item {
 public:
  Item() = default;
  Item(std::string call_number, std::string title);

  const std::string& Call_number() const { return _call_number; }
  const std::string& Title() const { return _title; }

  // Writes "Title       :" with the title and "Call number :" with the call number, a line each.
  void Print() const;

 private:
  std::string _call_number;
  std::string _title;
};

#endif  // SHELVORANQUIST_CATALOGUE_ITEM_H_
