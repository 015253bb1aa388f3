#!/usr/bin/env bash
# End to end, as a script would use it: the built vornasts.exe under Wine, standard input not a console
# (so no question waits). Each option once, checked on the files' update times and attributes (Wine
# reports the last-write time for the creation time too, so the creation side is seen in the output
# only), the exit codes 0 to 3, a usage error of each kind, a failure's reason in the --log CSV,
# --dry-run changing nothing, and the undo across the two programs: a companion run undone with Ctrl+Z
# in the window program, a window run undone with vornasts --undo.
#   Console.sh <winerun> <wineprefix> <vornasts.exe> <VornaStampShifter.exe>
set -uo pipefail
winerun=$1 prefix=$2 cli=$3 exe=$4
e2e_name=e2e_console
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin console exiftool convert
mkdir -p "$work/app"
cp "$cli" "$work/app/vornasts.exe"
cp "$exe" "$work/app/VornaStampShifter.exe"

fail=0
bad() { echo "e2e_console: $*"; fail=1; }
win() { WINEPREFIX=$prefix winepath -w "$1"; }
old='2020-05-05 05:05:05'
mtime() { stat -c %Y "$1"; }
at() { date -d "$1" +%s; }
# vss <args...>: runs the companion, input from /dev/null; sets rc, out and err (CR removed).
vss() {
  "$winerun" --prefix "$prefix" "$work/app/vornasts.exe" "$@" </dev/null >"$work/out" 2>"$work/err"
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}
expect_rc() {  # expect_rc <code> <what>
  [ "$rc" = "$1" ] || bad "$2: exit code $rc, expected $1 (out: $out) (err: $err)"
}
fresh() {  # fresh <file...>: made anew at $old
  for f in "$@"; do
    mkdir -p "$(dirname "$f")"
    echo x >"$f"
    touch -d "$old" "$f"
  done
}
# Wine keeps hidden and system in an extended attribute; where the file system keeps none, they are
# not checked.
dosattr() { python3 -c 'import os, sys
try: print(os.getxattr(sys.argv[1], "user.DOSATTRIB").decode(errors="replace"))
except OSError: print("-")' "$1"; }
xattrs=1
python3 -c 'import os, sys; os.setxattr(sys.argv[1], "user.vss-probe", b"1")' "$work/app" 2>/dev/null || xattrs=0

# ---- help, version and usage errors (exit 2), each naming its option and showing its line ----
vss --help
expect_rc 0 "--help"
grep -q -- '--dry-run' <<<"$out" || bad "--help does not list --dry-run: $out"
vss --version
expect_rc 0 "--version"
grep -q '^vornasts (VornaStampShifter) ' <<<"$out" || bad "--version said: $out"
fresh "$work/u/a.txt"
usage() {  # usage <option shown> <message piece> <args...>
  local option=$1 piece=$2
  shift 2
  vss "$@"
  expect_rc 2 "usage error ($*)"
  grep -qF -- "$piece" <<<"$err" || bad "usage error ($*) does not say '$piece': $err"
  [ -z "$option" ] || grep -q -- "^  .*$option" <<<"$err" || bad "usage error ($*) shows no usage line of $option: $err"
}
usage --created 'その日時は存在しません' --created 2025-02-30 "$(win "$work/u/a.txt")"
usage --modified '1980 年から 2100 年' --modified '1979-12-31 23:59:59' "$(win "$work/u/a.txt")"
usage '' '不明なオプションです: --bogus' --bogus "$(win "$work/u/a.txt")"
usage --hidden 'on か off' --hidden yes "$(win "$work/u/a.txt")"
usage --shift '+1:00:00' --shift soon "$(win "$work/u/a.txt")"
usage --system '値が必要' --system
usage --folders '同時に指定できません' --files --folders --hidden on "$(win "$work/u/a.txt")"
usage '' 'パスが指定されていません' --hidden on
[ "$(mtime "$work/u/a.txt")" = "$(at "$old")" ] || bad "a usage error changed a file"

# ---- each time option on a file of its own (exit 0) ----
fresh "$work/t/fixed.txt" "$work/t/dateonly.txt" "$work/t/timeonly.txt" "$work/t/shift.txt" \
      "$work/t/IMG_20190708_091011.jpg" "$work/t/other.txt" "$work/t/created.txt"
convert -size 16x16 xc:#3070c0 "$work/t/photo.jpg" && exiftool -q -overwrite_original '-DateTimeOriginal=2018:07:06 05:04:03' "$work/t/photo.jpg"
touch -d "$old" "$work/t/photo.jpg"
time_case() {  # time_case <file> <expected update time> <args...>
  local f=$1 want=$2
  shift 2
  vss "$@" "$(win "$f")"
  expect_rc 0 "$* on $(basename "$f")"
  [ "$(mtime "$f")" = "$(at "$want")" ] || bad "$* left $(basename "$f") at $(date -d @"$(mtime "$f")" '+%F %T'), expected $want"
  grep -qF "$(basename "$f")" <<<"$out" || bad "$*: no line for $(basename "$f"): $out"
}
time_case "$work/t/fixed.txt" '2001-02-03 04:05:06' --modified '2001-02-03 04:05:06'
time_case "$work/t/dateonly.txt" '2002-03-04 05:05:05' --modified '2002-03-04' --date-only
time_case "$work/t/timeonly.txt" '2020-05-05 06:07:08' --modified '2002-03-04 06:07:08' --time-only
time_case "$work/t/shift.txt" '2020-05-05 06:05:05' --shift +1:00
time_case "$work/t/IMG_20190708_091011.jpg" '2019-07-08 09:10:11' --modified name
time_case "$work/t/photo.jpg" '2018-07-06 06:04:03' --modified taken --shift +1:00
time_case "$work/t/other.txt" '2020-05-05 07:05:05' --modified created --shift +2:00
# The creation side: written and counted as changed (Wine does not keep it, so the state read back, and
# with it the report's outcome, cannot show it here).
vss --created '2003-04-05 06:07:08' "$(win "$work/t/created.txt")"
expect_rc 0 "--created"
grep -q '変更数 ： 1 エラー数 ： 0' <<<"$out" || bad "--created: not counted as changed: $out"
grep -q '変更が終了しました。' <<<"$out" || bad "no summary line: $out"

# ---- attributes ----
fresh "$work/attr/a.txt"
if [ "$xattrs" = 1 ]; then
  vss --readonly on --hidden on --system on "$(win "$work/attr/a.txt")"
  expect_rc 0 "--readonly on --hidden on --system on"
  case "$(dosattr "$work/attr/a.txt")" in
    0x*6|0x*7) ;;
    *) bad "--hidden on --system on: Wine's attribute record is $(dosattr "$work/attr/a.txt")" ;;
  esac
  grep -qP ' / RHS\t' <<<"$out" || bad "the line's after state lacks RHS: $out"
