#include "support/calendar_printers.h"

#include <iomanip>

void PrintTo(const Year& year, std::ostream* out) {
  *out << year.Number();
  if (year.Era() == 0) *out << " before the era";
}

void PrintTo(const Month& month, std::ostream* out) {
  *out << month.Number() << '/';
  PrintTo(month.Of_year(), out);
}

void PrintTo(const Date& date, std::ostream* out) {
  *out << date.Day() << '/';
  PrintTo(date.Of_month(), out);
}

void PrintTo(const Time& time, std::ostream* out) {
  *out << time.Hour() << ':' << std::setw(2) << std::setfill('0') << time.Minute()
       << std::setfill(' ');
}

void PrintTo(const DateTime& stamp, std::ostream* out) {
  PrintTo(stamp.Day(), out);
  *out << ' ';
  PrintTo(stamp.Time_of_day(), out);
}
