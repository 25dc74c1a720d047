#include "storage/postgres/database_uri.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

constexpr std::string_view schemes[] = {"postgresql://", "postgres://"};

// A parameter name of the query with its %XX escapes decoded, in lower case.
std::string Decoded_name(std::string_view name) {
  std::string decoded;
  for (std::size_t at = 0; at < name.size(); ++at) {
    if (name[at] == '%' and at + 2 < name.size()) {
      const std::string hex(name.substr(at + 1, 2));
      if (std::isxdigit(static_cast<unsigned char>(hex[0])) != 0 and
          std::isxdigit(static_cast<unsigned char>(hex[1])) != 0) {
        decoded += static_cast<char>(std::stoi(hex, nullptr, 16));
        at += 2;
        continue;
      }
    }
    decoded += name[at];
  }
  std::transform(decoded.begin(), decoded.end(), decoded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return decoded;
}

// The passwords a URI holds, as written: its user part's and its password parameters'.
std::vector<std::string> Secrets(std::string_view uri) {
  std::vector<std::string> secrets;
  const std::size_t start = uri.find("://");
  std::string_view rest = uri.substr(start == std::string_view::npos ? 0 : start + 3);
  const std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    const std::string_view user = authority.substr(0, at);
    if (const std::size_t colon = user.find(':'); colon != std::string_view::npos) {
      secrets.emplace_back(user.substr(colon + 1));
    }
  }
  const std::size_t query_at = rest.find('?');
  std::string_view query = query_at == std::string_view::npos ? "" : rest.substr(query_at + 1);
  while (not query.empty()) {
    const std::size_t end = std::min(query.find('&'), query.size());
    const std::string_view parameter = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    const std::size_t equals = parameter.find('=');
    if (equals != std::string_view::npos and
        Decoded_name(parameter.substr(0, equals)) == "password") {
      secrets.emplace_back(parameter.substr(equals + 1));
    }
  }
  std::erase_if(secrets, [](const std::string& secret) { return secret.empty(); });
  return secrets;
}

}  // namespace

bool DatabaseUri::Names_database(std::string_view data) {
  return std::any_of(std::begin(schemes), std::end(schemes),
                     [data](std::string_view scheme) { return data.starts_with(scheme); });
}

std::string DatabaseUri::Printable(std::string_view uri) {
  std::string_view scheme;
  for (std::string_view known : schemes) {
    if (uri.starts_with(known)) scheme = known;
  }
  std::string_view rest = uri.substr(scheme.size());
  const std::size_t query_at = rest.find('?');
  std::string_view query = query_at == std::string_view::npos ? "" : rest.substr(query_at + 1);
  std::string_view location = rest.substr(0, std::min(query_at, rest.size()));
  // The user part ends at the last '@' before the path.
  const std::string_view authority = location.substr(0, location.find('/'));
  std::string printable(scheme);
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    const std::string_view user = authority.substr(0, at);
    const std::string_view name = user.substr(0, user.find(':'));
    printable += name;
    // With no user name left, the '@' goes too.
    location.remove_prefix(name.empty() ? at + 1 : at);
  }
  printable += location;
  std::string kept;
  while (not query.empty()) {
    const std::size_t end = std::min(query.find('&'), query.size());
    const std::string_view parameter = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    if (Decoded_name(parameter.substr(0, parameter.find('='))) == "password") continue;
    kept += kept.empty() ? "?" : "&";
    kept += parameter;
  }
  return printable + kept;
}

std::string DatabaseUri::Fault(const std::string& uri) {
  char* message = nullptr;
  PQconninfoOption* options = PQconninfoParse(uri.c_str(), &message);
  if (options != nullptr) {
    PQconninfoFree(options);
    return {};
  }
  const std::string said = message == nullptr ? "out of memory" : message;
  PQfreemem(message);
  // libpq quotes what it could not read, which may be the whole URI or a password: a quoted
  // URI is named as messages name it, and a quoted piece that holds a password is left out.
  const std::vector<std::string> secrets = Secrets(uri);
  std::string fault;
  for (std::size_t at = 0; at < said.size();) {
    const std::size_t open = said.find('"', at);
    const std::size_t close = open == std::string::npos ? open : said.find('"', open + 1);
    if (close == std::string::npos) {
      fault += said.substr(at);
      break;
    }
    const std::string quoted = said.substr(open + 1, close - open - 1);
    fault += said.substr(at, open - at) + '"';
    if (quoted.find("://") != std::string::npos) {
      fault += Printable(quoted);
    } else if (std::any_of(secrets.begin(), secrets.end(), [&quoted](const std::string& secret) {
                 return quoted.find(secret) != std::string::npos;
               })) {
      fault += "...";
    } else {
      fault += quoted;
    }
    fault += '"';
    at = close + 1;
  }
  std::replace(fault.begin(), fault.end(), '\n', ' ');
  while (not fault.empty() and fault.back() == ' ') fault.pop_back();
  return fault;
}
