#!/usr/bin/env bash
# The layer check must catch an include that points up or sideways: plant one of each in a copy
# of the sources and expect the check to name exactly those.
set -uo pipefail
check=$1
sources=$2
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$sources" "$copy/src"
"$check" "$copy/src" >/dev/null || { echo "the check fails on the sources as they are"; exit 1; }
echo '#include "coordinator/untEI.h"' >>"$copy/src/store/untUtil.h"
echo '#include "exchange/db/Tlite3.h"' >>"$copy/src/exchange/files/untIE.cpp"
output=$("$check" "$copy/src")
status=$?
echo "$output"
((status != 0)) || { echo "planted includes passed the check"; exit 1; }
grep -q '^store/untUtil.h:.*coordinator/untEI.h' <<<"$output" || exit 1
grep -q '^exchange/files/untIE.cpp:.*exchange/db/Tlite3.h' <<<"$output" || exit 1
[[ $(grep -c 'is not below' <<<"$output") -eq 2 ]]
