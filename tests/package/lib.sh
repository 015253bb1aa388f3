# Helpers of the package tests (sourced): the program started as a user starts it, its windows on the
# test display, its settings file read back. The caller sets winerun, prefix and name, and calls
# finish at the end.
[ -n "${DISPLAY:-}" ] || { echo "$name: needs a display (run through winerun --with-display)"; exit 1; }
# Wine run as root writes where a user may not: what these tests check of folders would prove nothing.
[ "$(id -u)" -ne 0 ] || { echo "$name: run as an unprivileged user (tools/as-test-user)"; exit 1; }

failures=0
bad() { echo "$name: $*"; failures=$((failures + 1)); }

pid=
work=$(mktemp -d "/tmp/vss-$name.XXXXXX")
cleanup_more() { :; }
cleanup() {
  # The program and Wine's loader run in a process group of their own: a failed step ends them all.
  [ -n "$pid" ] && kill -- "-$pid" 2>/dev/null
  cleanup_more
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

count_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
# wait_windows PATTERN COUNT WHAT: waits up to 15 s for COUNT visible windows whose title matches.
wait_windows() {
  for _ in $(seq 1 75); do
    [ "$(count_windows "$1")" = "$2" ] && return 0
    sleep 0.2
  done
  bad "$3 (windows titled $1: $(count_windows "$1"), expected $2)"
  return 1
}

# start_program EXE [args...]: starts it and waits for its main window; no error box may come up.
start_program() {
  setsid "$winerun" --prefix "$prefix" "$@" &
  pid=$!
  wait_windows '^VornaStampShifter$' 1 "$1: the main window did not appear" || return 1
  sleep 1
  if [ "$(count_windows '^エラー$')" != 0 ]; then
    bad "$1: an error box came up at the start"
    xdotool key Return
    sleep 0.5
  fi
  return 0
}

# end_program: Esc closes the main window, which saves the settings; the program must end.
end_program() {
  xdotool key Escape
  for _ in $(seq 1 75); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then
    bad "the program did not end on Esc (an error box at the close?)"
    kill -- "-$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  pid=
}

# toggle_auto_exit: the check box "設定後に自動終了(&E)" by its access key, as a user changes an option.
toggle_auto_exit() {
  xdotool key alt+e
  sleep 0.3
}

# ini_value FILE KEY: the value of KEY in the settings file, or "<none>".
ini_value() {
  [ -f "$1" ] || { echo "<none>"; return; }
  local v
  v=$(tr -d '\r' < "$1" | sed -n "s/^$2=//p" | head -1)
  echo "${v:-<none>}"
}

# windows_path LINUXPATH
windows_path() { WINEPREFIX=$prefix winepath -w "$1" 2>/dev/null; }

# The user's roaming application-data folder of this prefix.
roaming="$prefix/drive_c/users/$(id -un)/AppData/Roaming"
user_ini="$roaming/VornaStampShifter/VornaStampShifter.ini"

# version_of EXE: the FileVersion text of the program's version resource.
version_of() {
  python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
key = 'FileVersion'.encode('utf-16-le') + b'\0\0'
at = data.find(key)
if at < 0:
    sys.exit(1)
at += len(key)
at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
end = at
while data[end:end + 2] != b'\0\0':
    end += 2
print(data[at:end].decode('utf-16-le'))
PY
}

finish() {
  if [ "$failures" = 0 ]; then echo "$name: $1"; exit 0; fi
  echo "$name: $failures failure(s)"
  exit 1
}
