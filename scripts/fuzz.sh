#!/usr/bin/env bash
# Fuzzes, with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, the T-SQL translator and
# the reader of the actions a browser posts to a window, sharing SECONDS seconds (default 20)
# between them. Seeds come from tests/fuzz/corpus and tests/fuzz/actions; new inputs found go to
# build/fuzz/<target>/corpus. Exits non-zero when the fuzzer finds a crash, a leak or a hang.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
out=build/fuzz
mkdir -p "$out"

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is missing (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 2
fi

flags=(-std=c++20 -g -O1 -Isrc -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

# Words and marks the translator reacts to, so that mutations reach its rules quickly.
translator_dict="$out/translator.dict"
{
    for word in SELECT INTO FROM WHERE WITH NOLOCK OUTER APPLY CROSS dbo. FNMG36_DOCUMENTI \
        CAST AS TINYINT VARCHAR INSERT UPDATE SET DELETE DROP TABLE CREATE IF NOT OBJECT_ID \
        "'tempdb..#T'" IS NULL TOP DECLARE EXEC GO CASE WHEN THEN END UNION JOIN ON; do
        printf '"%s"\n' "${word//\"/\\\"}"
    done
    for mark in "'" "''" "N'" "[" "]" '"' "--" "/*" "*/" "#" "##" "@" "@@" "(" ")" ";" "," "."; do
        printf '"%s"\n' "${mark//\"/\\\"}"
    done
} >"$translator_dict"

# The action reader's field names, types and the JSON marks around them.
action_dict="$out/action.dict"
{
    for word in type revision control value text code key row field messageId answer item button \
        bar description fileName content setValue click leaveField openLookup chooseLookupRow \
        closeLookup keyMenu editCell clickItem hostButton navigatorButton closePrint attachMedia \
        closeMedia close INTERNAV_PARAMETRI INTERNAV_PARAMETRI_DOC INTERNAV_PARAMETRI_TRP; do
        printf '"\\"%s\\""\n' "$word"
    done
    for mark in '{' '}' '[' ']' ':' ',' 'true' 'false' 'null' '\\u0000' '\\ud800' '=='; do
        printf '"%s"\n' "${mark//\"/\\\"}"
    done
} >"$action_dict"

# fuzz NAME SECONDS DICTIONARY SEEDS: runs one built target on its own corpus and the seeds.
fuzz() {
    local name="$1" time="$2" dictionary="$3" seeds="$4"
    mkdir -p "$out/$name/corpus" "$out/$name/artifacts"
    "$out/$name/fuzz" "$out/$name/corpus" "$seeds" \
        -dict="$dictionary" \
        -max_total_time="$time" \
        -timeout=5 \
        -max_len=4096 \
        -artifact_prefix="$out/$name/artifacts/" \
        -print_final_stats=1
}

# build TARGET SOURCE... [-- LINK FLAGS...]: compiles a target again when one of its sources or
# the project headers it includes changed since.
build() {
    local target="$out/$1/fuzz"
    shift
    local sources=() file
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        sources+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    mkdir -p "$(dirname "$target")"
    for file in "${sources[@]}" "$0"; do
        if [ ! -x "$target" ] || [ "$file" -nt "$target" ]; then
            local units=()
            for file in "${sources[@]}"; do
                [[ "$file" == *.cpp ]] && units+=("$file")
            done
            clang++ "${flags[@]}" "${units[@]}" "$@" -o "$target"
            return
        fi
    done
}

build translator tests/fuzz/translator_fuzz.cpp src/krl/sql/*.cpp src/krl/sql/*.h
build action tests/fuzz/action_fuzz.cpp src/web/server/action_parser.cpp \
    src/web/server/action_parser.h -- $(pkg-config --cflags --libs libsodium)

# The time is shared: each target gets half, the translator any odd second.
action_seconds=$((seconds / 2))
fuzz translator $((seconds - action_seconds)) "$translator_dict" tests/fuzz/corpus
fuzz action "$action_seconds" "$action_dict" tests/fuzz/actions
