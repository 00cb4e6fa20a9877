#!/usr/bin/env bash
# Makes the Debian package with CPack from the build, checks its name, its dependencies (read
# from the programs) and its files, unpacks it into a temporary folder with dpkg-deb and runs the
# unpacked talivo-cli there: its version and the counts of a measurement file.
#   PackageTest.sh BUILD-FOLDER MEASUREMENT.tlv
set -euo pipefail

build=$1
measurement=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "$*" >&2
    exit 1
}
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v $tool >/dev/null ||
        fail "$tool is missing: install cmake, dpkg-dev and file (tools/talivo.sh does)"
done

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ -n "$version" ] || fail "No package version in $build/CPackConfig.cmake"
# cpack -B keeps its staging folder and the package out of the build folder.
if ! output=$(cd "$build" && cpack -G DEB -B "$work/package" 2>&1); then
    fail "cpack failed: $output"
fi
deb=$work/package/talivo_${version}_$(dpkg --print-architecture).deb
[ -s "$deb" ] || fail "No package $deb; cpack made: $(ls "$work/package")"

depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-image-formats-plugins; do
    grep -q "\b$package\b" <<<"$depends" || fail "The package does not depend on $package: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for file in ./usr/bin/Talivo ./usr/bin/talivo-cli ./usr/share/talivo/manual.pdf \
    ./usr/share/talivo/locale/de/LC_MESSAGES/Talivo.mo ./usr/share/applications/com.example.talivo.desktop \
    ./usr/share/metainfo/com.example.talivo.metainfo.xml ./usr/share/man/man1/talivo-cli.1.gz; do
    grep -qx "$file" <<<"$contents" || fail "The package lacks $file"
done

dpkg-deb -x "$deb" "$work/root"
cli=$work/root/usr/bin/talivo-cli
file "$cli" | grep -q ", stripped$" || fail "The packaged programs keep their debugging symbols"
[ "$("$cli" --version)" = "talivo-cli $version" ] || fail "talivo-cli --version: $("$cli" --version)"
cp "$measurement" "$work/counted.tlv"
counts=$(cd "$work" && "$cli" counts counted.tlv)
expected=$(printf 'File\tGroupId\tDescription\tMarks\tStored\ncounted.tlv\t0\tCells\t3\t3\ncounted.tlv\t1\tDebris\t2\t2')
[ "$counts" = "$expected" ] || fail "The unpacked talivo-cli counted: $counts"
echo "The package $(basename "$deb") installs the programs, and they run"
