#!/usr/bin/env bash
# Makes the Debian package of a built tree, unpacks it into a scratch root and
# checks what a user's system would get: the files in their standard places,
# the desktop entry and AppStream metadata valid, the saved-game type
# recognised by its content (beside the system's own types, so that SPSS data
# files, which are also named *.sav, stay theirs), the Qt libraries among the
# dependencies, and both programs runnable from the unpacked tree.
# Usage: check_package.sh BUILD_DIR SAMPLE_SAVE SAVEGEN
set -euo pipefail
build=$1
sample=$2
savegen=$3
app_id=org.example.Varnholt

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli update-mime-database \
        xdg-mime mimetype; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, then the command that must succeed
    local what=$1
    shift
    if "$@" >"$work/out" 2>&1; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        sed 's/^/    /' "$work/out"
        failures=$((failures + 1))
    fi
}

(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/pkg/varnholt_*.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
    check "depends on $lib" grep -q "\b$lib\b" <<<"$depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/varnholt usr/bin/varnholt-cli \
        usr/share/applications/$app_id.desktop \
        usr/share/metainfo/$app_id.metainfo.xml \
        usr/share/mime/packages/$app_id.xml \
        usr/share/icons/hicolor/scalable/apps/$app_id.svg; do
    check "installs /$file" test -s "$root/$file"
done
for size in 16 22 24 32 48 64 128 256; do
    check "icon ${size}x${size} is a ${size}x${size} PNG" \
        grep -q "PNG image data, $size x $size" <(file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
check "programs are executable" test -x "$root/usr/bin/varnholt" -a -x "$root/usr/bin/varnholt-cli"
check "nothing outside /usr" test "$(ls "$root")" = usr

check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
check "desktop entry opens the saved-game type" \
    grep -qx 'MimeType=application/x-iron-dominion-save;' "$root/usr/share/applications/$app_id.desktop"
for language in $(grep '^[a-z]' "$(dirname "$0")/../../po/LINGUAS"); do
    check "desktop entry in $language" \
        grep -q "^Comment\[$language\]=" "$root/usr/share/applications/$app_id.desktop"
    check "AppStream summary in $language" \
        grep -q "<summary xml:lang=\"$language\">" "$root/usr/share/metainfo/$app_id.metainfo.xml"
    check "saved-game type named in $language" \
        grep -q "<comment xml:lang=\"$language\">" "$root/usr/share/mime/packages/$app_id.xml"
done
check "appstreamcli validate" appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app_id.metainfo.xml"

# The package's types beside the system's, in a scratch data folder, asked the
# way a system without a desktop session asks (xdg-mime's generic path, which
# reads the database with File::MimeInfo's mimetype).
system_types=/usr/share/mime/packages/freedesktop.org.xml
mime=$work/data/mime
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/$app_id.xml" "$mime/packages/"
check "the system's MIME types are at hand" cp "$system_types" "$mime/packages/"
check "MIME database builds" update-mime-database "$mime"
is_type() { # file, the type the scratch database must give it
    local got
    got=$(env XDG_CURRENT_DESKTOP=X-Generic XDG_DATA_DIRS="$work/data" XDG_DATA_HOME="$work/home" \
          xdg-mime query filetype "$1")
    [[ $got == "$2" ]] || { echo "$1 is $got, not $2"; return 1; }
}
files=$work/files
mkdir -p "$files"
for save in "$(dirname "$0")"/../../examples/*.sav; do
    name=$(basename "$save" .sav)
    check "$name.sav is a saved game" is_type "$save" application/x-iron-dominion-save
    renamed=$files/${name//./-} # no extension left to go by
    cp "$save" "$renamed"
    check "$(basename "$renamed") is a saved game" is_type "$renamed" application/x-iron-dominion-save
done
# Saves at both ends of the place the anchor text can have: a one-letter
# campaign name in a first-release save puts it 96 bytes before its nominal
# place (3303), and the rule's far end lets it end with the first 16 KiB.
"$savegen" --release 1.0 --name A -o "$files/earliest-anchor.sav"
"$savegen" --release 1.6 --anchor-offset 16354 -o "$files/farthest-anchor.sav"
for save in "$files"/earliest-anchor.sav "$files"/farthest-anchor.sav; do
    name=$(basename "$save" .sav)
    check "$name.sav is a saved game" is_type "$save" application/x-iron-dominion-save
    cp "$save" "$files/$name"
    check "$name (no extension) is a saved game" is_type "$files/$name" application/x-iron-dominion-save
done
check "the earliest anchor is at 3303" \
    test "$(grep -boa 'd.e.s.c.r._.s.t.r.a.t' "$files/earliest-anchor.sav" | cut -d: -f1)" = 3303
# An SPSS data file: its magic "$FL2", then its header and data.
{ printf '$FL2@(#) SPSS DATA FILE'; head -c 4000 /dev/zero | tr '\0' '\1'; } >"$files/data.sav"
check "an SPSS data.sav stays SPSS" is_type "$files/data.sav" application/x-spss-sav

check "unpacked varnholt-cli reads a save" "$root/usr/bin/varnholt-cli" info "$sample"
for save in "$files"/earliest-anchor.sav "$files"/farthest-anchor.sav; do
    check "varnholt-cli reads $(basename "$save")" "$root/usr/bin/varnholt-cli" info "$save"
done
check "unpacked varnholt starts (--version)" env QT_QPA_PLATFORM=offscreen "$root/usr/bin/varnholt" --version

echo "package check: $failures failed"
exit $((failures == 0 ? 0 : 1))
