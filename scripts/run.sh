#!/usr/bin/env bash
# Installs the packages, builds, makes a demo contact book in demo/ when there is none, and
# starts the program there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"
mkdir -p "$root/demo"
cd "$root/demo"
[ -e 4rd.mdb ] || "$build/tools/tembrel-db" demo 4rd.mdb
exec "$build/src/tembrel"
