#!/usr/bin/env bash
# The picture tour: builds the program, starts it under Wine on a screen of its own and drives it as a
# user would (targets on the command line, the list window, the date-time dialog and its rules, the preview, a question of a run,
# the summary, the undo, the about dialog, the help, the progress splash of a large folder), saving a screenshot
# of each window into docs/screenshots/. Run it again after a change to the windows:
#   tools/tour.sh [output folder]
# The program runs with a Wine prefix of its own (build/tourprefix), set up as tools/winerun sets up
# every prefix, so the pictures show the fonts the tests see, at 150 % display scale (LogPixels 144).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/docs/screenshots}
prefix="$root/build/tourprefix"

if [ -z "${VSS_TOUR_INNER:-}" ]; then
  "$root/tools/deps.sh"
  "$root/tools/build.sh" x86_64 --target VornaStampShifter
  # The help file, where the build makes one.
  if grep -q '^build vss_help:' "$root/build/x86_64/build.ninja"; then "$root/tools/build.sh" x86_64 --target vss_help; fi
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  # A screen of its own (winerun starts an Xvfb when DISPLAY is unset): nothing else on it.
  # At 150 % display scale, as most machines run today.
  exec env -u DISPLAY VSS_TOUR_INNER=1 "$root/tools/winerun" --prefix "$prefix" --logpixels 144 --with-display \
    "$0" "$out"
fi

winerun="$root/tools/winerun"
# The user's folders on drive C of the prefix, so that the windows show the paths a Windows user sees.
work="$prefix/drive_c/作業"
rm -rf "$work"
mkdir -p "$work"
pid=
cleanup() {
  [ -n "$pid" ] && kill -- "-$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
say() { echo "tour: $*"; }
die() { echo "tour: $*" >&2; exit 1; }

# ---- the windows on the screen ----
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# new_window PATTERN KNOWN...: waits up to 15 s for a visible window titled PATTERN that is not among
# the known ones, and prints its id.
new_window() {
  local pattern=$1; shift
  for _ in $(seq 1 75); do
    for id in $(visible "$pattern"); do
      case " $* " in *" $id "*) ;; *) echo "$id"; return 0 ;; esac
    done
    sleep 0.2
  done
  return 1
}
gone() {
  for _ in $(seq 1 75); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -qx "$2" || return 0
    sleep 0.2
  done
  return 1
}
# shot ID NAME [SETTLE]: the window as it stands on the screen, frame included, once it has had SETTLE
# seconds to paint.
shot() {
  sleep "${3:-0.6}"
  local X Y WIDTH HEIGHT WINDOW SCREEN geometry
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || die "the window for $2 went before its picture"
  eval "$geometry"
  # No time stamps in the file: a picture that did not change stays the same file.
  import -silent -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -define png:exclude-chunks=date,time \
    "$out/$2.png"
  say "$2.png (${WIDTH}x${HEIGHT})"
}

# ---- a user's folders and settings ----
app="$work/VornaStampShifter"
mkdir -p "$app" "$work/写真/2024-春" "$work/書類"
cp "$root/build/x86_64/VornaStampShifter.exe" "$app/"
help="$root/build/x86_64/VornaSTS.hlp"
[ -f "$help" ] && cp "$help" "$app/"
for f in 写真/IMG_0001.jpg 写真/IMG_0002.jpg 写真/2024-春/IMG_0103.jpg 写真/2024-春/IMG_0104.jpg \
         書類/見積書.xlsx 書類/議事録_0415.docx 書類/readme.txt; do
  echo "$f" > "$work/$f"
done
# The program starts as a new user meets it: no settings file, so the first run's defaults; the user
# changes what the tour needs through the windows, as anyone would.
rm -f "$app/VornaStampShifter.ini"
win() { WINEPREFIX=$prefix winepath -w "$1" 2>/dev/null; }

# A new user's file dialogs remember no folder yet (the system keeps the last one per program).
loader=wine
[ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
WINEPREFIX=$prefix WINEDEBUG=-all "$loader" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32' /f \
  >/dev/null 2>&1 || true
# Started from its own folder, as from a shortcut or Explorer: that is the current folder.
start() {
  (cd "$app" && exec setsid "$winerun" --prefix "$prefix" "$app/VornaStampShifter.exe" "$@") &
  pid=$!
  main=$(new_window '^VornaStampShifter$') || die "the main window did not appear"
  sleep 1
}
# A click on the main window's caption makes it the active window again (there is no window manager).
focus_main() {
  xdotool mousemove --window "$main" 120 8 click 1
  sleep 0.3
}
stop() {
  xdotool key Escape
  for _ in $(seq 1 75); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && die "the program did not end on Esc"
  pid=
}

# ---- the tour ----
start "$(win "$work/写真")" "$(win "$work/書類")"
shot "$main" main
# The user keeps the program open after a run, to see its summary and take the run back.
xdotool key alt+e
sleep 0.3

xdotool key ctrl+l
list=$(new_window '（ファイル一覧）$') || die "the list window did not open on Ctrl+L"
shot "$list" list
# A selection made with the mouse (a click, Shift and Ctrl clicks), then the list's context menu from
# a right click on another entry, which joins the selection.
item() { echo $((70 + 12 * $1)); }
xdotool mousemove --window "$list" 60 "$(item 0)" click 1
xdotool keydown shift mousemove --window "$list" 60 "$(item 2)" click 1 keyup shift
xdotool keydown ctrl mousemove --window "$list" 60 "$(item 4)" click 1 keyup ctrl
xdotool mousemove --window "$list" 60 "$(item 5)" click 3
sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$list")"
import -silent -window root -crop "$((WIDTH + 120))x${HEIGHT}+${X}+${Y}" +repage -define png:exclude-chunks=date,time \
  "$out/list-menu.png"
say "list-menu.png"
xdotool key Escape
sleep 0.3
# The list saved to a file: the save dialog opens below the window's caption, then says where it went.
before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | tr '\n' ' ')
xdotool key ctrl+s
save=$(new_window '.' $before) || die "no save dialog on Ctrl+S in the list"
eval "$(xdotool getwindowgeometry --shell "$list")"
listX=$X listY=$Y listR=$((X + WIDTH))
eval "$(xdotool getwindowgeometry --shell "$save")"
# Both windows whole: the dialog stands below the list's caption, moved left where the screen ends.
left=$((X < listX ? X : listX)) right=$((X + WIDTH > listR ? X + WIDTH : listR))
import -silent -window root -crop "$((right - left))x$((Y + HEIGHT - listY))+${left}+${listY}" +repage \
  -define png:exclude-chunks=date,time "$out/list-save.png"
