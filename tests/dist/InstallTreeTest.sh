#!/usr/bin/env bash
# Installs the build into a temporary prefix with `cmake --install` and checks the tree a desktop
# expects: the programs in bin/, their data in share/talivo, the desktop entry and the AppStream
# metadata clean under their validators, the icons at every size, the measurement file type, and
# a man page that covers every command of talivo-cli.
#   InstallTreeTest.sh BUILD-FOLDER
set -euo pipefail

build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
id=com.example.talivo

fail() {
    echo "$*" >&2
    exit 1
}
for tool in desktop-file-validate appstreamcli update-mime-database; do
    command -v $tool >/dev/null ||
        fail "$tool is missing: install desktop-file-utils, appstream and shared-mime-info" \
            "(tools/talivo.sh does)"
done

cmake --install "$build" --prefix "$prefix" >/dev/null

# bin/ holds the two programs and nothing else; everything they read lies in share/talivo.
[ "$(ls "$prefix/bin")" = "$(printf 'Talivo\ntalivo-cli')" ] ||
    fail "bin/ holds more or less than the two programs: $(ls "$prefix/bin" | tr '\n' ' ')"
for file in share/talivo/locale/de/LC_MESSAGES/Talivo.mo share/talivo/locale/de/LC_MESSAGES/default.mo \
    share/talivo/manual.pdf share/talivo/manual_de.pdf share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/talivo-cli.1.gz; do
    [ -s "$prefix/$file" ] || fail "Missing from the installed tree: $file"
done

for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    file "$icon" | grep -q "PNG image data, $size x $size," ||
        fail "No $size pixel icon: $(file "$icon")"
done

entry=$prefix/share/applications/$id.desktop
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate failed: $report"
[ -z "$report" ] || fail "desktop-file-validate is not content: $report"
grep -qx "Exec=Talivo %f" "$entry" || fail "The desktop entry does not pass the picture to open"
grep -qx "Icon=$id" "$entry" || fail "The desktop entry names another icon"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
    fail "appstreamcli found problems: $report"
grep -q "Validation was successful.$" <<<"$report" || fail "appstreamcli is not content: $report"

# The file type: update-mime-database reports mistakes on standard error but ends with 0.
report=$(XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" 2>&1) ||
    fail "update-mime-database failed: $report"
[ -z "$report" ] || fail "update-mime-database found problems: $report"
grep -qx '50:application/x-talivo-measurement:\*.tlv' "$prefix/share/mime/globs2" ||
    fail "*.tlv is not a measurement file for the desktop"

# The man page describes each command that --help lists.
commands=$("$prefix/bin/talivo-cli" --help | sed -n '/^Commands:/,/^$/p' | awk '/^  [a-z]/ {print $1}')
[ -n "$commands" ] || fail "talivo-cli --help lists no commands"
for command in $commands; do
    zcat "$prefix/share/man/man1/talivo-cli.1.gz" | grep -qx "\.B $command" ||
        fail "The man page does not describe the command $command"
done
echo "The installed tree is complete"
