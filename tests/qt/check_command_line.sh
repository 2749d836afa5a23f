#!/usr/bin/env bash
# varnholt started from a terminal, as over SSH with no display: --help, -h
# and --version are answered on standard output, a refused command line on
# standard error, each stream checked on its own, with their exit codes and
# before Qt starts. Qt's own options are passed over then, and still reach Qt
# when the window opens.
# Usage: check_command_line.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
usage='Usage: varnholt [--help | --version] [--] [SAVE]'

# What, exit code, standard output's first line and standard error's (empty
# for nothing at all), then the arguments. Run without a display or a Qt
# platform, in English.
answers() {
    local what=$1 code=$2 out=$3 err=$4
    shift 4
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VARNHOLT_LANGUAGE=en \
        "$program" "$@" >"$work/out" 2>"$work/err"
    local got=$? problems=()
    [[ $got -eq $code ]] || problems+=("exit code $got, not $code")
    for stream in out err; do
        local wanted=$out
        [[ $stream == err ]] && wanted=$err
        if [[ -z $wanted ]]; then
            [[ ! -s $work/$stream ]] || problems+=("std$stream not empty: $(head -c 200 "$work/$stream")")
        else
            [[ $(head -n 1 "$work/$stream") == "$wanted" ]] ||
                problems+=("std$stream begins \"$(head -n 1 "$work/$stream")\", not \"$wanted\"")
        fi
    done
    if [[ ${#problems[@]} -eq 0 ]]; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        printf '    %s\n' "${problems[@]}"
        failures=$((failures + 1))
    fi
}

answers "--help on standard output" 0 "$usage" "" --help
answers "-h on standard output" 0 "$usage" "" -h
answers "--version on standard output" 0 "Varnholt $version" "" --version
answers "Qt's own options passed over" 0 "Varnholt $version" "" -platform xcb --reverse --version
answers "an unknown option refused on standard error" 2 "" 'Unknown option "--bogus".' --bogus
answers "a second save refused" 2 "" \
    'Only one saved game can be opened at a time; "b.sav" is one too many.' a.sav b.sav
grep -qxF "$usage" "$work/err" || { echo "FAIL: the refusal shows the usage"; failures=$((failures + 1)); }

# With a window system, Qt takes its options and the window opens: the program
# is still running when it is stopped.
QT_QPA_PLATFORM=offscreen VARNHOLT_LANGUAGE=en timeout 3 "$program" -style Fusion \
    >"$work/out" 2>"$work/err"
if [[ $? -eq 124 ]]; then
    echo "ok: the window opens with Qt's own options"
else
    echo "FAIL: the window did not stay open with -style Fusion"
    sed 's/^/    /' "$work/err"
    failures=$((failures + 1))
fi

echo "command line: $failures failed"
exit $((failures == 0 ? 0 : 1))
