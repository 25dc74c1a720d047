#include "catalogue/book.h"

#include <iostream>
#include <utility>

Book::Book(std::string call_number, std::string title, std::string author, int loan_days)
    : Lendable("BOOK", std::move(call_number), std::move(title), loan_days),
      _author(std::move(author)) {}

void Book::Print_details() const {
  std::cout << "The details of the Book:  " << std::endl;
  Print();
  std::cout << "Author's Name\t:" << _author << std::endl;
}
