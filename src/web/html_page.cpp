#include "web/html_page.h"

#include "web/shown_text.h"

HtmlPage& HtmlPage::Html(Markup markup) {
  _html += markup.View();
  return *this;
}

HtmlPage& HtmlPage::Text(std::string_view text) {
  const ShownText shown(text);
  for (const char character : shown.Text()) {
    switch (character) {
      case '&':
        _html += "&amp;";
        break;
      case '<':
        _html += "&lt;";
        break;
      case '>':
        _html += "&gt;";
        break;
      case '"':
        _html += "&quot;";
        break;
      case '\'':
        _html += "&#39;";
        break;
      default:
        _html += character;
    }
  }
  return *this;
}
