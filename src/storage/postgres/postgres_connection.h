#ifndef SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CONNECTION_H_
#define SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CONNECTION_H_

#include <pqxx/pqxx>

#include <string>
#include <string_view>

#include "storage/storage_error.h"

// What a desk and the public catalogue share of their connections to the server: how one is
// made and how its faults read. Defined with the desk's storage (postgres_storage.cpp).

// What libpq connects with for `uri`: every setting the URI makes, and where neither it nor the
// environment says otherwise, timeouts that give up a server that cannot be reached within
// seconds, at start and mid-run. Throws StorageError when `uri` is no URI libpq reads.
std::string Connection_string(const std::string& uri);

// One line for the librarian of whatever libpq or the server said: its first line, without
// the statement the server may quote after it.
std::string One_line(std::string text);

// The storage's own error for a failure that libpqxx reports, its kind from the server's
// SQLSTATE where there is one.
StorageError Storage_error(const pqxx::failure& error);

// `bytes` as hexadecimal digits, which an array of text can carry where libpqxx 6 passes no
// arrays of bytes; decode(..., 'hex') reads them back.
std::string Hex(std::string_view bytes);

// What `body` returns; what libpqxx throws in it passes on as StorageError.
template <class Body>
auto Guarded(Body body) {
  try {
    return body();
  } catch (const pqxx::failure& error) {
    throw Storage_error(error);
  } catch (const pqxx::usage_error& error) {
    throw StorageError(StorageError::Kind::io, One_line(error.what()));
  } catch (const pqxx::conversion_error& error) {
    throw StorageError(StorageError::Kind::damaged, One_line(error.what()));
  }
}

#endif  // SHELVORANQUIST_STORAGE_POSTGRES_POSTGRES_CONNECTION_H_
