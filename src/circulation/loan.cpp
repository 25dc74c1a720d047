#include "circulation/loan.h"

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"

Lendable* Loan::Borrowed_item() const {
  if (_book != nullptr) return _book;
  if (_cd != nullptr) return _cd;
  return _video;
}
