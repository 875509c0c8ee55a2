#!/usr/bin/env bash
# Builds the library, the zeseal tool and the example system directory, then
# runs "zeseal demo": it lists the example printers with their verdicts,
# prints the test page on the default example printer (its PNG lands in
# out/printed/) and renders the certificate page with all four marks as
# out/page.png (the watermark and the water code from examples/, the
# copy-detection pattern of an example printer model and the installed court
# logo for ink printers, both read from the example system directory).
#
# The demo prints through a copy of examples/printers.txt in out/, so the
# settings the test page changes never touch the example file.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default --target zeseal_cli
# The example installation's data files, where the library looks for them.
cmake --build --preset default --target zeseal_system_dir
export ZESEAL_SYSTEM_DIR="$PWD/build/default/system"
mkdir -p out
# The copy's output folder (../out/printed) is out/printed, as for the original.
cp examples/printers.txt out/printers.txt
./build/default/tools/zeseal/zeseal demo --printers out/printers.txt --examples examples \
  -o out/page.png
