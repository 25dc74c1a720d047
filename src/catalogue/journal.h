#ifndef SHELVORANQUIST_CATALOGUE_JOURNAL_H_
#define SHELVORANQUIST_CATALOGUE_JOURNAL_H_

#include <string>

#include "catalogue/item.h"

// A journal is a catalogue entry only: it is never lent or held.
class Journal : public Item {
 public:
  Journal() = default;
  Journal(std::string call_number, std::string title, std::string editor,
          std::string table_of_contents);

  const std::string& Editor() const { return _editor; }
  const std::string& Table_of_contents() const { return _table_of_contents; }

  Journal Fresh_copy() const { return *this; }

  // "The details of the journal:  ", the title and call number lines, "Editor's Name\t:"
  // editor, "Table of Contents   :" table of contents.
  void Print_details() const;

 private:
  std::string _editor;
  std::string _table_of_contents;
};

#endif  // SHELVORANQUIST_CATALOGUE_JOURNAL_H_
