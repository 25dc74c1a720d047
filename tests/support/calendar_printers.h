#ifndef SHELVORANQUIST_TESTS_SUPPORT_CALENDAR_PRINTERS_H_
#define SHELVORANQUIST_TESTS_SUPPORT_CALENDAR_PRINTERS_H_

#include <ostream>

#include "calendar/date_time.h"

// GoogleTest's printers of the calendar's values, which it finds by the argument's type: a failed
// EXPECT_EQ shows "25/12/2026 15:07" instead of the object's bytes. A year before the era is
// followed by " before the era".
void PrintTo(const Year& year, std::ostream* out);
void PrintTo(const Month& month, std::ostream* out);
void PrintTo(const Date& date, std::ostream* out);
void PrintTo(const Time& time, std::ostream* out);
void PrintTo(const DateTime& stamp, std::ostream* out);

#endif  // SHELVORANQUIST_TESTS_SUPPORT_CALENDAR_PRINTERS_H_
