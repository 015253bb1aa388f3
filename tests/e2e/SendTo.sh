#!/usr/bin/env bash
# End to end, as a user: start the program, open the about dialog from the popup menu, check the box,
# press Enter, and find the link in the prefix's Send To folder; then remove it the same way.
#   SendTo.sh <winerun> <wineprefix> <VornaStampShifter.exe>
set -euo pipefail
winerun=$1 prefix=$2 exe=$3
[ -n "${DISPLAY:-}" ] || { echo "e2e-sendto: needs a display (run through winerun --with-display)"; exit 1; }

# The shell's Send To folder of this prefix's user.
sendto="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/SendTo"
[ -d "$sendto" ] || { echo "e2e-sendto: the prefix has no Send To folder at $sendto"; exit 1; }
link="$sendto/VornaStampShifter.lnk"
rm -f "$link"

work=$(mktemp -d /tmp/vss-sendto.XXXXXX)
pid=
cleanup() {
  # The program and Wine's loader run in a process group of their own: a failed step ends them all,
  # so nothing stays behind holding the test's output open.
  [ -n "$pid" ] && kill -- "-$pid" 2>/dev/null
  rm -f "$link"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/app"
cp "$exe" "$work/app/VornaStampShifter.exe"
exe_win=$(WINEPREFIX=$prefix winepath -w "$work/app/VornaStampShifter.exe" 2>/dev/null)

setsid "$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" &
pid=$!

# The program's windows on the screen: the main window, the about dialog and its message all carry
# the application title.
shown() { xdotool search --onlyvisible --name '^VornaStampShifter$' 2>/dev/null | wc -l; }
wait_shown() {
  for _ in $(seq 1 75); do
    [ "$(shown)" = "$1" ] && return 0
    sleep 0.2
  done
  echo "e2e-sendto: $2 (windows shown: $(shown), expected $1)"
  exit 1
}

wait_shown 1 "the main window did not appear"
main=$(xdotool search --onlyvisible --name '^VornaStampShifter$' | head -1)
sleep 1

# The about entry of the main window's popup menu: right click beside the picture, then its access key.
about() {
  xdotool mousemove --window "$main" 30 320 click 3
  sleep 0.7
  xdotool key v
  wait_shown 2 "the about dialog did not open from the popup menu"
  sleep 0.5
}

# Register: check "「送る」に登録する(&S)" with its access key, press Enter, confirm the message.
about
xdotool key alt+s
sleep 0.3
xdotool key Return
wait_shown 3 "no message after registering"
sleep 0.3
xdotool key Return
wait_shown 1 "the message or the about dialog did not close"

fail=0
if [ -f "$link" ]; then
  # The link names the program, its folder as the working folder, and the program's title.
  python3 - "$link" "$exe_win" <<'PY' || fail=1
import sys
data = open(sys.argv[1], 'rb').read()
exe = sys.argv[2]
folder = exe.rsplit('\\', 1)[0]
def has(text):
    return text.encode('utf-16-le') in data or text.encode('ascii', 'replace') in data
missing = [what for what, text in (('target', exe), ('working folder', folder), ('description', 'VornaStampShifter')) if not has(text)]
if missing:
    print('e2e-sendto: the link lacks its ' + ', '.join(missing))
    sys.exit(1)
PY
else
  echo "e2e-sendto: no link in $sendto after registering"
  fail=1
fi

# Remove: the dialog now offers "「送る」から削除する(&R)".
about
xdotool key alt+r
sleep 0.3
xdotool key Return
wait_shown 3 "no message after removing"
sleep 0.3
xdotool key Return
wait_shown 1 "the message or the about dialog did not close"
if [ -e "$link" ]; then echo "e2e-sendto: the link is still there after removing"; fail=1; fi

# Esc closes the main window and ends the program.
xdotool key Escape
for _ in $(seq 1 75); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then echo "e2e-sendto: the program did not end on Esc"; fail=1; fi
pid=
[ "$fail" = 0 ] && echo "e2e-sendto: registered from the about dialog, link found in Send To, then removed"
exit $fail
