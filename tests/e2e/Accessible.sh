#!/usr/bin/env bash
# End to end, as a screen reader in another process meets the program: the main window's controls,
# windowless labels and picture buttons among them, are read with their names, none is nameless, and
# pressing the file-list picture button through the reader opens the file list.
#   Accessible.sh <winerun> <wineprefix> <VornaStampShifter.exe> <accwalk.exe>
set -euo pipefail
winerun=$1 prefix=$2 exe=$3 walker=$4
e2e_name=e2e_access
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin access xdotool
mkdir -p "$work/app"
cp "$exe" "$work/app/VornaStampShifter.exe"
printf '[Application]\r\nAutoEnd=0\r\n' > "$work/app/VornaStampShifter.ini"

setsid "$winerun" --prefix "$prefix" "$work/app/VornaStampShifter.exe" &
pid=$!
e2e_wait "the main window" has_windows 1
sleep 1

walk=$("$winerun" --prefix "$prefix" "$walker" VornaStampShifter | tr -d '\r')
# role <tab> name, for the lines the checks below look for (roles: 41 text, 42 edit, 43 push button,
# 44 check box, 48 progress bar, 20 group).
expect() {
  grep -qxF "$1" <(printf '%s\n' "$walk" | cut -f1,3) || { echo "$e2e_name: not read: $1"; printf '%s\n' "$walk"; exit 1; }
}
expect $'20\t変更対象(F)'
expect $'42\t指定拡張子のみ対象にする(X)'
expect $'42\t作成日時(C)'
expect $'43\tファイル／フォルダ選択ダイアログ表示(Ctrl+O)'
expect $'41\t読み取り専用ファイル(R)'
expect $'20\t読み取り専用ファイル(R)'
expect $'48\t日時／属性の変更'
# No button, field, list or bar without a name (visible ones: state bit 0x8000 is invisible).
nameless=$(printf '%s\n' "$walk" | awk -F'\t' '($1==43||$1==44||$1==45||$1==42||$1==33||$1==46||$1==48) && $3=="" && int($2/32768)%2==0')
[ -z "$nameless" ] || { echo "$e2e_name: controls without a name:"; echo "$nameless"; exit 1; }

# The picture button pressed by the reader opens the file list beside the main window.
"$winerun" --prefix "$prefix" "$walker" VornaStampShifter --press 'ファイル一覧ウィンドウ表示(Ctrl+L)'
list_shown() { xdotool search --onlyvisible --name '（ファイル一覧）$' >/dev/null 2>&1; }
e2e_wait "the file list" list_shown
echo "$e2e_name: passed"
