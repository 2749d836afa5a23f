#!/usr/bin/env bash
# Makes the translators' template po/varnholt.pot from the code: every text
# marked with uiText() in the window programs' sources, and the texts of the
# desktop entry, the AppStream description and the saved game's file type.
# Then brings every po/*.po up to date with it (msgmerge), so that new texts
# show up there as untranslated.
# Usage: scripts/update-pot.sh           write the template and merge the .po files
#        scripts/update-pot.sh --check   fail when the committed template is stale
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

check=false
[[ ${1:-} == --check ]] && check=true

its() {
    local name=$1 dir
    for dir in /usr/share/gettext/its /usr/share/gettext-*/its; do
        if [[ -f $dir/$name ]]; then
            echo "$dir/$name"
            return
        fi
    done
    echo "The gettext rules $name are missing (packages gettext, appstream, shared-mime-info)." >&2
    exit 1
}

# The desktop entry's keys that are translated: not Name, the program's name in
# every language (msgfmt then has no translation to merge for it).
desktop_keywords=(--keyword= --keyword=GenericName --keyword=Comment --keyword=Keywords)

out=$(mktemp)
trap 'rm -f "$out"' EXIT
common=(--from-code=UTF-8 --add-location=file --package-name=Varnholt
        --copyright-holder="The Varnholt developers" --msgid-bugs-address=varnholt@example.org)

# The programs' texts; varnholt-cli (cli/) speaks English only and is left out.
mapfile -t sources < <(git ls-files --cached --others --exclude-standard 'words/*.cpp' 'words/*.h' 'window/*.cpp' 'window/*.h' \
    'editor/*.cpp' 'editor/*.h' 'shell/*.cpp' 'shell/*.h' 'qt/*.cpp' 'qt/*.h' \
    'win32/*.cpp' 'win32/*.h' 'web/*.cpp' 'web/*.h' | LC_ALL=C sort)
xgettext "${common[@]}" --language=C++ --keyword= --keyword=uiText \
    --add-comments=TRANSLATORS: -o "$out" "${sources[@]}"
xgettext "${common[@]}" --join-existing --language=Desktop "${desktop_keywords[@]}" -o "$out" \
    qt/dist/org.example.Varnholt.desktop.in
xgettext "${common[@]}" --join-existing --its="$(its metainfo.its)" -o "$out" \
    qt/dist/org.example.Varnholt.metainfo.xml.in
xgettext "${common[@]}" --join-existing --its="$(its shared-mime-info.its)" -o "$out" \
    qt/dist/varnholt-mime.xml.in
# The creation date would make every run differ; the charset is UTF-8.
sed -i -e '/^"POT-Creation-Date: /d' -e 's/charset=CHARSET/charset=UTF-8/' "$out"

if $check; then
    if ! diff -u po/varnholt.pot "$out"; then
        echo "po/varnholt.pot is stale: run scripts/update-pot.sh and commit the result." >&2
        exit 1
    fi
    exit 0
fi

cp "$out" po/varnholt.pot
for po in po/*.po; do
    [[ -e $po ]] || continue
    msgmerge --quiet --update --backup=none --add-location=file "$po" po/varnholt.pot
done
echo "po/varnholt.pot: $(grep -c '^msgid ' po/varnholt.pot) texts (the header included)"
