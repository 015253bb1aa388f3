#!/usr/bin/env bash
# End to end, as a user: the program changes a generated tree (Enter), then Ctrl+Z and Enter give it
# back; the files' times to the last digit and their attributes must be as before, and the journal gone.
#   Undo.sh <winerun> <wineprefix> <VornaStampShifter.exe>
set -euo pipefail
winerun=$1 prefix=$2 exe=$3
e2e_name=e2e_undo
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin undo
mkdir -p "$work/app" "$work/data/sub/deeper"
cp "$exe" "$work/app/VornaStampShifter.exe"
for f in a.txt b.log sub/c.txt sub/deeper/d.bin "sub/表ソ.txt"; do echo "$f" > "$work/data/$f"; done
# Times with nanoseconds, one read-only file: all of it must come back.
i=0
while IFS= read -r -d '' f; do
  i=$((i + 1))
  touch -d "2019-0$((i % 9 + 1))-1$i 0$i:2$i:3$i.12345678$i" "$f"
done < <(find "$work/data" -mindepth 1 -print0)
chmod a-w "$work/data/b.log"

# Every entry's last-write time to the 100 nanoseconds a Windows file time holds, its permissions (read-only) and Wine's record of
# its hidden and system attributes.
snapshot() {
  python3 - "$work/data" <<'PY'
import os, sys
root = sys.argv[1]
for top, dirs, files in sorted(os.walk(root)):
    for name in sorted(dirs + files) + ([""] if top == root else []):
        p = os.path.join(top, name) if name else root
        st = os.lstat(p)
        try:
            dos = os.getxattr(p, "user.DOSATTRIB", follow_symlinks=False).decode(errors="replace")
        except OSError:
            dos = "-"
        print(os.path.relpath(p, root), st.st_mtime_ns // 100, oct(st.st_mode & 0o777), dos)
PY
}
before=$(snapshot)

# Hidden lives in an extended attribute under Wine: where the file system keeps none, only read-only
# and the times are changed.
hidden=1
python3 -c 'import os, sys; os.setxattr(sys.argv[1], "user.vss-probe", b"1")' "$work/app" 2>/dev/null || hidden=0

# Settings as a user left them: both dates 2001/02/03 04:05:06, hidden switched on, read-only off,
# everything with its subfolders, no automatic exit.
printf '[Application]\r\nSplashCount=100\r\nAutoEnd=0\r\nTypeFile=0\r\nTypeFolder=0\r\nTypeAll=1\r\nSubFolder=1\r\n[DateChange]\r\nDateChange=1\r\nCreateDateTime=1\r\nUpdateDateTime=1\r\nCreateYear=2001\r\nCreateMonth=2\r\nCreateDay=3\r\nCreateHour=4\r\nCreateMinute=5\r\nCreateSecond=6\r\nUpdateYear=2001\r\nUpdateMonth=2\r\nUpdateDay=3\r\nUpdateHour=4\r\nUpdateMinute=5\r\nUpdateSecond=6\r\n[AttrChange]\r\nAttrChange=1\r\nReadOnly=1\r\nReadOnlyOn=0\r\nReadOnlyOff=1\r\nHidden=%d\r\nHiddenOn=1\r\nHiddenOff=0\r\n' "$hidden" \
  > "$work/app/VornaStampShifter.ini"

data_win=$(WINEPREFIX=$prefix winepath -w "$work/data")
setsid "$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" "$data_win" &
pid=$!

e2e_wait "the main window" has_windows 1
main=$(xdotool search --onlyvisible --name '^VornaStampShifter$' | head -1)
sleep 1
xdotool key Return
# The summary of the run: a second window with the application's caption.
e2e_wait "the summary of the run" has_windows 2
sleep 0.5
xdotool key Return
e2e_wait "the summary closing" has_windows_at_most 1
[ -f "$journal" ] || { echo "e2e_undo: the run left no journal at $journal"; exit 1; }
changed=$(snapshot)
[ "$changed" != "$before" ] || { echo "e2e_undo: the run changed nothing"; exit 1; }
if [ "$hidden" = 1 ] && ! grep -q '^a.txt .* 0x[0-9a-f]*2' <<<"$changed"; then
  echo "e2e_undo: the run did not make a.txt hidden"
  exit 1
fi

xdotool windowactivate --sync "$main" 2>/dev/null || true
e2e_undo_by_keys
xdotool key Escape
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && { echo "e2e_undo: the program did not end on Esc"; exit 1; }
pid=

fail=0
after=$(snapshot)
if [ "$after" != "$before" ]; then
  echo "e2e_undo: not everything came back:"
  diff <(echo "$before") <(echo "$after") || true
  fail=1
fi
[ -e "$journal" ] && { echo "e2e_undo: the journal is still there after everything came back"; fail=1; }
[ "$fail" = 0 ] && echo "e2e_undo: the run changed the tree, Ctrl+Z and Enter gave every time and attribute back"
exit $fail
