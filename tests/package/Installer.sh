#!/usr/bin/env bash
# The installer as a user meets it, silently: installs into Program Files with a Start menu entry and
# an entry in Apps & features; the installed program keeps its options in the user's folder, even
# with its own folder read-only as on Windows, and writes nothing there; the silent uninstaller
# removes what was installed and the program's Send To link, and keeps the user's settings; asked,
# it deletes them.
#   Installer.sh <winerun> <wineprefix> <setup.exe> <with-help: 0|1>
set -uo pipefail
winerun=$1 prefix=$2 setup=$3 with_help=$4
name=package-installer
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ -f "$setup" ] || { bad "no installer at $setup (built by the target vss_packages; needs makensis)"; finish; }
dir="$prefix/drive_c/Program Files/VornaStampShifter"
dir_win='C:\Program Files\VornaStampShifter'
menu_link="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VornaStampShifter.lnk"
sendto_link="$roaming/Microsoft/Windows/SendTo/VornaStampShifter.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VornaStampShifter'
cleanup_more() {
  # An uninstaller left on the screen by a failed step runs as a copy of itself ("..._?=<folder>") in
  # a session of its own: ended here, or it would hold the test's output open.
  local p
  for p in /proc/[0-9]*; do
    [ -O "$p" ] || continue
    tr '\0' ' ' < "$p/cmdline" 2>/dev/null | grep -qiF -e "_?=$dir_win\\" -e '_?=C:\VSSOther\' && kill "${p#/proc/}"
  done
  chmod -R u+w "$dir" 2>/dev/null
  rm -rf "$dir" "$menu_link" "$sendto_link" "$user_ini"
  "$winerun" --prefix "$prefix" reg delete "$key" /f >/dev/null 2>&1
}
cleanup_more

# link_names LINK TEXT...: the shell link names every text (in UTF-16 or in the ANSI form).
link_names() {
  python3 - "$@" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
missing = [t for t in sys.argv[2:] if t.encode('utf-16-le') not in data and t.encode('ascii', 'replace') not in data]
sys.exit(1 if missing else 0)
PY
}
registered() { "$winerun" --prefix "$prefix" reg query "$key" 2>/dev/null | tr -d '\r'; }
is_registered() { "$winerun" --prefix "$prefix" reg query "$key" >/dev/null 2>&1; }

"$winerun" --prefix "$prefix" "$setup" /S
rc=$?
[ "$rc" = 0 ] || bad "the silent installer ended with $rc"

