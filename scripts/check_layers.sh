#!/usr/bin/env bash
# The house rules a compiler does not check: the core folders include neither
# Qt nor window code, and each layer includes only the layers below it
# (base -> extract -> search -> files, store beside files; batch, the run
# without a window, above them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# A folder and the project folders it may include.
declare -A allowed=(
  [base]="base"
  [extract]="base extract"
  [search]="base extract search"
  [files]="base extract search files"
  [store]="base extract search files store"
  [batch]="base extract search files store cli batch"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  sources=$(git ls-files -- "$folder" | grep -E '\.(cpp|h|inl)$' || true)
  [ -n "$sources" ] || continue
  # Qt headers: <QString>, <QtCore/...>, <qglobal.h>.
  if qt=$(grep -nE '^\s*#\s*include\s*<(Q[A-Za-z]|Qt[A-Za-z]*/|q[a-z]+\.h>)' $sources); then
    echo "$folder/ includes Qt:"; echo "$qt"; status=1
  fi
  while IFS= read -r hit; do
    included=$(sed -E 's/.*#\s*include\s*"([^/"]+)\/.*/\1/' <<<"$hit")
    if ! grep -qw -- "$included" <<<"${allowed[$folder]}"; then
      echo "$folder/ includes a layer above it or window code: $hit"; status=1
    fi
  done < <(grep -nE '^\s*#\s*include\s*"[^"/]+/' $sources || true)
done
[ $status -eq 0 ] && echo "layers: every core folder keeps to the layers below it"
exit $status
