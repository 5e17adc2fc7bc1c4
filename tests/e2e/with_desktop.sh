#!/usr/bin/env bash
# Runs a command inside the e2e desktop (Xvfb, openbox, picom), e.g. an X11 benchmark:
#   bash tests/e2e/with_desktop.sh build/purrlox build/bench/x11_windowlist_bench
source "$(dirname "$0")/lib.sh"
shift
start_desktop
"$@"
