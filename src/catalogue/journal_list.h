#ifndef SHELVORANQUIST_CATALOGUE_JOURNAL_LIST_H_
#define SHELVORANQUIST_CATALOGUE_JOURNAL_LIST_H_

#include <optional>
#include <string>

#include "catalogue/item_list.h"
#include "catalogue/journal.h"

class JournalList : public ItemList<JournalList, Journal> {
 public:
  static constexpr ItemListTexts texts{
      .heading = "The details of the journal\t:",
      .empty = "No journal in the library",
      .separator = nullptr,
      .due_label = nullptr,
      .search_not_found = nullptr,
      .lookup_not_found = "Journal NOT FOUND!",
  };

  // A new collection of fresh copies of every item by this editor, or none.
  std::optional<JournalList> Search_by_editor(const std::string& editor) const {
    return Search_by(&Journal::Editor, editor);
  }
};

#endif  // SHELVORANQUIST_CATALOGUE_JOURNAL_LIST_H_