else
  echo "e2e_console: no extended attributes here: hidden and system are not checked"
  vss --readonly on "$(win "$work/attr/a.txt")"
  expect_rc 0 "--readonly on"
fi
[ -w "$work/attr/a.txt" ] && bad "--readonly on left the file writable"
vss --readonly off "$(win "$work/attr/a.txt")"
expect_rc 0 "--readonly off"
[ -w "$work/attr/a.txt" ] || bad "--readonly off left the file read-only"
if [ "$xattrs" = 1 ]; then
  vss --hidden off "$(win "$work/attr/a.txt")"
  expect_rc 0 "--hidden off"
  grep -qP ' / S\t' <<<"$out" || bad "--hidden off kept hidden, or system was lost: $out"
fi

# ---- what is taken from folders: --files, --folders, --all, --recurse, --ext ----
tree() {
  rm -rf "$work/tree"
  fresh "$work/tree/a.txt" "$work/tree/b.log" "$work/tree/sub/c.txt" "$work/tree/sub/d.jpg"
  touch -d "$old" "$work/tree/sub" "$work/tree"
}
changed() {  # the entries below tree changed to 2001-02-03 04:05:06, sorted
  (cd "$work/tree" && find . -mindepth 1 -newermt '2001-02-03 04:05:05' ! -newermt '2001-02-03 04:05:07' | sort | tr '\n' ' ')
}
take() {  # take <expected changed entries> <args...>
  local want=$1
  shift
  tree
  vss --modified '2001-02-03 04:05:06' "$@" "$(win "$work/tree")"
  expect_rc 0 "$*"
  local got
  got=$(changed)
  [ "$got" = "$want" ] || bad "$* changed [$got], expected [$want]"
}
# Without --recurse a folder given is taken itself, not what it holds (as in the window).
take './a.txt ./b.log ./sub ./sub/c.txt ./sub/d.jpg ' --all --recurse
take './a.txt ./b.log ./sub/c.txt ./sub/d.jpg ' --files --recurse
take './sub ' --folders --recurse
take './a.txt ./sub/c.txt ' --files --recurse --ext TXT
take './sub/d.jpg ' --files --recurse --ext 'j?g;png'

# ---- nothing matched (exit 3), --dry-run changes nothing ----
tree
vss --hidden on --files --recurse --ext png "$(win "$work/tree")"
expect_rc 3 "--ext png over a tree without one"
vss --hidden on --files "$(win "$work/tree")"
expect_rc 3 "--files on a folder without --recurse"
snapshot() { (cd "$work/tree" && find . -printf '%p %T@ %m\n' | sort; for f in $(find . -type f | sort); do dosattr "$f"; done); }
before=$(snapshot)
vss --dry-run --modified '2001-02-03 04:05:06' --readonly on --recurse "$(win "$work/tree")"
expect_rc 0 "--dry-run"
[ "$(snapshot)" = "$before" ] || bad "--dry-run changed the tree"
[ "$(grep -c 'c.txt' <<<"$out")" = 1 ] || bad "--dry-run shows no line for c.txt: $out"
grep -qE '確認のみ \(--dry-run\): 変更される数 [1-9][0-9]*、エラー数 0' <<<"$out" || bad "--dry-run's summary: $out"

