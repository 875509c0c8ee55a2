#!/usr/bin/env bash
# Builds the library, the zeseal tool and the example system directory, then
# draws the demo page with all four marks, saved as out/page.png (the
# watermark and the water code from examples/, the copy-detection pattern of
# an example printer model and the installed court logo for ink printers,
# both read from the example system directory), and lists the example
# printers with their verdicts.
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
  --cdp TalvoLaser5100 --cdp-at 3900,200 --kind 1101 \
  --logo-model 1201 --logo-at 440,560 \
  -o out/page.png
echo "Wrote out/page.png"

# The printers of the example virtual spooler, with their verdicts.
export ZESEAL_PRINTERS="$PWD/examples/printers.txt"
./build/default/tools/zeseal/zeseal printers
./build/default/tools/zeseal/zeseal default

# Choosing a printer unattended: the list dialog answered by a dialog script
# (the default printer's row, then the print button), and the choosing list
# of mode 3 with the second row clicked.
./build/default/tools/zeseal/zeseal choose --script "enter"
./build/default/tools/zeseal/zeseal choose --mode 3 --script "click 2; press 1035"
