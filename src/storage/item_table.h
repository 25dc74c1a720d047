#ifndef SHELVORANQUIST_STORAGE_ITEM_TABLE_H_
#define SHELVORANQUIST_STORAGE_ITEM_TABLE_H_

#include <array>
#include <string>

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/journal.h"
#include "catalogue/video.h"

// The table of one kind of item, as data: its name, its statements, and the item's texts in the
// order of its columns, which is the order of the kind's constructor. A lendable kind's columns
// go on with loan_days and the due stamp (due_year to due_minute); the key is `id`.
template <class Kind>
struct ItemTable;

template <class Kind>
using TextField = const std::string& (Kind::*)() const;

template <>
struct ItemTable<Book> {
  static constexpr const char* name = "books";
  static constexpr std::array<TextField<Book>, 3> texts{&Book::Call_number, &Book::Title,
                                                        &Book::Author};
  static constexpr const char* select =
      "SELECT id, bar_code, title, author, loan_days, due_year, due_month, due_day, due_hour, "
      "due_minute FROM books ORDER BY id";
  static constexpr const char* insert =
      "INSERT INTO books (bar_code, title, author, loan_days, due_year, due_month, due_day, "
      "due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
  static constexpr const char* remove = "DELETE FROM books WHERE id = ?";
  static constexpr const char* set_due =
      "UPDATE books SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, due_minute = ? "
      "WHERE id = ?";
};

template <>
struct ItemTable<Cd> {
  static constexpr const char* name = "cds";
  static constexpr std::array<TextField<Cd>, 4> texts{&Cd::Call_number, &Cd::Title, &Cd::Artist,
                                                      &Cd::Play_time};
  static constexpr const char* select =
      "SELECT id, bar_code, title, artist, play_time, loan_days, due_year, due_month, due_day, "
      "due_hour, due_minute FROM cds ORDER BY id";
  static constexpr const char* insert =
      "INSERT INTO cds (bar_code, title, artist, play_time, loan_days, due_year, due_month, "
      "due_day, due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
  static constexpr const char* remove = "DELETE FROM cds WHERE id = ?";
  static constexpr const char* set_due =
      "UPDATE cds SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, due_minute = ? "
      "WHERE id = ?";
};

template <>
struct ItemTable<Journal> {
  static constexpr const char* name = "journals";
  static constexpr std::array<TextField<Journal>, 4> texts{
      &Journal::Call_number, &Journal::Title, &Journal::Editor, &Journal::Table_of_contents};
  static constexpr const char* select =
      "SELECT id, bar_code, title, editor, table_of_contents FROM journals ORDER BY id";
  static constexpr const char* insert =
      "INSERT INTO journals (bar_code, title, editor, table_of_contents) VALUES (?, ?, ?, ?)";
  static constexpr const char* remove = "DELETE FROM journals WHERE id = ?";
};

template <>
struct ItemTable<Video> {
  static constexpr const char* name = "videos";
  static constexpr std::array<TextField<Video>, 4> texts{&Video::Call_number, &Video::Title,
                                                         &Video::Director, &Video::Rating};
  static constexpr const char* select =
      "SELECT id, bar_code, title, director, rating, loan_days, due_year, due_month, due_day, "
      "due_hour, due_minute FROM videos ORDER BY id";
  static constexpr const char* insert =
      "INSERT INTO videos (bar_code, title, director, rating, loan_days, due_year, due_month, "
      "due_day, due_hour, due_minute) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
  static constexpr const char* remove = "DELETE FROM videos WHERE id = ?";
  static constexpr const char* set_due =
      "UPDATE videos SET due_year = ?, due_month = ?, due_day = ?, due_hour = ?, due_minute = ? "
      "WHERE id = ?";
};

#endif  // SHELVORANQUIST_STORAGE_ITEM_TABLE_H_
