#!/usr/bin/env bash
# Checks the installed completions the way bash-completion loads them: by
# the command's name, from PREFIX/share/bash-completion/completions.
#
#   completions/check.sh PREFIX      (needs Debian's bash-completion)
set -eu
prefix=$(cd "$1" && pwd)
source /usr/share/bash-completion/bash_completion
export XDG_DATA_DIRS=$prefix/share
cd "$(mktemp -d)"
mkdir sub && touch a_to_b_t4 b_to_c_t4 notes.txt g.lst g.dat g.rec

# complete LINE: what completing the last word of LINE offers, sorted, on one line
complete_line() {
	local line=$1 fn
	COMP_LINE=$line COMP_POINT=${#line}
	read -ra COMP_WORDS <<<"$line"
	[[ $line == *' ' ]] && COMP_WORDS+=("")
	COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
	__load_completion "${COMP_WORDS[0]}"
	fn=$(complete -p "${COMP_WORDS[0]}" | sed 's/.* -F \([^ ]*\) .*/\1/')
	"$fn" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
	printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
}

expect() {
	local got
	got=$(complete_line "$1")
	[ "$got" = "$2" ] || { echo "completing '$1': got '$got', expected '$2'" >&2; exit 1; }
}
expect 'xfm_reverse ' 'a_to_b_t4 b_to_c_t4 sub'
expect 'xfm_chain a_to_b_t4 b' 'b_to_c_t4'
expect 'xfm_unit ' 'sub'
expect 'xfm_reverse -' '-u'
expect 'xfm_points -i a' 'a_to_b_t4'
expect 'xfm_points a_to_b_t4 n' 'notes.txt'
expect 'xfm_points -' '-i'
expect 'xfm_info ' 'a_to_b_t4 b_to_c_t4 sub'
expect 'xfm_rms -r60 b' 'b_to_c_t4'
expect 'xfm_rms -' '-c -r'
expect 'xfm_motion -f0.5 a' 'a_to_b_t4'
expect 'xfm_motion -' '-a -b -c -d -f -r -s'
expect 'xfm_make -r0,0,2 ' 'sub'
expect 'xfm_make -' '-a -k -r -s -t'
expect 'lag_pool ' 'g.dat g.lst g.rec notes.txt sub'
expect 'lag_pool a' 'a_to_b_t4'
expect 'lag_table -l3 n' 'notes.txt'
expect 'lag_table -' '-H -l -m'
expect 'pattern_list -' '-e -w'
expect 'shuffle 10 -' '-s'
expect 'shuffle ' ''
echo "completions: all programs complete as expected"
