#!/usr/bin/env bash
# Keeps the layers' arrows pointing down, for what the compiler cannot see:
#   - no include climbs out of its folder ("../"): the compiler looks beside the
#     including file first, so "../window/X.h" from core/ would compile;
#   - a source includes only the layers its folder may use:
#       front ends (qt, win32, web) -> shell, editor -> window -> words -> core
#       cli -> words, core
#     (the arrows chain: editor may use words and core too); tools/savegen
#     stands alone; a test folder may use what its layer may, and savegen.
# Checks the files git knows, or the files named. Exit status 1 on a refusal.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The folders (as included: "core/...", "tools/savegen/...") that a source in
# FOLDER may include, its own among them.
allowed_for() {
    local models="window words core"
    case "$1" in
    core) echo "core" ;;
    words) echo "words core" ;;
    window) echo "$models" ;;
    editor) echo "editor $models" ;;
    shell) echo "shell $models" ;;
    cli) echo "cli words core" ;;
    qt | win32 | web) echo "$1 shell editor $models" ;;
    tools/savegen) echo "tools/savegen" ;;
    tools/win32) echo "tests/win32 $(allowed_for win32) tools/savegen" ;;
    tools/screenshots | tools/firstpaint) allowed_for qt ;;
    bench | fuzz) echo "$(allowed_for qt) tools/savegen" ;;
    tests/support) echo "" ;;
    tests/savegen) echo "tools/savegen" ;;
    tests/*) echo "$(allowed_for "${1#tests/}") tools/savegen" ;;
    *) echo "" ;;
    esac
}

# The first two folders of a path under tests/ or tools/, else its first.
# (Bash alone: the check runs over every file.)
folder_of() {
    local path=$1
    if [[ $path =~ ^(tests|tools)/([^/]+)/ ]]; then
        folder="${BASH_REMATCH[1]}/${BASH_REMATCH[2]}"
    elif [[ $path == */* ]]; then
        folder=${path%%/*}
    else
        folder=""
    fi
}

if [[ $# -gt 0 ]]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi

declare -A allowed_cache
layers=" core words window editor shell cli qt win32 web "
include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]*)[">]'
refusals=0
while IFS= read -r hit; do
    # FILE:LINE:TEXT, one line per include of every file.
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    [[ $text =~ $include_pattern ]] || continue
    included=${BASH_REMATCH[1]}
    if [[ /$included/ == */../* || /$included/ == */./* ]]; then
        echo "$file:$line: includes \"$included\" by a relative path; name its layer instead" \
             "(\"core/Header.h\")"
        refusals=$((refusals + 1))
        continue
    fi
    # The included header's layer; none for a header of the system, of a
    # library or beside the including file.
    folder_of "$included"
    layer=$folder
    if [[ $layer != */* && $layers != *" $layer "* ]]; then
        continue
    fi
    folder_of "$file"
    if [[ -z ${allowed_cache[$folder]+set} ]]; then
        allowed_cache[$folder]=" $(allowed_for "$folder") "
    fi
    allowed=${allowed_cache[$folder]}
    if [[ $allowed != *" $layer "* ]]; then
        echo "$file:$line: includes \"$included\", but ${folder:-the top folder} may not use" \
             "$layer (it may use:${allowed% })"
        refusals=$((refusals + 1))
    fi
done < <(grep -HnE "$include_pattern" "${files[@]}" /dev/null || true)

if [[ $refusals -gt 0 ]]; then
    echo "$refusals include(s) against the layers' arrows (the README's Layout shows them)."
    exit 1
fi
echo "Includes: ${#files[@]} files, every include by its layer's name and down the arrows."
