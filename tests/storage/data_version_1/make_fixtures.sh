#!/bin/sh
# Makes the data files that data version 1 wrote, with the program that wrote them, and what
# its desk showed of them:
#
#     make_fixtures.sh PROGRAM
#
# PROGRAM is a build of data version 1. desk.db is typed through the menus at a clock frozen by
# libfaketime, so that the same program makes the same file; displays.output is what that
# program shows for displays.input on desk.db at the real clock (every stamp in the file lies
# long before or long after it).
set -eu
program=$(realpath "$1")
cd "$(dirname "$0")"
preload=$(ls /usr/lib/*/faketime/libfaketime.so.1)
rm -f desk.db desk.db-wal desk.db-shm

# Cards 101 to 105: an ASCII name, a name outside ASCII, a name with bytes that are not UTF-8,
# a member without loans or holds, and one deleted again so that the keys have a gap. Book S1
# and CD S1 share a bar code. Loans run for 20000 days, except B3's single day, so that only
# B3 and the held items are overdue. The blank member, selected at the start, borrows CD S1
# and video V1 and holds book B2; B4 stays on the shelf; X1 is added and removed again.
printf '%b' \
  '1\nAnn Lee\n12 Mill Lane\n555 0101\nann@example.org\n101\n' \
  '1\nZoë Ångström Иванова\n3 Rue du Pont\n555 0102\nzoe@example.org\n102\n' \
  '1\nBad \377\376 Byte\n7 Quay Street\n555 0103\nbad@example.org\n103\n' \
  '1\nEve Gone\n1 Lost Road\n555 0105\neve@example.org\n105\n' \
  '1\nDee Free\n9 Open Lane\n555 0104\ndee@example.org\n104\n' \
  '5\n1\nB1\nHamlet\nWilliam Shakespeare\n20000\n' \
  '1\nB2\nHamlet\nWilliam Shakespeare\n20000\n' \
  '1\nX1\nRemoved Again\nNobody\n7\n' \
  '1\nS1\nShared Title\nCommon Author\n20000\n' \
  '1\nB3\nOld Tale\nCommon Author\n1\n' \
  '1\nB4\nShelf Tale\nCommon Author\n20000\n' \
  '2\nC1\nKind of Blue\nMiles Davis\n46 min\n20000\n' \
  '2\nS1\nShared Title\nCommon Author\n60 min\n20000\n' \
  '3\nJ1\nNature\nAnn Editor\nCells; Stars; Oceans\n' \
  '4\nV1\nHeat\nMichael Mann\n15\n20000\n' \
  '4\nV2\nRan\nAkira Kurosawa\n12\n20000\n' \
  '5\nX1\n6\n' \
  '12\n2\n1\nS1\nn\n7\n6\nV1\n7\n6\nB2\n9\n' \
  '2\n1\n105\n3\n' \
  '2\n1\n101\n12\n1\n1\nS1\nn\n7\n6\nB1\n7\n6\nV1\n9\n' \
  '2\n1\n102\n6\nC1\n7\n6\nB3\n7\n12\n2\n1\nS1\nn\n9\n' \
  '2\n1\n103\n6\nV2\n7\n6\nB1\n9\n' \
  '14\n' |
  TZ=UTC LD_PRELOAD="$preload" FAKETIME="2026-03-02 10:00:00" \
    "$program" --data desk.db >/dev/null 2>&1
test ! -e desk.db-wal
"$program" --data desk.db <displays.input >displays.output
