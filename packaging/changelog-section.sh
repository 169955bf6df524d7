#!/usr/bin/env bash
# Prints the section of VERSION in a changelog laid out like CHANGELOG.md (each version's entries
# under a heading "## VERSION", maybe followed by more words), without its heading and without
# the blank lines around it. Fails, saying so, when there is no such section or it is empty.
#   packaging/changelog-section.sh CHANGELOG.md VERSION
set -euo pipefail
section=$(awk -v heading="## $2" '
    index($0, "## ") == 1 { within = ($0 == heading || index($0, heading " ") == 1); next }
    within' "$1")
# The command substitution has dropped the blank lines at the end; sed drops those at the start.
section=$(sed '/[^[:space:]]/,$!d' <<<"$section")
if [ -z "$section" ]; then
    echo "${0##*/}: $1 has no section \"## $2\"" >&2
    exit 1
fi
printf '%s\n' "$section"
