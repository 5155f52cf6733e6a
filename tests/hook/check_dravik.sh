#!/usr/bin/env bash
# check_dravik.sh OBJDUMP DLL DEF: Dravik.dll exports every name of its .def
# file undecorated, and imports only system DLLs that every GUI process
# already has loaded (nothing heavy at load time, no MinGW runtime).
set -uo pipefail
objdump=$1 dll=$2 def=$3
info=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$info" | awk '/\]/ {print $NF}' | sort)
status=0
expected=$(awk 'f && NF {print $1} /^EXPORTS/ {f=1}' "$def" | sort)
missing=$(comm -23 <(echo "$expected") <(echo "$exports"))
if [ -n "$missing" ]; then echo "not exported: $missing"; status=1; fi
decorated=$(grep -E '@[0-9]+$' <<<"$exports" || true)
if [ -n "$decorated" ]; then echo "decorated exports: $decorated"; status=1; fi
imports=$(grep 'DLL Name:' <<<"$info" | awk '{print tolower($3)}' | sort -u)
for dll_name in $imports; do
  case "$dll_name" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|msvcrt.dll|imm32.dll) ;;
    *) echo "imports $dll_name at load time"; status=1 ;;
  esac
done
echo "$(basename "$dll"): $(wc -l <<<"$expected") exports checked; imports: $(echo $imports)"
exit $status
