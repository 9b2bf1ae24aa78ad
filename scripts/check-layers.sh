#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, naming each such
# include. Usage: scripts/check-layers.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# Folder -> the folders its files may include. A file follows the longest folder that
# holds it; tests/ and bench/ may include anything and are not listed.
declare -A may_include=(
  [platform]="platform"
  [platform/system]="platform/system"
  [platform/store]="platform/system platform/store"
  [platform/net]="platform/system platform/net"
  [transport]="platform transport"
  [settings]="platform transport settings"
  [desktop]="platform transport settings desktop"
  [desktop/widgets]="platform transport settings desktop/widgets"  # nothing else of desktop/
  [app]="platform transport settings desktop app"
  [tools]="platform transport settings desktop app tools"
  [data]="platform transport settings desktop app data"
)

tops=()
for folder in "${!may_include[@]}"; do [[ "$folder" != */* && -d "$folder" ]] && tops+=("$folder"); done
status=0
while IFS= read -r file; do
  rule="${file%/*}"
  while [[ -z "${may_include[$rule]+set}" && "$rule" == */* ]]; do rule="${rule%/*}"; done
  [[ -n "${may_include[$rule]+set}" ]] || continue
  while IFS= read -r header; do
    # Only project headers: a path whose first folder is one of this tree's.
    [[ "$header" == */* && -d "${header%%/*}" ]] || continue
    allowed=0
    for folder in ${may_include[$rule]}; do [[ "$header" == "$folder"/* ]] && allowed=1; done
    if ((!allowed)); then
      echo "$file: includes $header, but $rule/ may include only: ${may_include[$rule]}"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "${tops[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
exit $status
