#!/usr/bin/env bash
# Installs, from Debian's packages, what the test suite needs beyond a C++20 compiler, make and
# cmake: what the build needs (cmake/install_build_dependencies.sh installs it), and
#   libgtest-dev, libgmock-dev   GoogleTest and GoogleMock, for the unit and transcript tests
#   python3                      for the tests that run the built program
#   faketime                     libfaketime, the clock of the working-day session
#   strace                       to see each change flushed to disk before it is shown
#   postgresql                   the server (initdb, pg_ctl) and psql, for the throwaway cluster
#                                that each test run starts for the tests of the PostgreSQL
#                                engine (tests/support/postgres_cluster.py)
# Only what is missing is installed, and the script says what that is; when everything is
# present it installs nothing and returns at once. Installing needs root.
set -euo pipefail

missing=()
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || missing+=(libgmock-dev)
command -v python3 > /dev/null || missing+=(python3)
compgen -G '/usr/lib/*/faketime/libfaketime.so.1' > /dev/null || missing+=(faketime)
command -v strace > /dev/null || missing+=(strace)
compgen -G '/usr/lib/postgresql/*/bin/initdb' > /dev/null || missing+=(postgresql)

exec "$(dirname "$0")/../cmake/install_build_dependencies.sh" "${missing[@]}"