# ---- a failure (exit 1) and its reason in the log: a file the user may not write ----
# The kernel's own files take no new times from anyone, root included.
tree
vss --modified '2001-02-03 04:05:06' --log "$(win "$work/log.csv")" "$(win "$work/tree/a.txt")" 'Z:\proc\version'
expect_rc 1 "a run with a file the user may not write"
[ "$(mtime "$work/tree/a.txt")" = "$(at '2001-02-03 04:05:06')" ] || bad "the writable file was not changed beside the failure"
# The line's last field is Windows' reason; the log holds the same text, and starts with a mark.
reason=$(grep -F 'proc\version' <<<"$out" | cut -f5)
[ -n "$reason" ] || bad "the failed target's line gives no reason: $out"
[ "$(head -c 3 "$work/log.csv" | od -An -tx1 | tr -d ' ')" = efbbbf ] || bad "the log has no byte-order mark"
[ -n "$reason" ] && ! grep -qF "$reason" "$work/log.csv" && bad "the log lacks the reason '$reason': $(cat "$work/log.csv")"
grep -qF 'version' <<<"$out" || bad "no line for the failed target: $out"

# ---- the undo across the programs ----
ini() {  # the window program's settings: update time 2011/12/13 14:15:16, files, no automatic exit
  printf '[Application]\r\nSplashCount=100\r\nAutoEnd=0\r\nTypeFile=1\r\nTypeFolder=0\r\nTypeAll=0\r\nSubFolder=1\r\n[DateChange]\r\nDateChange=1\r\nCreateDateTime=0\r\nUpdateDateTime=1\r\nCreateYear=2011\r\nCreateMonth=12\r\nCreateDay=13\r\nCreateHour=14\r\nCreateMinute=15\r\nCreateSecond=16\r\nUpdateYear=2011\r\nUpdateMonth=12\r\nUpdateDay=13\r\nUpdateHour=14\r\nUpdateMinute=15\r\nUpdateSecond=16\r\n[AttrChange]\r\nAttrChange=0\r\n' \
    >"$work/app/VornaStampShifter.ini"
}
window() {  # window [path]: the window program started, its main window up
  ini
  setsid "$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" "$@" &
  pid=$!
  e2e_wait "the main window" has_windows 1
  sleep 1
}
window_end() {
  xdotool key Escape
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && { bad "the window program did not end on Esc"; kill -- "-$pid"; }
  pid=
}

# A companion run, undone with Ctrl+Z in the window.
tree
before=$(snapshot)
vss --modified '2001-02-03 04:05:06' --hidden on --recurse "$(win "$work/tree")"
expect_rc 0 "the run to undo"
[ -f "$journal" ] || bad "the companion's run left no journal at $journal"
window
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^VornaStampShifter$' | head -1)" 2>/dev/null || true
e2e_undo_by_keys
window_end
[ "$(snapshot)" = "$before" ] || { bad "Ctrl+Z did not give the companion's run back:"; diff <(echo "$before") <(snapshot); }
[ -e "$journal" ] && bad "the journal is still there after the window's undo"

# A window run, undone with vornasts --undo.
tree
before=$(snapshot)
window "$(win "$work/tree")"
xdotool key Return
e2e_wait "the summary of the run" has_windows 2
sleep 0.5
xdotool key Return
e2e_wait "the summary closing" has_windows_at_most 1
window_end
[ "$(mtime "$work/tree/sub/c.txt")" = "$(at '2011-12-13 14:15:16')" ] || bad "the window's run did not change sub/c.txt"
vss --undo --log "$(win "$work/undo.csv")"
expect_rc 0 "vornasts --undo of the window's run"
[ "$(snapshot)" = "$before" ] || { bad "vornasts --undo did not give the window's run back:"; diff <(echo "$before") <(snapshot); }
[ -e "$journal" ] && bad "the journal is still there after vornasts --undo"
grep -q 'c.txt' "$work/undo.csv" || bad "the undo's log lacks sub/c.txt"
vss --undo
expect_rc 3 "vornasts --undo with nothing to undo"
grep -q '元に戻せる変更はありません。' <<<"$err" || bad "nothing to undo was not told on standard error: $err"

[ "$fail" = 0 ] && echo "e2e_console: every option, exit codes 0-3, usage errors, the log's reason, --dry-run and the undo both ways"
exit $fail
