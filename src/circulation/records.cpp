#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"
#include "circulation/hold.h"
#include "circulation/loan.h"

namespace {

Lendable* Whichever(Book* book, Cd* cd, Video* video) {
  if (book != nullptr) return book;
  if (cd != nullptr) return cd;
  return video;
}

}  // namespace

Lendable* Loan::Borrowed_item() const { return Whichever(_book, _cd, _video); }

Lendable* Hold::Held_item() const { return Whichever(_book, _cd, _video); }
