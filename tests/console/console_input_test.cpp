#include "console/console_input.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include <sstream>

#include "console/file_input.h"
#include "support/captured_output.h"

namespace {

using testing::Eq;
using testing::Optional;

// A console reading `typed` through a pipe-like source.
class PipedInputTest : public testing::Test {
 protected:
  void Typed(const std::string& text) { _source.str(text); }
  ConsoleInput& input() { return _input; }

 private:
  std::stringbuf _source;
  ConsoleInput _input{_source, -1};
};

TEST_F(PipedInputTest, NumbersTakeASignAndDigitsAndLeaveTheRestOfTheLine) {
  Typed("  \n 12abc\n+7x\n-0042\n");
  EXPECT_THAT(input().Read_number(), Optional(12));
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(7));
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(-42));
}

TEST_F(PipedInputTest, WhatDoesNotStartAsANumberIsNoneAndTakesItsLineWithIt) {
  Typed("abc 5\n-\n+ 3\n6\n");
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(6));
}

TEST_F(PipedInputTest, NumbersOutsideThirtyTwoBitsAreNone) {
  Typed("2147483647\n2147483648\n-2147483648\n-2147483649\n99999999999999999999999\n1\n");
  EXPECT_THAT(input().Read_number(), Optional(2147483647));
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(-2147483647 - 1));
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_number(), std::nullopt);
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(1));
}

TEST_F(PipedInputTest, LinesAreBoundedAndLoseATrailingCarriageReturn) {
  const std::string longest(49, 'x');
  Typed(longest + "\r\n" + longest + "y\n\nlast\r");
  EXPECT_THAT(input().Read_line(49), Optional(longest));
  EXPECT_EQ(input().Read_line(49), std::nullopt);
  EXPECT_THAT(input().Read_line(49), Optional(std::string()));
  EXPECT_THAT(input().Read_line(49), Optional(std::string("last")));
  EXPECT_THROW(input().Read_line(49), EndOfInput);
}

TEST_F(PipedInputTest, LimitsCountCharactersAndTheTextIsKeptAsTyped) {
  const auto repeated = [](const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
  };
  const std::string euros = repeated("\xE2\x82\xAC", 49);
  const std::string cyrillic = repeated("\xD0\xAF", 49);
  const std::string stray = repeated("\xFF", 49);
  Typed(euros + "\r\n" + euros + "x\n" + cyrillic + "\n" + stray + "\n" + stray + "\xFF\n" +
        repeated("\xF0\x9F\x98\x80", 254) + " " + repeated("@", 255) + "\n");
  EXPECT_THAT(input().Read_line(49), Optional(euros));
  EXPECT_EQ(input().Read_line(49), std::nullopt);
  EXPECT_THAT(input().Read_line(49), Optional(cyrillic));
  EXPECT_THAT(input().Read_line(49), Optional(stray));
  EXPECT_EQ(input().Read_line(49), std::nullopt);
  EXPECT_THAT(input().Read_word(254), Optional(repeated("\xF0\x9F\x98\x80", 254)));
  EXPECT_EQ(input().Read_word(254), std::nullopt);
}

TEST_F(PipedInputTest, ALineReadDiscardsNothingAfterIt) {
  Typed("5\nname\nnext\n");
  EXPECT_THAT(input().Read_number(), Optional(5));
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_line(49), Optional(std::string("name")));
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_line(49), Optional(std::string("next")));
}

TEST_F(PipedInputTest, WordsAndAnswersSkipBlankLines) {
  Typed("\n\n  ann@example.org rest\n\n yes\n");
  EXPECT_EQ(input().Read_word(254), "ann@example.org");
  input().Discard_pending_input();
  EXPECT_EQ(input().Read_answer(), 'y');
  input().Discard_pending_input();
  EXPECT_THROW(input().Read_answer(), EndOfInput);
}

TEST_F(PipedInputTest, BytesAreOrdinaryCharacters) {
  Typed(std::string("a\0b\xff\n", 5));
  EXPECT_THAT(input().Read_line(49), Optional(std::string("a\0b\xff", 4)));
}

TEST_F(PipedInputTest, NothingIsDiscardedBeforeTheFirstRead) {
  Typed("3\n");
  input().Discard_pending_input();
  EXPECT_THAT(input().Read_number(), Optional(3));
}

TEST_F(PipedInputTest, EndOfInputEndsEveryKindOfRead) {
  Typed("   \n  ");
  EXPECT_THROW(input().Read_number(), EndOfInput);
  EXPECT_THROW(input().Read_word(254), EndOfInput);
  EXPECT_THROW(input().Read_line(49), EndOfInput);
}

TEST(ConsoleInputTest, ReadingFlushesThePromptFirst) {
  CapturedOutput output;
  std::stringbuf source("1\n");
  ConsoleInput input(source, -1);
  std::cout << "selection : ";
  ASSERT_THAT(input.Read_number(), Optional(1));
  EXPECT_EQ(output.Text(), "selection : ");
}

// A terminal, opened as a pseudo-terminal pair: what the test writes to `keyboard` is what the
// program finds typed on `terminal`.
class TerminalInputTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(openpty(&keyboard, &terminal, nullptr, nullptr, nullptr), 0); }
  void TearDown() override {
    close(keyboard);
    close(terminal);
  }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(keyboard, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    tcdrain(keyboard);
    // Let the line discipline deliver what was typed.
    usleep(20000);
  }

  int keyboard = -1;
  int terminal = -1;
};

TEST_F(TerminalInputTest, TypeAheadIsDroppedWithoutWaiting) {
  FileInput source(terminal);
  ConsoleInput input(source, terminal);
  Type("1 extra\n");
  ASSERT_THAT(input.Read_number(), Optional(1));
  Type("2\n3\n");  // typed ahead, before the next prompt
  input.Discard_pending_input();
  Type("4\n");
  EXPECT_THAT(input.Read_number(), Optional(4));
  // With nothing typed ahead, discarding returns at once rather than waiting for a line.
  input.Discard_pending_input();
  Type("5\n");
  EXPECT_THAT(input.Read_number(), Optional(5));
}

}  // namespace
