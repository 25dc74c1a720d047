#ifndef SHELVORANQUIST_CIRCULATION_LOAN_H_
#define SHELVORANQUIST_CIRCULATION_LOAN_H_

#include <cstdint>

class Book;
class Cd;
class Video;
class Lendable;
class Member;

// One lent item and its borrower. Exactly one of the book, CD and video is set. A record owns
// nothing: every copy names the same item and member objects, which must outlive it.
class Loan {
 public:
  Loan(Book* book, Member* member, std::int64_t key = 0)
      : _book(book), _member(member), _key(key) {}
  Loan(Cd* cd, Member* member, std::int64_t key = 0) : _member(member), _cd(cd), _key(key) {}
  Loan(Video* video, Member* member, std::int64_t key = 0)
      : _member(member), _video(video), _key(key) {}

  Book* Borrowed_book() const { return _book; }
  Member* Borrower() const { return _member; }
  Cd* Borrowed_cd() const { return _cd; }
  Video* Borrowed_video() const { return _video; }
  // The lent item, whichever kind it is.
  Lendable* Borrowed_item() const;
  // The key of the record in the storage.
  std::int64_t Key() const { return _key; }

 private:
  Book* _book = nullptr;
  Member* _member;
  Cd* _cd = nullptr;
  Video* _video = nullptr;
  std::int64_t _key;
};

#endif  // SHELVORANQUIST_CIRCULATION_LOAN_H_
