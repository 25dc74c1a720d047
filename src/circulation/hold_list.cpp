#include "circulation/hold_list.h"

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"

const Hold* HoldList::Find_hold_of(const Lendable& item, const Member& member) const {
  for (const Hold& entry : _entries) {
    if (entry.Held_item() == &item and entry.Holder() == &member) return &entry;
  }
  return nullptr;
}

const Hold* HoldList::Find_book_hold(const Book& book, const Member& member) const {
  return Find_hold_of(book, member);
}

const Hold* HoldList::Find_cd_hold(const Cd& cd, const Member& member) const {
  return Find_hold_of(cd, member);
}

const Hold* HoldList::Find_video_hold(const Video& video, const Member& member) const {
  return Find_hold_of(video, member);
}

void HoldList::Remove(const Hold* entry) {
  std::erase_if(_entries, [entry](const Hold& stored) { return &stored == entry; });
}
