#!/usr/bin/env bash
# Builds the program and starts it under Wine; arguments are passed on as the paths to collect.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/tools/deps.sh"
"$root/tools/build.sh" x86_64 --target VornaStampShifter
args=()
for a in "$@"; do
  # A Linux path that exists is handed over in its Windows form.
  if [ -e "$a" ]; then args+=("$(WINEPREFIX="$root/build/wineprefix" winepath -w "$a" 2>/dev/null || echo "$a")")
  else args+=("$a"); fi
done
exec "$root/tools/winerun" --prefix "$root/build/wineprefix" --desktop "${VSS_DESKTOP:-1024x768}" \
  "$root/build/x86_64/VornaStampShifter.exe" "${args[@]}"
