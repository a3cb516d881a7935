#!/usr/bin/env bash
# Checks that includes point down the layers only (docs/ARCHITECTURE.md):
# a file may include its own folder and any folder of a lower rank, never a
# folder above it nor a peer of its rank. orbit/ and passes/ include no Qt.
# Prints every offending line; exit 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([orbit]=0 [passes]=1 [core]=2 [radio]=3 [rotor]=3 [clock]=3 [update]=3
  [station]=4 [ui]=5 [web]=5 [app]=6)
bad=0
for folder in "${!rank[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$hit")
    [ "$target" = "$folder" ] && continue
    [ -n "${rank[$target]+set}" ] || continue
    if ((rank[$target] >= rank[$folder])); then
      echo "$hit  ($folder may not include $target)"
      bad=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include "[^/"]+/' "$folder" --include='*.h' --include='*.cpp' || true)
done
for folder in orbit passes; do
  if grep -rnE '^[[:space:]]*#[[:space:]]*include <Q' "$folder" --include='*.h' --include='*.cpp'; then
    echo "($folder stays free of Qt)"
    bad=1
  fi
done
exit $bad
