#include "calendar/clock.h"

#include <utility>

#include "base/check.h"

namespace {

std::function<std::time_t()>& Time_source() {
  static std::function<std::time_t()> source;
  return source;
}

}  // namespace

Clock_reading Read_clock() {
  const std::time_t now = Time_source() ? Time_source()() : std::time(nullptr);
  std::tm local{};
  const bool converted = localtime_r(&now, &local) != nullptr;
  SHELVORANQUIST_CHECK(converted, "the clock reads as a local time");
  return Clock_reading{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                       local.tm_min};
}

std::function<std::time_t()> Set_time_source(std::function<std::time_t()> source) {
  return std::exchange(Time_source(), std::move(source));
}
