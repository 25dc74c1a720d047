#include "web/html_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Escape {
  const char* what;
  std::string text;
  std::string html;
};

class HtmlPageTextTest : public ::testing::TestWithParam<Escape> {};

TEST_P(HtmlPageTextTest, ShowsAnyBytesAsTextInValidUtf8) {
  HtmlPage page;
  page.Html("<p title=\"").Text(GetParam().text).Html("\">");
  EXPECT_EQ(page.Written(), "<p title=\"" + GetParam().html + "\">");
}

#define U_FFFD "\xEF\xBF\xBD"

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlPageTextTest,
    ::testing::Values(
        Escape{"script", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        Escape{"quotes_and_ampersand", "\"a\" & 'b'", "&quot;a&quot; &amp; &#39;b&#39;"},
        Escape{"letters_of_every_length", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
               "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        Escape{"control_characters",
               std::string("a\0b\tc\x7F"
                           "d\xC2\x85"
                           "e",
                           10),
               "a" U_FFFD "b" U_FFFD "c" U_FFFD "d" U_FFFD "e"},
        Escape{"stray_bytes", "\xFF<\x80", U_FFFD "&lt;" U_FFFD},
        Escape{"sequence_cut_short", "\xE2\x82<", U_FFFD U_FFFD "&lt;"},
        Escape{"overlong_and_surrogate", "\xC0\xBC\xED\xA0\x80",
               U_FFFD U_FFFD U_FFFD U_FFFD U_FFFD},
        Escape{"past_u10ffff", "\xF4\x90\x80\x80", U_FFFD U_FFFD U_FFFD U_FFFD}),
    [](const auto& test) { return std::string(test.param.what); });

}  // namespace
