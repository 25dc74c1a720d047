#ifndef SHELVORANQUIST_TESTS_SUPPORT_RECORDS_TEXT_H_
#define SHELVORANQUIST_TESTS_SUPPORT_RECORDS_TEXT_H_

#include <string>

#include "console/library.h"

// Everything a library holds that a later screen can show, as text, a line per record: the
// members in register order with every field and their own loans and holds, the blank member's
// loans and holds, every item of the four collections in order with every field, its due stamp
// and its current loan and hold, and the two registers in order. Members and items are named
// by their places, so duplicates are told apart; selections are left out. Two libraries with
// the same text show the same from here on.
std::string Records_text(const Library& library);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_RECORDS_TEXT_H_
