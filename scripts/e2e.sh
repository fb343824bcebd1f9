#!/usr/bin/env bash
# Browser tests: builds the front end and the host, starts `zovrena serve` on a free loopback port
# with a fresh temporary SQLite demo database, runs the Node tests of tests/e2e in Debian's
# Chromium, and stops the server. Exits non-zero when a test fails or something is missing.
#
#   scripts/e2e.sh [--screenshot] [node --test options...]
#
# ZOVRENA_E2E_BUILD names the CMake build folder to use (default build/debug).
# --screenshot also writes docs/screenshot.png after the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

chromium=/usr/bin/chromium
if [ ! -x "$chromium" ]; then
    echo "e2e: $chromium non trovato: installare il pacchetto Debian chromium" >&2
    exit 1
fi
for tool in node npm cmake; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: manca il programma $tool" >&2
        exit 1
    fi
done

screenshot=0
if [ "${1:-}" = "--screenshot" ]; then
    screenshot=1
    shift
fi

build_dir=${ZOVRENA_E2E_BUILD:-build/debug}
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake --preset debug -B "$build_dir" >/dev/null
fi
cmake --build "$build_dir" --target zovrena   # also compiles the front end into web/dist

if [ ! -d tests/e2e/node_modules/playwright-core ] || [ ! -d tests/e2e/node_modules/axe-core ]; then
    (cd tests/e2e && npm ci --no-audit --no-fund --loglevel=error)
fi

work=$(mktemp -d)
server_pid=""
stop_server() {
    if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
        kill -TERM "$server_pid"
        wait "$server_pid" || true
    fi
    rm -rf "$work"
}
trap stop_server EXIT

# A message box nobody answers is given up after a few seconds, so that a test can wait for it.
modal_timeout=5
"$build_dir/src/zovrena" serve --listen 127.0.0.1:0 --database "sqlite:$work/zovrena.db" --demo \
    --modal-timeout "$modal_timeout" >"$work/server.log" 2>&1 &
server_pid=$!

url=""
for _ in $(seq 1 600); do
    url=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/server.log" | head -n 1 || true)
    if [ -n "$url" ]; then
        break
    fi
    if ! kill -0 "$server_pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if [ -z "$url" ]; then
    echo "e2e: zovrena serve non è partito:" >&2
    cat "$work/server.log" >&2
    exit 1
fi
echo "e2e: host su $url"

status=0
export ZOVRENA_URL="$url" ZOVRENA_BIN="$PWD/$build_dir/src/zovrena" \
    ZOVRENA_DATABASE="sqlite:$work/zovrena.db" ZOVRENA_MODAL_TIMEOUT="$modal_timeout"
node --test "$@" tests/e2e/ || status=$?
if [ "$status" -eq 0 ] && [ "$screenshot" -eq 1 ]; then
    mkdir -p docs
    ZOVRENA_URL="$url" node tests/e2e/screenshot.mjs docs/screenshot.png || status=$?
fi
if [ "$status" -ne 0 ]; then
    echo "e2e: test non riusciti; registro del server:" >&2
    cat "$work/server.log" >&2
fi
exit "$status"
