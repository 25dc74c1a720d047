#!/usr/bin/env bash
# Builds the Debian package as a packager would: the program alone, with Debian's build flags
# and all of its hardening (position independent, stack protected, fortified, read-only
# relocations, immediate binding), then CPack. Needs dpkg-dev and Ninja. What the tools say goes
# to standard error; the package's path is the one line on standard output.
#
#   cmake/debian_package.sh [BUILD_DIR]    (default build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-deb}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
case "$(dpkg-architecture -qDEB_HOST_ARCH)" in
  amd64 | i386) export DEB_CXXFLAGS_MAINT_APPEND="-fstack-clash-protection -fcf-protection" ;;
  arm64) export DEB_CXXFLAGS_MAINT_APPEND="-fstack-clash-protection -mbranch-protection=standard" ;;
esac
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
  -DSHELVORANQUIST_WERROR=ON >&2
cmake --build "$build" >&2
rm -f "$build"/shelvoranquist_*.deb
(cd "$build" && cpack --config CPackConfig.cmake >&2)
echo "$PWD/$(ls "$build"/shelvoranquist_*.deb)"
