#ifndef SHELVORANQUIST_CATALOGUE_BOOK_H_
#define SHELVORANQUIST_CATALOGUE_BOOK_H_

#include <string>

#include "catalogue/lendable.h"

class Book : public Lendable {
 public:
  Book() : Lendable("BOOK") {}
  Book(std::string call_number, std::string title, std::string author, int loan_days);

  const std::string& Author() const { return _author; }

  Book Fresh_copy() const { return Book(Call_number(), Title(), _author, Loan_days()); }

  // "The details of the Book:  ", the title and call number lines, "Author's Name\t:" author.
  void Print_details() const;

 private:
  std::string _author;
};

#endif  // SHELVORANQUIST_CATALOGUE_BOOK_H_
