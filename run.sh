#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the web host on the embedded demo
# database. Options are passed to `zovrena serve` (--listen ADDR:PORT, --database CONN, --reset-demo).
# Without --database the host works on data/zovrena.db and creates it with the demo data when it is
# missing (and says so); a database named with --database has to exist.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${ZOVRENA_BUILD_PACKAGES[@]}"

cmake --preset release >/dev/null
cmake --build --preset release --target zovrena
mkdir -p data
demo=(--demo)
for argument in "$@"; do
    case "$argument" in
        --database | --database=*) demo=() ;;
    esac
done
exec build/release/src/zovrena serve "${demo[@]}" "$@"
