#include "catalogue/item.h"

#include <iostream>
#include <utility>

Item::Item(std::string call_number, std::string title)
    : _call_number(std::move(call_number)), _title(std::move(title)) {}

void Item::Print() const {
  std::cout << "Title       :" << _title << std::endl;
  std::cout << "Call number :" << _call_number << std::endl;
}
