#ifndef SHELVORANQUIST_FUZZ_CATALOGUE_WEB_SESSION_H_
#define SHELVORANQUIST_FUZZ_CATALOGUE_WEB_SESSION_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Answers one request made of `data` with the public catalogue's pages (CataloguePages) over
// records that a fake search makes of `data` too, and returns what is wrong with the answer, one
// line per fault; empty when nothing is. Shared by the fuzz target and the replay of kept inputs.
//
// The bytes up to the first line end are the method, those up to the second the request target
// (a path, then "?" and a query), decoded and parsed by cpp-httplib as the server does; each
// further line is a text of the results in turn: a title, a creator, a bar code, and so on,
// the lengths of the lines choosing each result's kind, due date and hold. When the texts start
// with "!" the records cannot be read.
//
// A fault is a status the pages never give, a response without its strict headers or charset,
// the records read for a request that is refused, a failure not reported or reported without
// one, a body that is not valid UTF-8 or holds a control character other than a line end, and a
// page whose markup is not the pages' own: a tag, an attribute or an entity that they never
// write, or a quote or ">" outside a tag, which text from the request or the records would
// bring in unescaped.
std::vector<std::string> Run_catalogue_web_session(const std::uint8_t* data, std::size_t size);

#endif  // SHELVORANQUIST_FUZZ_CATALOGUE_WEB_SESSION_H_
