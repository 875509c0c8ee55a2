#!/usr/bin/env bash
# Builds the library and the zeseal tool, draws the demo page (a watermark
# and a water code from examples/, saved as out/page.png), and lists the
# example printers with their verdicts.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset default >/dev/null
cmake --build --preset default --target zeseal_cli
# The example installation's data files, where the library looks for them.
cmake --build --preset default --target zeseal_system_dir
export ZESEAL_SYSTEM_DIR="$PWD/build/default/system"
mkdir -p out
./build/default/tools/zeseal/zeseal draw --paper A4 --dpi 600 \
  --watermark examples/watermark.b64 --wm-at 100,100 \
  --watercode examples/watercode.b64 --wc-at 250,2100 --layout 3 \
  -o out/page.png
echo "Wrote out/page.png"

# The printers of the example virtual spooler, with their verdicts.
export ZESEAL_PRINTERS="$PWD/examples/printers.txt"
./build/default/tools/zeseal/zeseal printers
./build/default/tools/zeseal/zeseal default
