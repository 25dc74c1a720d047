#include "circulation/hold.h"

#include "catalogue/book.h"
#include "catalogue/cd.h"
#include "catalogue/video.h"

Lendable* Hold::Held_item() const {
  if (_book != nullptr) return _book;
  if (_cd != nullptr) return _cd;
  return _video;
}
