#ifndef SHELVORANQUIST_CONSOLE_DIALOGUE_H_
#define SHELVORANQUIST_CONSOLE_DIALOGUE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "console/console_input.h"

// The most characters each field of the screens takes; Text and Word refuse a longer answer.
// README and the manual page give the same list.
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

// The questions the screens ask: each writes its prompt (without a line end), discards
// type-ahead, reads one answer and, where an answer cannot be taken, says so and asks again.
// A prompt written without a line end is flushed only by the read, after the discard; a
// question or menu flushed with its lines is written after the discard instead.
// End of input surfaces as EndOfInput from every one of them.
class Dialogue {
 public:
  // `input` must outlive this object.
  explicit Dialogue(ConsoleInput& input) : _input(input) {}

  // A menu's selection; none for anything that is not a number. An empty prompt writes nothing.
  std::optional<int> Choice(std::string_view prompt);
  // The same for a menu without a prompt, whose rows are flushed as they are written:
  // `write_menu` writes it once type-ahead is discarded, so that an answer typed as soon as the
  // menu appears is kept.
  std::optional<int> Choice(void (*write_menu)());

  // A number; a non-number writes "PLEASE ENTER A NUMBER!" and asks again.
  int Number(std::string_view prompt);

  // A number of 0 or more; a negative one writes `negative_message` and asks again.
  int Non_negative_number(std::string_view prompt, std::string_view negative_message);

  // One line of at most `most_characters` (a field_limit); a longer one writes
  // "PLEASE ENTER AT MOST <most_characters> CHARACTERS!" and asks again.
  std::string Text(std::string_view prompt, std::size_t most_characters);

  // One word of at most `most_characters`, refused and asked again as Text does; whatever
  // follows it on the line is dropped by the next question.
  std::string Word(std::string_view prompt, std::size_t most_characters);

  // Writes `question` as a line of its own and reads an answer; only a lower-case "y" is yes.
  bool Yes(std::string_view question);

 private:
  // A read of ConsoleInput that refuses an answer longer than the characters it is given.
  using Bounded_read = std::optional<std::string> (ConsoleInput::*)(std::size_t);

  void Ask(std::string_view prompt);
  // Text and Word: asks with `read` until an answer fits `most_characters`.
  std::string Bounded_text(std::string_view prompt, std::size_t most_characters, Bounded_read read);

  ConsoleInput& _input;
};

#endif  // SHELVORANQUIST_CONSOLE_DIALOGUE_H_
