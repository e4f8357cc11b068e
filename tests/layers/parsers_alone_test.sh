#!/usr/bin/env bash
# The program of the parsers alone needs no GL, GLU, EGL or SDL library, and runs: its dynamic
# section (ELF) or import table (Windows) names none of them, and it reads a file through every
# parser. Arguments: the objdump of the program's target, the program, and what runs it (Wine for
# a Windows program), if anything.
set -euo pipefail
objdump=$1
program=$2
shift 2

libraries=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*\(NEEDED\|DLL Name:\)[[:space:]]*//p')
if [[ -z $libraries ]]; then
    echo "$objdump lists no library that $program needs" >&2
    exit 1
fi
drawing_libraries='^(lib)?(gl|glu|glx|egl|opengl|opengl32|glu32|sdl2)([.-]|$)'
if drawing=$(grep -iE "$drawing_libraries" <<<"$libraries"); then
    echo "$program needs" $drawing >&2
    exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf 'data\nscene.rsw\n' >"$scratch/orvalis.arg"
"$@" "$program" "$scratch/orvalis.arg"
