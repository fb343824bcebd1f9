#!/usr/bin/env bash
# Fuzzes the T-SQL translator for SECONDS seconds (default 20) with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer. Seeds come from tests/fuzz/corpus; new inputs found go to
# build/fuzz/corpus. Exits non-zero when the fuzzer finds a crash, a leak or a hang.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
out=build/fuzz
mkdir -p "$out/corpus" "$out/artifacts"

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is missing (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 2
fi

clang++ -std=c++20 -g -O1 -Isrc \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    tests/fuzz/translator_fuzz.cpp src/krl/sql/*.cpp \
    -o "$out/translator_fuzz"

# Words and marks the translator reacts to, so that mutations reach its rules quickly.
dictionary="$out/translator.dict"
{
    for word in SELECT INTO FROM WHERE WITH NOLOCK OUTER APPLY CROSS dbo. FNMG36_DOCUMENTI \
        CAST AS TINYINT VARCHAR INSERT UPDATE SET DELETE DROP TABLE CREATE IF NOT OBJECT_ID \
        "'tempdb..#T'" IS NULL TOP DECLARE EXEC GO CASE WHEN THEN END UNION JOIN ON; do
        printf '"%s"\n' "${word//\"/\\\"}"
    done
    for mark in "'" "''" "N'" "[" "]" '"' "--" "/*" "*/" "#" "##" "@" "@@" "(" ")" ";" "," "."; do
        printf '"%s"\n' "${mark//\"/\\\"}"
    done
} >"$dictionary"

"$out/translator_fuzz" "$out/corpus" tests/fuzz/corpus \
    -dict="$dictionary" \
    -max_total_time="$seconds" \
    -timeout=5 \
    -max_len=4096 \
    -artifact_prefix="$out/artifacts/" \
    -print_final_stats=1
