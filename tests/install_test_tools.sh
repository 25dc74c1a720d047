#!/usr/bin/env bash
# Installs, from Debian's packages, what the test suite needs beyond a C++20 compiler and CMake:
#   ninja-build                  Ninja, the build tool of the presets
#   libgtest-dev, libgmock-dev   GoogleTest and GoogleMock, for the unit and transcript tests
#   python3                      for the tests that run the built program
#   faketime                     libfaketime, the clock of the working-day session
# Only what is missing is installed, and the script says what that is; when everything is
# present it installs nothing and returns at once. Installing needs root.
set -euo pipefail

missing=()
command -v ninja > /dev/null || missing+=(ninja-build)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || missing+=(libgmock-dev)
command -v python3 > /dev/null || missing+=(python3)
compgen -G '/usr/lib/*/faketime/libfaketime.so.1' > /dev/null || missing+=(faketime)

if [ "${#missing[@]}" -eq 0 ]; then
  echo "test tools: all present (Ninja, GoogleTest, GoogleMock, python3, libfaketime)"
  exit 0
fi
echo "test tools: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "test tools: installing needs root: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q < /dev/null
apt-get install -y -q --no-install-recommends "${missing[@]}" < /dev/null
