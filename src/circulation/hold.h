#ifndef SHELVORANQUIST_CIRCULATION_HOLD_H_
#define SHELVORANQUIST_CIRCULATION_HOLD_H_

#include <cstdint>

class Book;
class Cd;
class Video;
class Lendable;
class Member;

// One reserved item and the member it is held for. Exactly one of the book, CD and video is
// set. A record owns nothing: every copy names the same item and member objects, which must
// outlive it.
class Hold {
 public:
  Hold(Book* book, Member* member, std::int64_t key = 0)
      : _book(book), _member(member), _key(key) {}
  Hold(Cd* cd, Member* member, std::int64_t key = 0) : _cd(cd), _member(member), _key(key) {}
  Hold(Video* video, Member* member, std::int64_t key = 0)
      : _video(video), _member(member), _key(key) {}

  Book* Held_book() const { return _book; }
  Cd* Held_cd() const { return _cd; }
  Video* Held_video() const { return _video; }
  Member* Holder() const { return _member; }
  // The held item, whichever kind it is.
  Lendable* Held_item() const;
  // The key of the record in the storage.
  std::int64_t Key() const { return _key; }

 private:
  Book* _book = nullptr;
  Cd* _cd = nullptr;
  Video* _video = nullptr;
  Member* _member;
  std::int64_t _key;
};

#endif  // SHELVORANQUIST_CIRCULATION_HOLD_H_
