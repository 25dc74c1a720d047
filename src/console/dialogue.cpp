#include "console/dialogue.h"

#include <iostream>

namespace {

// Writes the refusal of a text longer than `most_characters`.
void Refuse_length(std::size_t most_characters) {
  std::cout << "PLEASE ENTER AT MOST " << most_characters << " CHARACTERS!" << std::endl;
}

}  // namespace

void Dialogue::Wait() {
  if (_on_wait) _on_wait();
}

template <class Answer>
Answer Dialogue::Answered(Answer answer) {
  if (_on_answer) _on_answer();
  return answer;
}

void Dialogue::Ask(std::string_view prompt) {
  Wait();
  std::cout << prompt;
  _input.Discard_pending_input();
}

std::optional<int> Dialogue::Choice(std::string_view prompt) {
  Ask(prompt);
  return Answered(_input.Read_number());
}

std::optional<int> Dialogue::Choice(void (*write_menu)()) {
  Wait();
  _input.Discard_pending_input();
  write_menu();
  return Answered(_input.Read_number());
}

int Dialogue::Number(std::string_view prompt) {
  for (;;) {
    Ask(prompt);
    if (const std::optional<int> number = Answered(_input.Read_number())) return *number;
    std::cout << "PLEASE ENTER A NUMBER!" << std::endl;
  }
}

int Dialogue::Non_negative_number(std::string_view prompt, std::string_view negative_message) {
  for (;;) {
    const int number = Number(prompt);
    if (number >= 0) return number;
    std::cout << negative_message << std::endl;
  }
}

std::string Dialogue::Text(std::string_view prompt, std::size_t most_characters) {
  return Bounded_text(prompt, most_characters, &ConsoleInput::Read_line);
}

std::string Dialogue::Word(std::string_view prompt, std::size_t most_characters) {
  return Bounded_text(prompt, most_characters, &ConsoleInput::Read_word);
}

std::string Dialogue::Bounded_text(std::string_view prompt, std::size_t most_characters,
                                   Bounded_read read) {
  for (;;) {
    Ask(prompt);
    if (std::optional<std::string> text = Answered((_input.*read)(most_characters))) {
      return std::move(*text);
    }
    Refuse_length(most_characters);
  }
}

bool Dialogue::Yes(std::string_view question) {
  // The question is flushed with its line: type-ahead goes first, so that an answer typed as
  // soon as the question appears is kept.
  Wait();
  _input.Discard_pending_input();
  std::cout << question << std::endl;
  return Answered(_input.Read_answer()) == 'y';
}
