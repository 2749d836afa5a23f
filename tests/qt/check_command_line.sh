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
# Qt's options in each form Qt takes them: one dash or two, the value as the
# next argument, and -style and -stylesheet also with "=". A value glued on
# with "=" is Qt's for those two only, so the program is left to refuse it, as
# it refuses -style at the end of the line, which Qt leaves without a value.
answers "Qt's own options passed over" 0 "Varnholt $version" "" -platform xcb --reverse --version
# (--version would win over any option refused; an unknown option after Qt's
# shows that Qt's were passed over.)
answers "Qt's options with two dashes passed over" 2 "" 'Unknown option "--bogus".' \
    --platform xcb --platformtheme gtk3 --qwindowtitle Title --sync --bogus
answers "-style=, --style= and --style passed over" 2 "" 'Unknown option "--bogus".' \
    -style=Fusion --style=Fusion --style Fusion --stylesheet=a.qss --bogus
answers "a save after --platform NAME taken as the save" 2 "" \
    'Only one saved game can be opened at a time; "b.sav" is one too many.' \
    --platform xcb a.sav b.sav
answers "-platform=NAME is not Qt's, so refused" 2 "" 'Unknown option "-platform=xcb".' \
    -platform=xcb
answers "-style with no value is not Qt's, so refused" 2 "" 'Unknown option "-style".' a.sav -style
answers "an unknown option refused on standard error" 2 "" 'Unknown option "--bogus".' --bogus
answers "a second save refused" 2 "" \
    'Only one saved game can be opened at a time; "b.sav" is one too many.' a.sav b.sav
grep -qxF "$usage" "$work/err" || { echo "FAIL: the refusal shows the usage"; failures=$((failures + 1)); }

# With a window system, Qt takes its options and the window opens: the program
# is still running when it is stopped. What, then the arguments; the platform
# comes from the environment unless the arguments name one.
opens() {
    local what=$1
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VARNHOLT_LANGUAGE=en timeout 3 \
        "$program" "$@" >"$work/out" 2>"$work/err"
    if [[ $? -eq 124 ]]; then
        echo "ok: $what"
    else
        echo "FAIL: $what: the window did not stay open"
        sed 's/^/    /' "$work/err"
        failures=$((failures + 1))
    fi
}
opens "the window opens with Qt's own options" -platform offscreen -style Fusion
# Qt itself takes the two-dash form: with no platform in the environment and
# no display, only --platform gives the window one.
opens "the window opens with --platform offscreen" --platform offscreen
# Qt takes the options of its application object even where the line ends
# before their value.
opens "a trailing -platformtheme is Qt's" -platform offscreen -platformtheme
opens "a trailing --qwindowtitle is Qt's" --platform offscreen --qwindowtitle

echo "command line: $failures failed"
exit $((failures == 0 ? 0 : 1))
