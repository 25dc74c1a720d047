#ifndef SHELVORANQUIST_CATALOGUE_CD_LIST_H_
#define SHELVORANQUIST_CATALOGUE_CD_LIST_H_

#include <optional>
#include <string>

#include "catalogue/cd.h"
#include "catalogue/item_list.h"

class CdList : public ItemList<CdList, Cd> {
 public:
  static constexpr ItemListTexts texts{
      .heading = nullptr,
      .empty = "No CD in the library",
      .separator = nullptr,
      .due_label = "CD loan due date : ",
      .search_not_found = "CD NOT FOUND!",
      .lookup_not_found = nullptr,
  };

  // A new collection of fresh copies of every item by this artist, or none.
  std::optional<CdList> Search_by_artist(const std::string& artist) const {
    return Search_by(&Cd::Artist, artist);
  }
};

#endif  // SHELVORANQUIST_CATALOGUE_CD_LIST_H_
