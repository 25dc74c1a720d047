#!/usr/bin/env bash
# Builds the Debian package as a packager would: the programs alone, with Debian's build flags
# and all of its hardening (position independent, stack protected, fortified, read-only
# relocations, immediate binding), then CPack. Needs dpkg-dev and Ninja. What the tools say goes
# to standard error; the package's absolute path is the one line on standard output.
#
#   cmake/debian_package.sh [BUILD_DIR]    (default build-deb, under the sources)
#
# The same sources give the same .deb, byte for byte, wherever they and the build folder lie:
# every time in the package is SOURCE_DATE_EPOCH (when unset, the time of the last commit, or
# outside a git checkout the date of the changelog's entry), which CPack gives every member of
# its archives; the paths of the sources and of the build folder are mapped to fixed names in
# what the compiler writes (file names of __FILE__ and of the debug information, from which the
# linker derives the build ID that stays after stripping); CPack sorts the archives' members and
# makes root their owner; and the manual pages and changelog are compressed without a time stamp
# (Packaging.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$(realpath -m "${1:-build-deb}")

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2> /dev/null) \
    || SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l cmake/debian/changelog -S Timestamp)
fi
export SOURCE_DATE_EPOCH

export DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=+all"
case "$(dpkg-architecture -qDEB_HOST_ARCH)" in
  amd64 | i386) export DEB_CXXFLAGS_MAINT_APPEND="-fstack-clash-protection -fcf-protection" ;;
  arm64) export DEB_CXXFLAGS_MAINT_APPEND="-fstack-clash-protection -mbranch-protection=standard" ;;
esac
# The sources become "." (as dpkg-buildflags makes the folder it runs in), and the build
# folder, inside them or elsewhere, "build" (the last map that matches a path wins). The flags
# are given on each configure, so a build folder configured before never keeps older ones.
path_maps="-ffile-prefix-map=$source=. -ffile-prefix-map=$build=build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
  -DSHELVORANQUIST_WERROR=ON \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) $path_maps" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >&2
cmake --build "$build" >&2
rm -f "$build"/shelvoranquist_*.deb
(cd "$build" && cpack --config CPackConfig.cmake >&2)
ls "$build"/shelvoranquist_*.deb
