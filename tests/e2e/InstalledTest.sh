#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed program in German in a real
# X window under Xvfb: its catalogs lie in share/talivo/locale, not beside it, and it must find
# them there. A click on "Delete group" must ask in German.
#   InstalledTest.sh BUILD-FOLDER XWINDOW-TOOL
set -euo pipefail

build=$1
tool=$2
title="Korvel Talivo"
question="Gruppe löschen"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

prefix=$(mktemp -d)
cmake --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/bin/Talivo
[ ! -e "$prefix/bin/locale" ] || { echo "The catalogs were installed beside the program" >&2; exit 1; }

export LANG=de_DE.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
start_program
trap 'stop_leftovers; rm -rf "$prefix"' EXIT
"$tool" click "$title" -101 -137
if ! "$tool" wait "$question" 10; then
    echo "No question box with the German caption \"$question\"; windows on screen:" >&2
    "$tool" list >&2
    exit 1
fi
"$tool" close "$question"
sleep 0.5
close_program
echo "The installed program speaks German"
