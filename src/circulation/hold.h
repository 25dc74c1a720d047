#ifndef SHELVORANQUIST_CIRCULATION_HOLD_H_
#define SHELVORANQUIST_CIRCULATION_HOLD_H_

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
  Hold(Book* book, Member* member) : _book(book), _member(member) {}
  Hold(Cd* cd, Member* member) : _cd(cd), _member(member) {}
  Hold(Video* video, Member* member) : _video(video), _member(member) {}

  Book* Held_book() const { return _book; }
  Cd* Held_cd() const { return _cd; }
  Video* Held_video() const { return _video; }
  Member* Holder() const { return _member; }
  // The held item, whichever kind it is.
  Lendable* Held_item() const;

 private:
  Book* _book = nullptr;
  Cd* _cd = nullptr;
  Video* _video = nullptr;
  Member* _member;
};

#endif  // SHELVORANQUIST_CIRCULATION_HOLD_H_
