#!/bin/sh
# Lint every manual page here with mandoc and groff; any message fails.
# Usage: doc/man/lint.sh (from anywhere).

dir=$(dirname "$0")
status=0

for tool in mandoc groff; do
	if ! command -v "$tool" >/dev/null 2>&1; then
		echo "lint.sh: $tool not found (apt-get install mandoc groff)" >&2
		exit 2
	fi
done

for page in "$dir"/*.[1-9]; do
	out=$( { mandoc -T lint -W warning "$page"; \
		groff -man -ww -z "$page"; } 2>&1)
	if [ -n "$out" ]; then
		printf '%s\n' "$out"
		status=1
	fi
done

exit $status
