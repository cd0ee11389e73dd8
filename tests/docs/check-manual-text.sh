#!/usr/bin/env bash
# The text of a rendered manual, as a reader's search or pdftotext sees it:
#   - no ligature characters (a search for "verification" must find the word typed in plain letters);
#   - no line at the foot of a page repeated at the head of the next one (a line belongs to one page);
#   - every word given after the PDF is found.
#   check-manual-text.sh MANUAL.pdf [WORD]...
set -euo pipefail
pdf=$1
shift
text=$(mktemp)
trap 'rm -f "$text"' EXIT
pdftotext -layout "$pdf" "$text"

status=0
if LC_ALL=C grep -q $'\xef\xac[\x80-\x86]' "$text"; then
    echo "$pdf: ligature characters in the text:" >&2
    LC_ALL=C grep -o $'[a-z]*\xef\xac[\x80-\x86][a-z]*' "$text" | sort -u | head >&2
    status=1
fi
# Per page: the first line under the running head and the last line above the page number.
repeated=$(awk 'BEGIN { RS = "\f" }
    {
        n = 0
        count = split($0, raw, "\n")
        for (i = 1; i <= count; ++i) {
            line = raw[i]
            gsub(/^[ \t]+|[ \t]+$/, "", line)
            if (line != "") lines[++n] = line
        }
        if (n >= 3) {
            first = lines[2]; last = lines[n - 1]
            if (page > 0 && first == previousLast) printf "page %d: %s\n", NR, first
            previousLast = last
        } else previousLast = ""
        page = NR
    }' "$text")
if [[ -n $repeated ]]; then
    echo "$pdf: a line at the foot of a page is repeated at the head of the next:" >&2
    echo "$repeated" >&2
    status=1
fi
for word in "$@"; do
    if ! grep -qi -- "$word" "$text"; then
        echo "$pdf: \"$word\" not found in the text" >&2
        status=1
    fi
done
exit $status
