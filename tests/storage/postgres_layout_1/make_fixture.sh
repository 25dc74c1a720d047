#!/bin/sh
# Makes desk.dump, a database that layout 1 wrote, with the program that wrote it, dumped in
# pg_dump's custom format:
#
#     make_fixture.sh PROGRAM
#
# PROGRAM is a build of layout 1. It copies ../data_version_1/desk.db (items of every kind, lent,
# held and both) into a database of a throwaway cluster, where a desk then adds the book U1.
set -eu
program=$(realpath "$1")
cd "$(dirname "$0")"
cluster_script=$(realpath ../../support/postgres_cluster.py)
scratch=$(mktemp -d)
cluster=$scratch/cluster
python3 "$cluster_script" start "$cluster"
trap 'python3 "$cluster_script" stop "$cluster"; rm -rf "$scratch"' EXIT
uri=$(python3 "$cluster_script" createdb "$cluster" layout_1)
# A copy of the data file, since reading it leaves SQLite's -wal and -shm beside it.
cp ../data_version_1/desk.db "$scratch"
"$program" --data "$scratch/desk.db" --copy-to "$uri"
printf '5\n1\nU1\nUpgrade Tale\nNew Author\n14\n9\n14\n' | "$program" --data "$uri" >/dev/null
pg_dump --format=custom --no-owner --no-privileges --file=desk.dump "$uri"
