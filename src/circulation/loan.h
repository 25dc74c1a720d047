#ifndef SHELVORANQUIST_CIRCULATION_LOAN_H_
#define SHELVORANQUIST_CIRCULATION_LOAN_H_

class Book;
class Cd;
class Video;
class Lendable;
class Member;

// One lent item and its borrower. Exactly one of the book, CD and video is set. A record owns
// nothing: every copy names the same item and member objects, which must outlive it.
class Loan {
 public:
  Loan(Book* book, Member* member) : _book(book), _member(member) {}
  Loan(Cd* cd, Member* member) : _member(member), _cd(cd) {}
  Loan(Video* video, Member* member) : _member(member), _video(video) {}

  Book* Borrowed_book() const { return _book; }
  Member* Borrower() const { return _member; }
  Cd* Borrowed_cd() const { return _cd; }
  Video* Borrowed_video() const { return _video; }
  // The lent item, whichever kind it is.
  Lendable* Borrowed_item() const;

 private:
  Book* _book = nullptr;
  Member* _member;
  Cd* _cd = nullptr;
  Video* _video = nullptr;
};

#endif  // SHELVORANQUIST_CIRCULATION_LOAN_H_
