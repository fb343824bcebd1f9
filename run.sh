#!/usr/bin/env bash
# Installs what is missing, builds, and starts the main job: the web host on the embedded demo
# database. Options are passed to `zovrena serve` (--listen ADDR:PORT, --database CONN, --reset-demo).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${ZOVRENA_BUILD_PACKAGES[@]}"

cmake --preset release >/dev/null
cmake --build --preset release --target zovrena
mkdir -p data
exec build/release/src/zovrena "$@"
