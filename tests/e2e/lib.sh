# Shared by the end-to-end scripts: waiting for what the user would see. Set e2e_name before sourcing.

# e2e_wait <what> <test command...>: polls the command for up to 30 seconds; fails the test otherwise.
e2e_wait() {
  local what=$1
  shift
  for _ in $(seq 1 150); do
    "$@" && return 0
    sleep 0.2
  done
  echo "$e2e_name: $what did not happen"
  exit 1
}

# The visible windows carrying the application title: the main window, its questions and summaries.
title_windows() { xdotool search --onlyvisible --name '^VornaStampShifter$' 2>/dev/null | wc -l; }
has_windows() { [ "$(title_windows)" -ge "$1" ]; }
has_windows_at_most() { [ "$(title_windows)" -le "$1" ]; }

# e2e_begin <tag> <tool...>: the display and the tools the script needs, this prefix user's journal
# removed ($journal), a scratch folder ($work) and its clean-up at the end. The program and Wine's
# loader run in a process group of their own ($pid): a failed step ends them all.
e2e_begin() {
  local tag=$1 tool
  shift
  [ -n "${DISPLAY:-}" ] || { echo "$e2e_name: needs a display (run through winerun --with-display)"; exit 1; }
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$e2e_name: needs $tool"; exit 1; }
  done
  journal="$prefix/drive_c/users/$(id -un)/AppData/Roaming/VornaStampShifter/VornaStampShifter.undo"
  rm -f "$journal"
  work=$(mktemp -d "/tmp/vss-$tag.XXXXXX")
  pid=
  trap e2e_cleanup EXIT
}
e2e_cleanup() {
  [ -n "$pid" ] && kill -- "-$pid" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}

# e2e_undo_by_keys: Ctrl+Z in the main window, Enter on the confirmation and on the summary, which closes.
e2e_undo_by_keys() {
  xdotool key ctrl+z
  e2e_wait "the confirmation of the undo" has_windows 2
  sleep 0.5
  xdotool key Return
  e2e_wait "the summary of the undo" has_windows 2
  sleep 1
  xdotool key Return
  e2e_wait "the summary closing" has_windows_at_most 1
}