want="VornaStampShifter.exe VornaStampShifter.installed readme.txt uninst.exe vornasts.exe"
[ "$with_help" = 1 ] && want="VornaSTS.hlp $want"
got=$(ls -A "$dir" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
[ "$got" = "$(echo $want | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')" ] ||
  bad "Program Files\\VornaStampShifter holds [$got], expected [$want]"
exe="$dir/VornaStampShifter.exe"
version=$(version_of "$exe") || bad "no version resource in the installed program"
companion=$("$winerun" --prefix "$prefix" "$dir/vornasts.exe" --version 2>&1 | tr -d '\r')
grep -q "^vornasts (VornaStampShifter) $version\$" <<<"$companion" ||
  bad "the installed vornasts.exe --version said [$companion], expected version $version"

if [ -f "$menu_link" ]; then
  link_names "$menu_link" "$dir_win\\VornaStampShifter.exe" ||
    bad "the Start menu entry does not start the installed program"
else
  bad "no Start menu entry at $menu_link"
fi
entry=$(registered)
for want_line in "DisplayName    REG_SZ    VornaStampShifter" "DisplayVersion    REG_SZ    $version" \
                 "DisplayIcon    REG_SZ    \"$dir_win\\VornaStampShifter.exe\",0" \
                 "UninstallString    REG_SZ    \"$dir_win\\uninst.exe\"" \
                 "QuietUninstallString    REG_SZ    \"$dir_win\\uninst.exe\" /S"; do
  grep -qF "$want_line" <<<"$entry" || bad "Apps & features lacks: $want_line"
done

# First start with the folder as Wine leaves it, writable by its owner: the installed copy writes its
# changed option into the user's file all the same, and nothing into its own folder.
snapshot() { (cd "$dir" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(snapshot)
start_program "$exe" && { toggle_auto_exit; end_program; }
[ "$(ini_value "$user_ini" AutoEnd)" = 0 ] ||
  bad "the changed option is not in the user's file (AutoEnd=$(ini_value "$user_ini" AutoEnd))"
[ "$before" = "$(snapshot)" ] ||
  bad "the first start changed the installation folder: $(diff <(echo "$before") <(snapshot) | tr '\n' ' ')"

# Users may not write into Program Files on Windows: the same here for the second start, which keeps
# the option and registers the program in Send To from the about dialog; no error box on the way.
chmod -R a-w "$dir"
if start_program "$exe"; then
  xdotool key ctrl+e
  wait_windows '^VornaStampShifter$' 2 "the about dialog did not open on Ctrl+E" && {
    sleep 0.5
    xdotool key alt+s
    sleep 0.3
    xdotool key Return
    if wait_windows '^VornaStampShifter$' 3 "no message after registering in Send To"; then
      sleep 0.3
      xdotool key Return
    fi
    wait_windows '^VornaStampShifter$' 1 "the message or the about dialog did not close"
  }
  end_program
fi
chmod -R u+w "$dir"
[ "$(ini_value "$user_ini" AutoEnd)" = 0 ] ||
  bad "the second start did not keep the option (AutoEnd=$(ini_value "$user_ini" AutoEnd))"
[ -f "$sendto_link" ] || bad "the installed program made no Send To link"
[ "$before" = "$(snapshot)" ] || bad "the second start changed the installation folder"

cp "$sendto_link" "$work/own.lnk" 2>/dev/null

# Silent uninstall: the uninstaller hands over to a copy of itself and returns; wait for the copy.
"$winerun" --prefix "$prefix" "$dir/uninst.exe" /S
for _ in $(seq 1 150); do
  [ -e "$dir" ] || break
  sleep 0.2
done
[ -e "$dir" ] && bad "the installation folder is still there: $(ls -A "$dir" | tr '\n' ' ')"
[ -e "$menu_link" ] && bad "the Start menu entry is still there"
[ -e "$sendto_link" ] && bad "the program's Send To link is still there"
is_registered && bad "the Apps & features entry is still there"
[ "$(ini_value "$user_ini" AutoEnd)" = 0 ] || bad "the silent uninstall did not keep the user's settings"

# Installed elsewhere (/D) and uninstalled by a user: the uninstaller asks about the settings and
# "はい" deletes them; a Send To link of the same name that starts another copy (the one removed
# above) stays.
other="$prefix/drive_c/VSSOther"
"$winerun" --prefix "$prefix" "$setup" /S '/D=C:\VSSOther'
[ -f "$other/VornaStampShifter.installed" ] || bad "the installer did not take the folder given with /D"
[ -f "$work/own.lnk" ] && cp "$work/own.lnk" "$sendto_link"
setsid "$winerun" --prefix "$prefix" "$other/uninst.exe" &
pid=$!
if wait_windows '^VornaStampShifter .* アンインストール' 1 "the uninstaller's window did not appear"; then
  sleep 0.5
  xdotool key Return  # アンインストール(U)
  if wait_windows '^VornaStampShifter .* アンインストール' 2 "the uninstaller did not ask about the settings"; then
    sleep 0.3
    xdotool key y
  fi
  for _ in $(seq 1 75); do
    [ -e "$other" ] || break
    sleep 0.2
  done
  sleep 0.5
  xdotool key Return  # 閉じる(C)
fi
[ -e "$other" ] && bad "the folder given with /D is still there after the uninstall"
[ -e "$user_ini" ] && bad "the settings are still there after the user said yes to deleting them"
[ -f "$work/own.lnk" ] && { [ -f "$sendto_link" ] || bad "the uninstaller removed a Send To link that starts another copy"; }
wait_windows '^VornaStampShifter .* アンインストール' 0 "the uninstaller's window did not close"
kill -- "-$pid" 2>/dev/null
pid=
rm -rf "$other"

finish "installed, started twice with its settings in the user's folder, uninstalled with its links"
