#ifndef SHELVORANQUIST_STORAGE_POSTGRES_DATABASE_URI_H_
#define SHELVORANQUIST_STORAGE_POSTGRES_DATABASE_URI_H_

#include <string>
#include <string_view>

// A PostgreSQL connection URI as the command line gives it ("postgresql://..." or
// "postgres://..."), and what the desk may say of it.
class DatabaseUri {
 public:
  // Whether `data` names a database rather than a data file.
  static bool Names_database(std::string_view data);

  // `uri` as messages name it: without the password of its user part ("user:password@") and
  // without a password parameter, however they are spelled.
  static std::string Printable(std::string_view uri);

  // Why libpq cannot read `uri` as a connection URI, in one line; empty when it can.
  static std::string Fault(const std::string& uri);
};

#endif  // SHELVORANQUIST_STORAGE_POSTGRES_DATABASE_URI_H_
