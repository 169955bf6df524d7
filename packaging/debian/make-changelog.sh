#!/usr/bin/env bash
# Writes the package's Debian changelog for VERSION from the project's CHANGELOG.md: the
# version's section as its entries, as plain text wrapped to 80 columns, signed by MAINTAINER at
# the time of the source (SOURCE_DATE_EPOCH; without it the time of the checked-out commit, or
# of CHANGELOG.md outside a git checkout), so that every build of one commit writes one file.
#   make-changelog.sh CHANGELOG.md VERSION MAINTAINER OUTPUT
set -euo pipefail
section=$("$(dirname "$0")/../changelog-section.sh" "$1" "$2")
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$1")" log -1 --format=%ct 2>/dev/null ||
    stat -c %Y "$1")}
date=$(LC_ALL=C date -u -R -d "@$epoch")

# A list item ("- ") becomes an entry ("  * "), a paragraph an indented one; each is joined and
# wrapped anew, as the Markdown wraps at another width. Code marks (`) go.
{
    printf 'quellmoor (%s) unstable; urgency=medium\n\n' "$2"
    awk '
        function flush(count, words, i, line) {
            count = split(text, words, " ")
            if (count == 0) return
            line = first words[1]
            for (i = 2; i <= count; i++) {
                if (length(line) + 1 + length(words[i]) > 80) { print line; line = rest words[i] }
                else line = line " " words[i]
            }
            print line
            text = ""
        }
        { gsub(/`/, "") }
        /^- / { flush(); first = "  * "; rest = "    "; text = substr($0, 3); next }
        !NF { flush(); if (!blank) print ""; blank = 1; next }
        { blank = 0 }
        text != "" { text = text " " $0; next }
        { first = "  "; rest = "  "; text = $0 }
        END { flush() }' <<<"$section"
    printf '\n -- %s  %s\n' "$3" "$date"
} >"$4"
