#ifndef SHELVORANQUIST_CIRCULATION_HOLD_LIST_H_
#define SHELVORANQUIST_CIRCULATION_HOLD_LIST_H_

#include <vector>

#include "circulation/hold.h"

// The controller's register of current holds, oldest first. Entries are matched by the item
// object and the member object themselves.
class HoldList {
 public:
  void Add(const Hold& hold) { _entries.push_back(hold); }

  // The entry of this item held for this member, or none. The result stays valid until the
  // register next changes.
  const Hold* Find_book_hold(const Book& book, const Member& member) const;
  const Hold* Find_cd_hold(const Cd& cd, const Member& member) const;
  const Hold* Find_video_hold(const Video& video, const Member& member) const;
  const Hold* Find_hold_of(const Lendable& item, const Member& member) const;

  // Removes the entry that `entry` designates, as a lookup has just returned it. A pointer to
  // anything but one of this register's entries, none included, removes nothing.
  void Remove(const Hold* entry);

  const std::vector<Hold>& Entries() const { return _entries; }

 private:
  std::vector<Hold> _entries;
};

#endif  // SHELVORANQUIST_CIRCULATION_HOLD_LIST_H_
