#ifndef SHELVORANQUIST_CONSOLE_DIALOGUE_H_
#define SHELVORANQUIST_CONSOLE_DIALOGUE_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/field_limit.h"
#include "console/console_input.h"

// The questions the screens ask: each writes its prompt (without a line end), discards
// type-ahead, reads one answer and, where an answer cannot be taken, says so and asks again.
// A prompt written without a line end is flushed only by the read, after the discard; a
// question or menu flushed with its lines is written after the discard instead.
// End of input surfaces as EndOfInput from every one of them.
class Dialogue {
 public:
  // `input` must outlive this object. `on_wait`, when given, is called before each read, and
  // `on_answer` once each answer is read and before it is handed back: the desk lets other
  // desks go on while a person types, and brings its records up to date when an answer comes.
  explicit Dialogue(ConsoleInput& input, std::function<void()> on_wait = {},
                    std::function<void()> on_answer = {})
      : _input(input), _on_wait(std::move(on_wait)), _on_answer(std::move(on_answer)) {}

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
  // Tells the desk that a read is about to wait.
  void Wait();
  // Hands back what a read returned, once the desk has been told that an answer came.
  template <class Answer>
  Answer Answered(Answer answer);
  // Text and Word: asks with `read` until an answer fits `most_characters`.
  std::string Bounded_text(std::string_view prompt, std::size_t most_characters, Bounded_read read);

  ConsoleInput& _input;
  std::function<void()> _on_wait;
  std::function<void()> _on_answer;
};

#endif  // SHELVORANQUIST_CONSOLE_DIALOGUE_H_
