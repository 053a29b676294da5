#!/usr/bin/env bash
# Writes the golden cases of tests/golden/cases afresh: their inputs (tools/golden_cases.py),
# then what the seeded engine leaves when it runs each of them.
#
#   tools/regenerate_goldens.sh SEEDED_BINARY    (build/tests/evstat_seeded)
#
# The files of the golden cases are the engine's interface: regenerate them only when a
# change of the files written is meant, and say so in the commit.
set -euo pipefail
if [[ $# -ne 1 || ! -x "$1" ]]; then
    sed -n '5p' "$0" >&2
    exit 2
fi
tools=$(cd "$(dirname "$0")" && pwd)
/usr/bin/python3 "$tools/golden_cases.py"
/usr/bin/python3 "$tools/golden_cases.py" --run "$1"
echo "$(find "$tools/../tests/golden/cases" -mindepth 1 -maxdepth 1 -type d | wc -l) golden cases written"
