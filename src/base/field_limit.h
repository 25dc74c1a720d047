#ifndef SHELVORANQUIST_BASE_FIELD_LIMIT_H_
#define SHELVORANQUIST_BASE_FIELD_LIMIT_H_

#include <cstddef>

// The most characters each field of the records takes, counted as CharacterCount counts them:
// the screens refuse a longer answer, and the storage refuses a longer text read back. README
// and the manual page give the same list.
namespace field_limit {
inline constexpr std::size_t name = 49;
inline constexpr std::size_t address = 99;
inline constexpr std::size_t phone_number = 49;
// The longest address that mail systems deliver to.
inline constexpr std::size_t email_address = 254;
inline constexpr std::size_t bar_code = 49;
inline constexpr std::size_t title = 49;
// The author of a book, the artist of a CD, the editor of a journal, the director of a video.
inline constexpr std::size_t creator = 49;
inline constexpr std::size_t table_of_contents = 149;
inline constexpr std::size_t rating = 19;
inline constexpr std::size_t play_time = 49;
}  // namespace field_limit

#endif  // SHELVORANQUIST_BASE_FIELD_LIMIT_H_
