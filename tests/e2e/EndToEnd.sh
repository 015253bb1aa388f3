#!/usr/bin/env bash
# End to end, as a user: start the program with a folder on its command line, press Enter in the main
# window, let it end by itself, then check the files' update times and attributes and the INI file.
#   EndToEnd.sh <winerun> <wineprefix> <VornaStampShifter.exe>
set -euo pipefail
winerun=$1 prefix=$2 exe=$3
[ -n "${DISPLAY:-}" ] || { echo "e2e: needs a display (run through winerun --with-display)"; exit 1; }

work=$(mktemp -d /tmp/vss-e2e.XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/app" "$work/settings" "$work/data/sub/deeper"
cp "$exe" "$work/app/VornaStampShifter.exe"
for f in a.txt b.log sub/c.txt sub/deeper/d.bin "sub/表ソ.txt"; do echo "$f" > "$work/data/$f"; done
touch -d '2020-05-05 05:05:05' "$work/data"/*.* "$work/data/sub"/*.* "$work/data/sub/deeper"/*

# Settings as a user left them: both dates 2001/02/03 04:05:06, read-only switched ON, files only
# (Wine keeps no read-only attribute on folders: the run would ask about each one). The INI beside
# the program is a symbolic link to a file kept elsewhere; saving must follow it, not replace it.
printf '[Application]\r\nSplashCount=100\r\nAutoEnd=1\r\nTypeFile=1\r\nTypeFolder=0\r\nTypeAll=0\r\n[DateChange]\r\nDateChange=1\r\nCreateDateTime=1\r\nUpdateDateTime=1\r\nCreateYear=2001\r\nCreateMonth=2\r\nCreateDay=3\r\nCreateHour=4\r\nCreateMinute=5\r\nCreateSecond=6\r\nUpdateYear=2001\r\nUpdateMonth=2\r\nUpdateDay=3\r\nUpdateHour=4\r\nUpdateMinute=5\r\nUpdateSecond=6\r\n[AttrChange]\r\nAttrChange=1\r\nReadOnly=1\r\nReadOnlyOn=1\r\nReadOnlyOff=0\r\n' \
  > "$work/settings/VornaStampShifter.ini"
ln -s "$work/settings/VornaStampShifter.ini" "$work/app/VornaStampShifter.ini"

data_win=$(WINEPREFIX=$prefix winepath -w "$work/data")
"$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" "$data_win" &
pid=$!

# Wait for the main window, then press Enter (the start button is the default button).
for _ in $(seq 1 100); do
  win=$(xdotool search --name '^VornaStampShifter$' 2>/dev/null | head -1 || true)
  [ -n "$win" ] && break
  sleep 0.2
done
sleep 1
xdotool key Return

# The run ends the program by itself (automatic exit is on).
for _ in $(seq 1 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "e2e: the program did not end by itself"
  kill "$pid"
  exit 1
fi

fail=0
want=$(date -d '2001-02-03 04:05:06' +%s)
while IFS= read -r -d '' f; do
  got=$(stat -c %Y "$f")
  if [ "$got" != "$want" ]; then echo "e2e: $f: update time $(date -d @"$got") instead of 2001-02-03 04:05:06"; fail=1; fi
  perms=$(stat -c %A "$f")
  case "$perms" in
    -r-?r-?r-?) ;;
    *) echo "e2e: $f is not read-only ($perms)"; fail=1 ;;
  esac
done < <(find "$work/data" -type f -print0)

ini="$work/settings/VornaStampShifter.ini"
[ -L "$work/app/VornaStampShifter.ini" ] || { echo "e2e: the link to the INI file was replaced by a file"; fail=1; }
for key in 'Left=' 'Top=' 'CreateYear=2001' 'ReadOnlyOn=1' 'AutoEnd=1' 'TypeFile=1' '[Bounds]'; do
  grep -qF "$key" "$ini" || { echo "e2e: the INI file lacks $key"; fail=1; }
done
[ "$fail" = 0 ] && echo "e2e: every file changed, program ended by itself, settings kept"
exit $fail
