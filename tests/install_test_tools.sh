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
#   chromium, chromium-driver    headless Chromium and its WebDriver, for the browser tests
#   python3-selenium             Selenium for Debian's own /usr/bin/python3, which runs them
#   npm                          only where no npm is on the PATH already (a Node.js from
#                                elsewhere brings its own, which Debian's npm conflicts with)
# and then, with npm ci, axe-core from the npm registry at the version that tests/web/
# package-lock.json pins, into tests/web/node_modules, which git ignores: the browser tests
# load it into the pages they check and fetch nothing themselves.
# Only what is missing is installed, and the script says what that is; when everything is
# present it installs nothing and returns at once. Installing Debian's packages needs root.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/gmock/gmock.h ] || missing+=(libgmock-dev)
command -v python3 > /dev/null || missing+=(python3)
compgen -G '/usr/lib/*/faketime/libfaketime.so.1' > /dev/null || missing+=(faketime)
command -v strace > /dev/null || missing+=(strace)
compgen -G '/usr/lib/postgresql/*/bin/initdb' > /dev/null || missing+=(postgresql)
[ -x /usr/bin/chromium ] || missing+=(chromium)
[ -x /usr/bin/chromedriver ] || missing+=(chromium-driver)
[ -f /usr/lib/python3/dist-packages/selenium/__init__.py ] || missing+=(python3-selenium)
command -v npm > /dev/null || missing+=(npm)

cmake/install_build_dependencies.sh "${missing[@]}"

# npm ci installs exactly what the lock file names, after removing any node_modules; the copy of
# the lock file that it leaves beside them says which lock file that was.
web=tests/web
if [ -f $web/node_modules/axe-core/axe.min.js ] \
  && cmp -s $web/package-lock.json $web/node_modules/.installed-package-lock.json; then
  exit 0
fi
echo "test tools: installing axe-core with npm ci in $web"
(cd $web && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error > /dev/null)
cp $web/package-lock.json $web/node_modules/.installed-package-lock.json
