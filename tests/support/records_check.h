#ifndef SHELVORANQUIST_TESTS_SUPPORT_RECORDS_CHECK_H_
#define SHELVORANQUIST_TESTS_SUPPORT_RECORDS_CHECK_H_

#include <string>
#include <vector>

#include "console/library.h"

// What is wrong with the library's records, one line per fault; empty when every item's current
// loan and hold appear exactly once in the right member's list and in the register, nothing else
// does, and every selection designates a stored object or none. The oracle of the tests and the
// fuzz target: the desk itself never needs it.
std::vector<std::string> Record_faults(const Library& library);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_RECORDS_CHECK_H_
