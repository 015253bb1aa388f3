#!/usr/bin/env bash
# The portable zip as a user meets it: exactly its files under the program's version, unpacked and
# started (the console companion asked its version); the settings beside the program, and in the
# user's folder once the program's folder is read-only.
#   PortableZip.sh <winerun> <wineprefix> <zip> <with-help: 0|1>
set -uo pipefail
winerun=$1 prefix=$2 zip=$3 with_help=$4
name=package-zip
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

[ -f "$zip" ] || { bad "no zip at $zip (built by the target vss_packages)"; finish; }
want="VornaStampShifter.exe readme.txt vornasts.exe"
[ "$with_help" = 1 ] && want="VornaSTS.hlp $want"
got=$(python3 -c 'import sys, zipfile; print(" ".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
[ "$got" = "$want" ] || bad "the zip holds [$got], expected [$want]"

app="$work/VornaStampShifter"
mkdir -p "$app"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$app"
exe="$app/VornaStampShifter.exe"

# One version: the zip's name carries the version resource's.
version=$(version_of "$exe") || bad "no version resource in the zipped program"
case "$(basename "$zip")" in
  "VornaStampShifter-$version-win64.zip") ;;
  *) bad "the zip is named $(basename "$zip"), the program's version is $version" ;;
esac

# The read-me is Japanese text that Notepad shows as such: a byte-order mark, CR LF, and it says
# where the settings live.
python3 - "$app/readme.txt" <<'PY' || bad "the read-me is not UTF-8 text with a mark and CR LF, or lacks the settings' place"
import sys
data = open(sys.argv[1], 'rb').read()
text = data[3:].decode('utf-8')
assert data.startswith(b'\xef\xbb\xbf')
assert b'\n' not in data.replace(b'\r\n', b'')
assert 'VornaStampShifter.ini' in text and '%APPDATA%\\VornaStampShifter' in text and '「送る」' in text
assert 'vornasts' in text and 'PowerShell' in text and 'タスク スケジューラ' in text
PY

# The console companion beside the program answers with the program's version.
companion=$("$winerun" --prefix "$prefix" "$app/vornasts.exe" --version 2>&1 | tr -d '\r')
rc=$?
[ "$rc" = 0 ] && grep -q "^vornasts (VornaStampShifter) $version\$" <<<"$companion" ||
  bad "the zipped vornasts.exe --version said [$companion] (exit $rc), expected version $version"

# The user's file of this prefix, left by other tests or not: the portable copy must not touch it.
rm -f "$user_ini"

# First start: an option changed and kept beside the program.
start_program "$exe" && { toggle_auto_exit; end_program; }
[ "$(ini_value "$app/VornaStampShifter.ini" AutoEnd)" = 0 ] ||
  bad "the changed option is not in the INI beside the program (AutoEnd=$(ini_value "$app/VornaStampShifter.ini" AutoEnd))"
[ -e "$user_ini" ] && bad "the portable copy wrote the user's settings file"
leftovers=$(ls -A "$app" | grep -v -x -e VornaStampShifter.exe -e vornasts.exe -e VornaSTS.hlp -e readme.txt -e VornaStampShifter.ini)
[ -z "$leftovers" ] || bad "the program's folder holds more than its files and its INI: $leftovers"

# The folder and its files made read-only (a medium that takes nothing): the settings move to the
# user's folder, starting from those beside the program, and no error box comes up.
chmod -R a-w "$app"
before=$(cd "$app" && find . -printf '%p %s %T@\n' | sort)
start_program "$exe" && { toggle_auto_exit; end_program; }
[ "$(ini_value "$user_ini" AutoEnd)" = 1 ] ||
  bad "the read-only copy's change is not in the user's file (AutoEnd=$(ini_value "$user_ini" AutoEnd), from 0)"
[ "$before" = "$(cd "$app" && find . -printf '%p %s %T@\n' | sort)" ] || bad "the read-only folder changed"
chmod -R u+w "$app"
rm -f "$user_ini"

finish "exactly its files, the program starts, its settings beside it or, read-only, in the user's folder"
