#!/usr/bin/env bash
# End to end, as a user: the time rules through real runs. Each start runs one rule on the update side
# (Wine reports the last-write time for the creation time too, so only that side can be seen from
# Linux) over a folder of its own, ends by itself, and the files' update times are checked. A last
# start undoes the last run with Ctrl+Z and Enter, and the times must come back.
#   Rules.sh <winerun> <wineprefix> <VornaStampShifter.exe>
set -euo pipefail
winerun=$1 prefix=$2 exe=$3
e2e_name=e2e_rules
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin rules exiftool convert
mkdir -p "$work/app"
cp "$exe" "$work/app/VornaStampShifter.exe"

# Every file starts at the same time of day on the same date, so each rule's result differs from it
# and from the other rules'.
old='2020-05-05 05:05:05'
photo() {  # photo <file> [exiftool tags...]: a small JPEG, its tags written, its time set to $old
  local f=$1
  shift
  mkdir -p "$(dirname "$f")"
  convert -size 16x16 xc:#3070c0 "$f"
  [ $# -eq 0 ] || exiftool -q -overwrite_original "$@" "$f"
  touch -d "$old" "$f"
}
photo "$work/taken/camera.jpg" '-DateTimeOriginal=2018:07:06 05:04:03'
photo "$work/taken/screenshot.jpg"
photo "$work/filename/IMG_20240102_030405.jpg"
for rule in other shift date time; do photo "$work/$rule/a.jpg"; done

fail=0
ended() { ! kill -0 "$pid" 2>/dev/null; }

# start <folder> <auto end> <update rule> <update offset>: the program on <folder>, the creation side
# left alone, the update side's entered date-time 2001/02/03 04:05:06 and the rule given. The INI is
# in Shift_JIS, as the program writes it.
start() {
  printf '[Application]\r\nSplashCount=100\r\nAutoEnd=%d\r\nTypeFile=1\r\nTypeFolder=0\r\nTypeAll=0\r\n[DateChange]\r\nDateChange=1\r\nCreateDateTime=0\r\nUpdateDateTime=1\r\nCreateYear=2001\r\nCreateMonth=2\r\nCreateDay=3\r\nCreateHour=4\r\nCreateMinute=5\r\nCreateSecond=6\r\nUpdateYear=2001\r\nUpdateMonth=2\r\nUpdateDay=3\r\nUpdateHour=4\r\nUpdateMinute=5\r\nUpdateSecond=6\r\nUpdateRule=%s\r\nUpdateOffset=%s\r\n[AttrChange]\r\nAttrChange=0\r\n' \
    "$2" "$3" "$4" | iconv -f UTF-8 -t CP932 > "$work/app/VornaStampShifter.ini"
  setsid "$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" "$(WINEPREFIX=$prefix winepath -w "$1")" &
  pid=$!
  e2e_wait "the main window ($3)" has_windows 1
  sleep 1
}

# run <rule> <offset>: a run over the rule's folder that ends the program by itself; a question would
# keep it open.
run() {
  start "$work/$1" 1 "$1" "$2"
  xdotool key Return
  e2e_wait "the end of the run with the rule $1 (a question open?)" ended
  pid=
}

expect() {  # expect <file> <local date-time>
  local got want
  got=$(stat -c %Y "$work/$1")
  want=$(date -d "$2" +%s)
  [ "$got" = "$want" ] || { echo "e2e_rules: $1: update time $(date -d @"$got" '+%F %T') instead of $2"; fail=1; }
}

run taken '+1:00:00'
expect taken/camera.jpg '2018-07-06 06:04:03'
expect taken/screenshot.jpg "$old"   # no taken time: left as it was, without a question
run filename ''
expect filename/IMG_20240102_030405.jpg '2024-01-02 03:04:05'
run other '-2日'
expect other/a.jpg '2020-05-03 05:05:05'
run shift '+1:00:00'
expect shift/a.jpg '2020-05-05 06:05:05'
run date ''
expect date/a.jpg '2001-02-03 05:05:05'
run time ''
expect time/a.jpg '2020-05-05 04:05:06'

# The undo of the last run, in a start of its own: Ctrl+Z, Enter on the confirmation, Enter on the
# summary, Esc.
[ -f "$journal" ] || { echo "e2e_rules: the runs left no journal at $journal"; exit 1; }
start "$work/time" 0 time ''
e2e_undo_by_keys
xdotool key Escape
e2e_wait "the end of the program on Esc" ended
pid=
expect time/a.jpg "$old"
expect date/a.jpg '2001-02-03 05:05:05'   # an earlier run is not undone with the last
[ -e "$journal" ] && { echo "e2e_rules: the journal is still there after the undo"; fail=1; }

[ "$fail" = 0 ] && echo "e2e_rules: taken, filename, other, shift, date and time set the update times; the undo gave the last run back"
exit $fail
