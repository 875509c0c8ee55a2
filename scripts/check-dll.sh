#!/usr/bin/env bash
# Checks a built ZEsealWARDEN.dll: it exports exactly the undecorated names
# of src/ZEsealWARDEN.def, each of them one of the functions declared in
# include/zeseal/zeseal.h, and it imports only DLLs that come with Windows.
# Usage: scripts/check-dll.sh <objdump> <dll>
set -euo pipefail
cd "$(dirname "$0")/.."
objdump=$1
dll=$2

system_dlls="ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll WINSPOOL.DRV WS2_32.dll"

listing=$("$objdump" -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$listing" | awk '/\[ *[0-9]+\]/ {print $NF}' | sort)
wanted=$(awk 'f && NF {print $1} /^EXPORTS/ {f=1}' src/ZEsealWARDEN.def | sort)
declared=$(grep -o 'ZESEAL_CALL [A-Za-z]*' include/zeseal/zeseal.h | awk '{print $2}' | sort)

status=0
if [ "$(wc -l <<<"$wanted")" -ne 22 ]; then
  echo "src/ZEsealWARDEN.def lists $(wc -l <<<"$wanted") names, not the 22 of the interface" >&2
  status=1
fi
if [ "$exports" != "$wanted" ]; then
  echo "$dll: the export table differs from src/ZEsealWARDEN.def:" >&2
  diff <(echo "$wanted") <(echo "$exports") >&2 || true
  status=1
fi
undeclared=$(comm -23 <(echo "$wanted") <(echo "$declared"))
if [ -n "$undeclared" ]; then
  echo "$dll: exported but not declared in zeseal.h: $undeclared" >&2
  status=1
fi
for name in $(awk '/DLL Name:/ {print $3}' <<<"$listing"); do
  if ! grep -qiw -- "$name" <<<"$system_dlls"; then
    echo "$dll: imports $name, which is not a system DLL" >&2
    status=1
  fi
done
if [ "$status" -eq 0 ]; then
  echo "$dll: $(wc -l <<<"$exports") exports as in the .def; imports $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$listing")"
fi
exit "$status"
