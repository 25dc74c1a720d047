#include "console/dialogue.h"

#include <iostream>

namespace {

// Writes the refusal of a text longer than a field of `size` allows.
void Refuse_length(int size) {
  std::cout << "PLEASE ENTER AT MOST " << size - 1 << " CHARACTERS!" << std::endl;
}

}  // namespace

void Dialogue::Ask(std::string_view prompt) {
  std::cout << prompt;
  _input.Discard_pending_input();
}

std::optional<int> Dialogue::Choice(std::string_view prompt) {
  Ask(prompt);
  return _input.Read_number();
}

std::optional<int> Dialogue::Choice(void (*write_menu)()) {
  _input.Discard_pending_input();
  write_menu();
  return _input.Read_number();
}

int Dialogue::Number(std::string_view prompt) {
  for (;;) {
    Ask(prompt);
    if (const std::optional<int> number = _input.Read_number()) return *number;
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

std::string Dialogue::Text(std::string_view prompt, int size) {
  for (;;) {
    Ask(prompt);
    if (std::optional<std::string> line = _input.Read_line(size)) return std::move(*line);
    Refuse_length(size);
  }
}

std::string Dialogue::Word(std::string_view prompt, int size) {
  for (;;) {
    Ask(prompt);
    if (std::optional<std::string> word = _input.Read_word(size)) return std::move(*word);
    Refuse_length(size);
  }
}

bool Dialogue::Yes(std::string_view question) {
  // The question is flushed with its line: type-ahead goes first, so that an answer typed as
  // soon as the question appears is kept.
  _input.Discard_pending_input();
  std::cout << question << std::endl;
  return _input.Read_answer() == 'y';
}
