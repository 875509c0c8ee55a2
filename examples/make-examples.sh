#!/bin/sh
# Regenerates the demo mark pictures and packs them into container text with
# the built zeseal tool.
#
# Usage: examples/make-examples.sh [PATH/TO/zeseal]
# Without an argument the tool is taken from $ZESEAL, or else from the first
# build directory that has one (build/default, then any other under build/).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")

tool=${1:-${ZESEAL:-}}
if [ -z "$tool" ]; then
    for candidate in "$root"/build/default/tools/zeseal/zeseal "$root"/build/*/tools/zeseal/zeseal; do
        if [ -x "$candidate" ]; then
            tool=$candidate
            break
        fi
    done
fi
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
    echo "make-examples.sh: no zeseal tool found; build it first (cmake --preset default &&" \
         "cmake --build --preset default) or pass its path" >&2
    exit 1
fi

python3 "$here/make_pictures.py" "$here"
"$tool" container pack "$here/watermark.png" -o "$here/watermark.b64"
"$tool" container pack "$here/watercode.raw" --raw --as watercode -o "$here/watercode.b64"

# Both texts must decode through the library before they are kept.
"$tool" container unpack "$here/watermark.b64" --as watermark >/dev/null
"$tool" container unpack "$here/watercode.b64" --as watercode >/dev/null
echo "examples regenerated with $tool"
