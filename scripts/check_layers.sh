#!/usr/bin/env bash
# The house rules a compiler does not check: the core folders and cli/ include
# neither Qt nor window code, and each layer includes only the layers below it
# (base -> extract -> search -> visit -> files -> store; above store, batch (the run
# without a window) and cli side by side, neither including the other).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# A folder and the project folders it may include.
declare -A allowed=(
  [base]="base"
  [extract]="base extract"
  [search]="base extract search"
  [visit]="base extract search visit"
  [files]="base extract search visit files"
  [store]="base extract search visit files store"
  [batch]="base extract search visit files store batch"
  [cli]="base extract search visit files store cli"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  # Files not yet committed count too; files deleted but not yet committed do not.
  sources=$(git ls-files --cached --others --exclude-standard -- "$folder" |
    grep -E '\.(cpp|h|inl)$' | while IFS= read -r f; do [ -f "$f" ] && echo "$f"; done || true)
  [ -n "$sources" ] || continue
  # Qt headers: <QString>, <QtCore/...>, <qglobal.h>.
  if qt=$(grep -nE '^\s*#\s*include\s*<(Q[A-Za-z]|Qt[A-Za-z]*/|q[a-z]+\.h>)' $sources); then
    echo "$folder/ includes Qt:"; echo "$qt"; status=1
  fi
  while IFS= read -r hit; do
    included=$(sed -E 's/.*#\s*include\s*"([^/"]+)\/.*/\1/' <<<"$hit")
    if ! grep -qw -- "$included" <<<"${allowed[$folder]}"; then
      echo "$folder/ includes a folder that is not below it (a layer above or beside it, or window code): $hit"; status=1
    fi
  done < <(grep -nE '^\s*#\s*include\s*"[^"/]+/' $sources || true)
done
[ $status -eq 0 ] && echo "layers: every folder checked keeps to the layers below it"
exit $status
