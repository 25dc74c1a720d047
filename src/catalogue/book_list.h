#ifndef SHELVORANQUIST_CATALOGUE_BOOK_LIST_H_
#define SHELVORANQUIST_CATALOGUE_BOOK_LIST_H_

#include <optional>
#include <string>

#include "catalogue/book.h"
#include "catalogue/item_list.h"

class BookList : public ItemList<BookList, Book> {
 public:
  static constexpr ItemListTexts texts{
      .heading = nullptr,
      .empty = "No Book in the library",
      .separator = "======================",
      .due_label = "Book loan due date : ",
      .search_not_found = "BOOK NOT FOUND!",
      .lookup_not_found = nullptr,
  };

  // A new collection of fresh copies of every item by this author, or none.
  std::optional<BookList> Search_by_author(const std::string& author) const {
    return Search_by(&Book::Author, author);
  }
};

#endif  // SHELVORANQUIST_CATALOGUE_BOOK_LIST_H_
