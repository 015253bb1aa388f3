#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine. Installs what the machine lacks first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$root/tools/deps.sh"
"$root/tools/build.sh" i686
"$root/tools/build.sh" x86_64
# The reader of photo and video times, fuzzed natively for a short while (tools/fuzz.sh runs longer);
# before the Wine tests, so that their summary closes the output.
"$root/tools/fuzz.sh" 30
# The tests run as an ordinary, unprivileged user (created when missing), one test program at a time:
# they share one display, and focus and activation are the display's.
"$root/tools/as-test-user" "$@"
