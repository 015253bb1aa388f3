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
