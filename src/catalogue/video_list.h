#ifndef SHELVORANQUIST_CATALOGUE_VIDEO_LIST_H_
#define SHELVORANQUIST_CATALOGUE_VIDEO_LIST_H_

#include <optional>
#include <string>

#include "catalogue/item_list.h"
#include "catalogue/video.h"

class VideoList : public ItemList<VideoList, Video> {
 public:
  static constexpr ItemListTexts texts{
      .heading = nullptr,
      .empty = "No video in the library",
      .separator = nullptr,
      .due_label = "Video loan due date : ",
      .search_not_found = "VIDEO NOT FOUND!",
      .lookup_not_found = nullptr,
  };

  // A new collection of fresh copies of every item by this director, or none.
  std::optional<VideoList> Search_by_director(const std::string& director) const {
    return Search_by(&Video::Director, director);
  }
};

#endif  // SHELVORANQUIST_CATALOGUE_VIDEO_LIST_H_