say "list-save.png"
xdotool type --delay 30 'list.txt'
xdotool key Return
gone '.' "$save" || die "the save dialog did not close"
saved=$(new_window '^VornaStampShifter$' "$main") || die "no box said where the list was saved"
shot "$saved" list-saved
xdotool key Return
gone '^VornaStampShifter$' "$saved" || die "the saved box did not close"
xdotool key alt+F4
gone '（ファイル一覧）$' "$list" || die "the list window did not close"
focus_main

xdotool key ctrl+u
date=$(new_window '^更新日時入力$') || die "the date-time dialog did not open on Ctrl+U"
shot "$date" datetime
# A rule chosen in the same dialog: the time a photo was taken, an hour later (a camera an hour
# behind). Esc leaves the settings as they were for the rest of the tour.
xdotool key alt+k Down
sleep 0.3
xdotool key Tab ctrl+a
xdotool type --delay 30 '+1:00:00'
shot "$date" datetime-rule
xdotool key Escape
gone '^更新日時入力$' "$date" || die "the date-time dialog did not close"
focus_main

# The preview of the run: every target with its times now and after the run, filled in the background.
xdotool key ctrl+p
preview=$(new_window '^変更内容の確認') || die "the preview did not open on Ctrl+P"
xdotool mousemove 0 0  # off the list, whose column headings light up under the pointer
shot "$preview" preview 2
xdotool key Escape
gone '^変更内容の確認' "$preview" || die "the preview did not close on Esc"
focus_main

xdotool key ctrl+e
about=$(new_window '^VornaStampShifter$' "$main") || die "the about dialog did not open on Ctrl+E"
shot "$about" about
xdotool key Escape
gone '^VornaStampShifter$' "$about" || die "the about dialog did not close"

# A target that went away after it was collected: the run asks, then sums up.
rm "$work/書類/readme.txt"
xdotool key Return
question=$(new_window '^VornaStampShifter$' "$main") || die "the run asked nothing about the missing target"
shot "$question" question
xdotool key Return
gone '^VornaStampShifter$' "$question" || die "the question did not close"
summary=$(new_window '^VornaStampShifter$' "$main") || die "the run showed no summary"
shot "$summary" summary
xdotool key Return
gone '^VornaStampShifter$' "$summary" || die "the summary did not close"

# The run taken back: Ctrl+Z asks first, then sums up.
focus_main
xdotool key ctrl+z
confirm=$(new_window '^VornaStampShifter$' "$main") || die "no confirmation on Ctrl+Z"
shot "$confirm" undo-confirm
xdotool key Return
gone '^VornaStampShifter$' "$confirm" || die "the confirmation did not close"
undone=$(new_window '^VornaStampShifter$' "$main") || die "the undo showed no summary"
shot "$undone" undo-summary
xdotool key Return
gone '^VornaStampShifter$' "$undone" || die "the undo's summary did not close"

if [ -f "$app/VornaSTS.hlp" ]; then
  before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | tr '\n' ' ')
  xdotool key alt+h
  helpwin=$(new_window '.' $before) || die "no help window opened on the help button"
  shot "$helpwin" help
  xdotool key Escape
  if ! gone '.' "$helpwin"; then
    xdotool key alt+F4
    gone '.' "$helpwin" || die "the help window did not close"
  fi
  focus_main
else
  say "no help file built (target vss_help): the help is left out"
fi
stop

# The progress splash: a folder large enough for the collection to take a while.
python3 - "$work/many" <<'PY'
import os, sys
for d in range(400):
    folder = os.path.join(sys.argv[1], 'フォルダ%03d' % d)
    os.makedirs(folder)
    for f in range(250):
        open(os.path.join(folder, 'file%03d.txt' % f), 'w').close()
PY
(cd "$app" && exec setsid "$winerun" --prefix "$prefix" "$app/VornaStampShifter.exe" "$(win "$work/many")") &
pid=$!
splash=
for _ in $(seq 1 150); do
  for id in $(xdotool search --onlyvisible --class 'vornastampshifter' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue  # gone meanwhile
    eval "$geometry"
    # The splash: a window without a caption, 269 x 163 in client pixels at 100 % (404 x 245 at the
    # tour's 150 %) plus its border.
    if [ "$WIDTH" -ge 404 ] && [ "$WIDTH" -le 410 ] && [ "$HEIGHT" -ge 245 ] && [ "$HEIGHT" -le 251 ]; then splash=$id; fi
  done
  [ -n "$splash" ] && break
  sleep 0.1
done
[ -n "$splash" ] || die "no progress splash during the collection of 100,000 files"
shot "$splash" splash 0.3
main=$(new_window '^VornaStampShifter$') || die "the main window did not appear after the collection"
sleep 1
stop
say "screenshots in $out"
