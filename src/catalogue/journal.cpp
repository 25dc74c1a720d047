#include "catalogue/journal.h"

#include <iostream>
#include <utility>

Journal::Journal(std::string call_number, std::string title, std::string editor,
                 std::string table_of_contents)
    : Item(std::move(call_number), std::move(title)),
      _editor(std::move(editor)),
      _table_of_contents(std::move(table_of_contents)) {}

void Journal::Print_details() const {
  std::cout << "The details of the journal:  " << std::endl;
  Print();
  std::cout << "Editor's Name\t:" << _editor << std::endl;
  std::cout << "Table of Contents   :" << _table_of_contents << std::endl;
}
