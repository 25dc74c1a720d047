#ifndef SHELVORANQUIST_WEB_HTML_PAGE_H_
#define SHELVORANQUIST_WEB_HTML_PAGE_H_

#include <string>
#include <string_view>

// A web page as it is written, from two kinds of pieces: markup written in this program's own
// source, and text from anywhere else (the records, the request), which enters the page only
// through the one escape of Text. So a title typed at the desk as "<script>" shows as those
// characters and never becomes markup.
class HtmlPage {
 public:
  // Markup of the program's own: the constructor takes only a constant, so that no text read at
  // run time can become markup.
  class Markup {
   public:
    consteval Markup(const char* markup)  // NOLINT(google-explicit-constructor): literals only
        : _markup(markup) {}

    std::string_view View() const { return _markup; }

   private:
    std::string_view _markup;
  };

  HtmlPage& Html(Markup markup);

  // Appends `text` (any bytes) as ShownText (web/shown_text.h) shows it, with &, <, >, " and '
  // escaped, so that it stays text inside an element and inside a quoted attribute value alike.
  HtmlPage& Text(std::string_view text);

  const std::string& Written() const { return _html; }

 private:
  std::string _html;
};

#endif  // SHELVORANQUIST_WEB_HTML_PAGE_H_
