#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs:
# the program, a valid desktop entry, valid AppStream data and the icons,
# the manual page and the licences.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
id=com.lunvex.ChineseZodiacCompatibility
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

test -x "$prefix/bin/lunvex-zodiac"
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
grep -q "<screenshot" "$prefix/share/metainfo/$id.metainfo.xml"
for size in 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    # The PNG header holds width and height as big-endian numbers at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    if [ "$width" != "$size" ] || [ "$height" != "$size" ]; then
        echo "icon $icon is ${width}x${height}, not ${size}x${size}" >&2
        exit 1
    fi
done
# The program users run has no test hooks: no LUNVEX_ variable is read.
if strings -a "$prefix/bin/lunvex-zodiac" | grep -q 'LUNVEX_'; then
    echo "the installed program carries test hooks:" >&2
    strings -a "$prefix/bin/lunvex-zodiac" | grep 'LUNVEX_' >&2
    exit 1
fi
# The manual page and the licences go with every install, not only the package.
gzip -t "$prefix/share/man/man1/lunvex-zodiac.1.gz"
grep -q "^License: OFL-1.1" "$prefix/share/doc/lunvex-zodiac/copyright"
gzip -t "$prefix/share/doc/lunvex-zodiac/changelog.gz"
# And the manifest lets it all go again.
cmake -DMANIFEST="$build_dir/install_manifest.txt" -P "$(dirname "$0")/../scripts/uninstall.cmake" >/dev/null
if [ -n "$(find "$prefix" -type f)" ]; then
    echo "uninstall left files behind:" >&2
    find "$prefix" -type f >&2
    exit 1
fi
echo "install check passed"
