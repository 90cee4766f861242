#!/usr/bin/env bash
# How large the tests are beside the program: non-blank lines that are not comments ("//" in C++,
# "#" in Python), of the .cpp, .h and .py files under tests/, against the same count over the .cpp
# and .h files outside tests/ and bench/. The project keeps the tests at a quarter to a third of the
# program, and never above 40 %. Data files (tests/data) are not code and do not count.
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
    xargs -0 -r awk '
        /^[[:space:]]*$/ { next }
        FILENAME ~ /\.py$/ && /^[[:space:]]*#/ { next }
        FILENAME !~ /\.py$/ && /^[[:space:]]*\/\// { next }
        { lines++ }
        END { print lines + 0 }'
}

tests=$(git ls-files -z -- 'tests/*.cpp' 'tests/*.h' 'tests/*.py' | count)
program=$(git ls-files -z -- '*.cpp' '*.h' ':!tests/' ':!bench/' | count)
echo "tests: $tests lines, program: $program lines, tests/program: $((100 * tests / program)) %"
