#!/usr/bin/env bash
# The package tool round trip: create a texture package and a map package from files, list
# them, extract objects and compare them with what went in; refuse what does not fit.
# Usage: package_tool.sh <tintfall-pack binary>
set -euo pipefail
pack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

printf 'txf\0\0\0\30\0\1\0\0\0\1\0\0\0\377\0\0' > red.txf
printf 'BM%s' "$(head -c 60 /dev/zero | tr '\0' 'x')" > blue.bmp
printf 'not an image' > notes.txt
"$pack" create pics.txp red.txf Blue=blue.bmp || fail "create txp"
"$pack" list pics.txp > list.txt || fail "list txp"
# Sorted by byte order: capitals first.
[ "$(sed -n 1p list.txt)$(sed -n 2p list.txt | cut -f1)" = "2 objectsBlue" ] || fail "$(cat list.txt)"
grep -q $'^red.txf\t.*\ttxf$' list.txt || fail "txf kind: $(cat list.txt)"
"$pack" extract pics.txp red.txf out.txf && cmp red.txf out.txf || fail "extracted txf differs"
"$pack" extract pics.txp Blue out.bmp && cmp blue.bmp out.bmp || fail "extracted bmp differs"
! "$pack" extract pics.txp nothing out 2>/dev/null || fail "extracted a missing object"
! "$pack" create bad.txp notes.txt 2>/dev/null || fail "packed a text file as a texture"
! "$pack" create twice.txp a=red.txf a=blue.bmp 2>/dev/null || fail "two objects of one name"

printf 'fields' > fields.bin
"$pack" create title.menu Title=16:fields.bin Quit=26:fields.bin || fail "create menu"
"$pack" list title.menu | grep -q $'^Quit\t.*\ttype id 26$' || fail "map record kind"
"$pack" extract title.menu Title title.bin
[ "$(od -An -tu1 -N4 title.bin | tr -s ' ')" = " 16 0 0 0" ] || fail "type id bytes"
! "$pack" create broken.menu Title=fields.bin 2>/dev/null || fail "map record without type id"

# A package whose magic does not match its extension is refused with the reader's message.
cp pics.txp pics.smp
! "$pack" list pics.smp 2>err.txt || fail "listed a package with the wrong magic"
grep -q 'failure during loading of file' err.txt || fail "reader's message: $(cat err.txt)"
[ ! -e debug.log ] || fail "the tool wrote a debug.log"
echo "package tool: all passed"
