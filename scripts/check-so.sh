#!/usr/bin/env bash
# Checks a built libzeseal.so: its defined dynamic symbols are exactly the
# functions declared in include/zeseal/zeseal.h and zeseal_posix.h, and
# src/libzeseal.map, which keeps everything else inside, lists those names.
# Usage: scripts/check-so.sh <libzeseal.so>
set -euo pipefail
cd "$(dirname "$0")/.."
library=$1

exports=$(nm -D --defined-only "$library" | awk '{print $NF}' | sort)
declared=$(grep -ho 'ZESEAL_CALL [A-Za-z0-9_]*(' include/zeseal/zeseal.h include/zeseal/zeseal_posix.h |
           sed 's/ZESEAL_CALL \(.*\)(/\1/' | sort)
listed=$(sed -n '/global:/,/local:/p' src/libzeseal.map | grep -o '^ *[A-Za-z0-9_]*;' | tr -d ' ;' | sort)

status=0
if [ "$listed" != "$declared" ]; then
  echo "src/libzeseal.map differs from the functions of the headers (< headers, > map):" >&2
  diff <(echo "$declared") <(echo "$listed") >&2 || true
  status=1
fi
if [ "$exports" != "$declared" ]; then
  echo "$library: the dynamic symbols differ from the functions of the headers (< headers, > library):" >&2
  diff <(echo "$declared") <(echo "$exports") >&2 || true
  status=1
fi
if [ "$status" -eq 0 ]; then
  echo "$library: $(wc -l <<<"$exports") dynamic symbols, the functions of the headers"
fi
exit "$status"
