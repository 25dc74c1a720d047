#!/usr/bin/env bash
# Installs, from Debian's packages, what building the program needs beyond a C++20 compiler,
# make and cmake, and the packages named as arguments (tests/install_test_tools.sh names those
# of the tests that it found missing):
#   ninja-build        Ninja, the build tool of the presets
#   libsqlitecpp-dev   SQLite 3 (libsqlite3-dev, which it brings) with its C++ wrapper, for
#                      the data file
#   libpqxx-dev        the C++ client of PostgreSQL, with libpq (libpq-dev, which it brings),
#                      for the records kept in a database that several desks share
#   libicu-dev         ICU, which folds case and accents for the public catalogue's search
#   libcpp-httplib-dev the HTTP server of the public catalogue
#   pkg-config         how the build finds libpqxx, ICU and the HTTP server
# Only what is missing is installed, and the script says what that is; when everything is
# present it installs nothing and returns at once. Installing needs root.
#
#   cmake/install_build_dependencies.sh [PACKAGE...]
set -euo pipefail

missing=("$@")
command -v ninja > /dev/null || missing+=(ninja-build)
[ -f /usr/include/SQLiteCpp/SQLiteCpp.h ] && [ -f /usr/include/sqlite3.h ] \
  || missing+=(libsqlitecpp-dev)
[ -f /usr/include/pqxx/pqxx ] && [ -f /usr/include/postgresql/libpq-fe.h ] \
  || missing+=(libpqxx-dev)
[ -f /usr/include/unicode/normalizer2.h ] || missing+=(libicu-dev)
[ -f /usr/include/httplib.h ] || missing+=(libcpp-httplib-dev)
command -v pkg-config > /dev/null || missing+=(pkg-config)

if [ "${#missing[@]}" -eq 0 ]; then
  echo "build dependencies: all present"
  exit 0
fi
echo "build dependencies: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "build dependencies: installing needs root: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q < /dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" < /dev/null
