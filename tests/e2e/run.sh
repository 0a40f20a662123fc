#!/usr/bin/env bash
# Runs one case of a transcript (tests/e2e/*.t) against the built programs
# and compares standard output, standard error, exit status and files byte
# for byte.
#
#   run.sh FILE N BINDIR    the N-th case of FILE, counted from 1
#
# A case begins with "=== title". Its lines, in order:
#   ! CMD     a requirement, run by bash in the case's directory: when it
#             fails, the case is skipped (status 77) and its output says why
#   % CMD     set-up: run by bash in the case's empty directory; must succeed
#   < NAME    an input file; its lines follow as "| TEXT"
#   $ CMD     the command under test, run by bash in that directory
#   1| TEXT   a line expected on standard output (none: it must stay empty)
#   2| TEXT   a line expected on standard error (none: it must stay empty)
#   ? N       the expected exit status (0 when absent)
#   > NAME    a file expected after the run; its lines follow as "| TEXT"
#   >! NAME   a path that must not exist after the run
#   & CMD     a check run after the command; must succeed
# A line that begins with two blanks continues the command above it (! % $
# &) on a line of its own: bash reads the lines as one script.
# TEXT reads as printf's %b reads it: \t is a tab, \\ a backslash, and a
# final \c drops the line's newline. The commands find the helpers of
# tests/e2e/tools/ on their PATH. Outside the cases, "@@ NAME TEXT"
# defines @NAME@ for every TEXT below it, "@< NAME FILE" defines it as the
# lines of FILE (a fixture beside the transcript, read as TEXT is read, its
# final newline dropped), and "#" starts a comment line. A title that ends
# in " [serial]" marks a case that changes a setting of the whole host:
# ctest runs it alone, under the title without the mark.
set -u
file=$1 want=$2 bin=$(cd "$3" && pwd) || exit 2
export PATH="$bin:$(cd "$(dirname "$0")/tools" && pwd):$PATH" LC_ALL=C

tmp=$(mktemp -d)
trap 'chmod -R u+rwx "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
work=$tmp/work expect=$tmp/expect
mkdir -p "$work" "$expect/files"
: >"$expect/stdout"
: >"$expect/stderr"

declare -A defs=()
n=0 title="" cmd="" status=0 sink="" checks=() absent=() expected_files=()

die() { printf 'run.sh: %s\n' "$*" >&2; exit 2; }

expand() {
	local text=$1 name
	for name in "${!defs[@]}"; do
		text=${text//@$name@/${defs[$name]}}
	done
	printf '%b\n' "$text"
}

setup() {
	(cd "$work" && bash -c "$1") >"$tmp/setup.out" 2>&1 ||
		{ cat "$tmp/setup.out"; die "set-up failed: $1"; }
}

require() {
	(cd "$work" && bash -c "$1") >"$tmp/require.out" 2>&1 && return
	printf 'skip: %s\n' "$1"
	cat "$tmp/require.out"
	exit 77
}

take() {
	local line=$1 text
	case $line in
	'! '*) require "${line#! }" ;;
	'% '*) setup "${line#% }" ;;
	'< '*) sink=$work/${line#< }; mkdir -p "$(dirname "$sink")"; : >"$sink" ;;
	'$ '*) cmd=${line#\$ }; sink="" ;;
	'1|'* | '2|'*)
		text=${line#?|}; text=${text# }
		if [ "${line:0:1}" = 1 ]; then expand "$text" >>"$expect/stdout"
		else expand "$text" >>"$expect/stderr"; fi ;;
	'? '*) status=${line#? } ;;
	'>! '*) absent+=("${line#>! }") ;;
	'> '*)
		expected_files+=("${line#> }")
		sink=$expect/files/${line#> }; mkdir -p "$(dirname "$sink")"; : >"$sink" ;;
	'& '*) checks+=("${line#& }") ;;
	'|'*)
		[ -n "$sink" ] || die "file line outside a file: $line"
		text=${line#|}; text=${text# }
		expand "$text" >>"$sink" ;;
	*) die "cannot read: $line" ;;
	esac
}

pending=""
while IFS= read -r line || [ -n "$line" ]; do
	case $line in
	'  '*) pending+=$'\n'${line#  }; continue ;;
	esac
	[ -n "$pending" ] && [ $n = "$want" ] && take "$pending"
	pending=""
	case $line in
	'=== '*) n=$((n + 1)); [ $n = "$want" ] && title=${line#=== }; continue ;;
	'@@ '*) [ $n -lt "$want" ] || continue
		line=${line#@@ }; defs[${line%% *}]=${line#* }; continue ;;
	'@< '*) [ $n -lt "$want" ] || continue
		line=${line#@< }; fixture=$(dirname "$file")/${line#* }
		[ -f "$fixture" ] || die "no fixture $fixture"
		defs[${line%% *}]=$(<"$fixture"); continue ;;
	'#'* | '') continue ;;
	esac
	pending=$line
done <"$file"
[ -n "$pending" ] && [ $n = "$want" ] && take "$pending"
[ -n "$title" ] || die "no case $want in $file"
[ -n "$cmd" ] || die "case has no command: $title"

(cd "$work" && exec timeout 60 bash -c "$cmd") </dev/null >"$tmp/stdout" 2>"$tmp/stderr"
got=$?

fail=0
differs() {
	printf -- '--- %s differs (expected, then actual; $ ends a line, ^I is a tab):\n' "$1"
	diff <(cat -A "$2") <(cat -A "$3")
	fail=1
}
cmp -s "$expect/stdout" "$tmp/stdout" || differs "standard output" "$expect/stdout" "$tmp/stdout"
cmp -s "$expect/stderr" "$tmp/stderr" || differs "standard error" "$expect/stderr" "$tmp/stderr"
[ "$got" = "$status" ] || { echo "--- exit status $got, expected $status"; fail=1; }
for f in "${expected_files[@]}"; do
	if [ ! -f "$work/$f" ]; then echo "--- file $f was not written"; fail=1
	else cmp -s "$expect/files/$f" "$work/$f" || differs "file $f" "$expect/files/$f" "$work/$f"; fi
done
for f in "${absent[@]}"; do
	[ -e "$work/$f" ] && { echo "--- $f exists, expected none"; fail=1; }
done
for c in "${checks[@]}"; do
	(cd "$work" && bash -c "$c") || { echo "--- check failed: $c"; fail=1; }
done
[ $fail = 0 ] || { echo "in: $title"; echo "\$ $cmd"; }
exit $fail
