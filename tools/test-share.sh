#!/usr/bin/env bash
# How large the tests are beside the program: non-blank lines that are not comments ("//" in C++,
# "#" in Python), of the .cpp, .h and .py files under tests/, against the same count over the .cpp
# and .h files outside tests/ and bench/. The project keeps the tests at a quarter to a third of the
# program, and never above 40 %. Data files (tests/data) are not code and do not count.
set -euo pipefail
cd "$(dirname "$0")/.."

# The files git tracks or would track, as they stand in the working tree.
files() {
    git ls-files -z --cached --others --exclude-standard -- "$@" |
        while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done
}

count() {
    xargs -0 -r awk '
        /^[[:space:]]*$/ { next }
        FILENAME ~ /\.py$/ && /^[[:space:]]*#/ { next }
        FILENAME !~ /\.py$/ && /^[[:space:]]*\/\// { next }
        { lines++ }
        END { print lines + 0 }'
}

tests=$(files 'tests/*.cpp' 'tests/*.h' 'tests/*.py' | count)
program=$(files '*.cpp' '*.h' ':!tests/' ':!bench/' | count)
awk -v t="$tests" -v p="$program" 'BEGIN { printf "tests: %d lines, program: %d lines, tests/program: %.1f %%\n", t, p, 100 * t / p }'
