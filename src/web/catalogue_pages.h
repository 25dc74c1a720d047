#ifndef SHELVORANQUIST_WEB_CATALOGUE_PAGES_H_
#define SHELVORANQUIST_WEB_CATALOGUE_PAGES_H_

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/catalogue_search.h"
#include "web/catalogue_query.h"

// What the catalogue answers to a request, whole: the server adds only the framing (the status
// line, Content-Length, Connection).
struct WebResponse {
  int status = 200;
  std::string content_type = "text/html; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers{};  // each beside Content-Type
  std::string body{};
};

// The public catalogue's pages, each built from the request alone and the records as a search
// finds them: GET or HEAD of / (the search form), /search (the results; CatalogueQuery says
// what it reads) and /style.css; any other address is not found, any other method not allowed.
// Every response forbids scripts and framing and is not kept by caches, but the stylesheet.
// Nothing here knows of members: the records are read only through CatalogueSearch.
class CataloguePages {
 public:
  // Says, in one line, why the records could not be read for a request that then got 503.
  using FailureReport = std::function<void(std::string_view reason)>;

  // `search` must outlive the pages. Respond may be called from several threads at once, and
  // so then are `search` and `report_failure`.
  CataloguePages(CatalogueSearch& search, FailureReport report_failure);

  // The answer to a request of `method` for `path` (decoded from the address), with the
  // parameters of its query; a HEAD request gets the body a GET gets, and the server leaves
  // it out. When the parameters are refused, the records are not read.
  WebResponse Respond(std::string_view method, std::string_view path,
                      const CatalogueQuery::Parameters& parameters) const;

  // The page for a request that the server refused with `status` (400 to 599) before it could
  // be read whole: malformed (400), an address too long to read (414), and the like.
  static WebResponse Refusal(int status);

 private:
  WebResponse Search(const CatalogueQuery::Parameters& parameters) const;

  CatalogueSearch& _search;
  FailureReport _report_failure;
};

#endif  // SHELVORANQUIST_WEB_CATALOGUE_PAGES_H_
