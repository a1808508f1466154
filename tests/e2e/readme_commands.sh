#!/usr/bin/env bash
# The commands that README.md and the Windows README.txt list for users are
# exactly the words of the program's command tables, and every answer they
# quote is one the program gives.
set -euo pipefail
root="$1"
engine="$root/engine/Engine.cpp"
md_section="$(sed -n '/^## Commands/,/^Clicks on the windows/p' "$root/README.md" | grep '^- `')"
txt_section="$(sed -n '/^COMMANDS/,/^CLICKS/p' "$root/packaging/windows/README.txt" | grep -- '->')"

known="$(sed -n 's/^ *{"\([^"]*\)", *Argument::[A-Za-z]*, *&Engine::.*/\1/p' "$engine" | sort)"
in_md="$(sed -n 's/^- `\([^ `]*\).*/\1/p' <<<"$md_section" | sort)"
in_txt="$(sed -n 's/^  \([^ ]*\) .*/\1/p' <<<"$txt_section" | sort)"
status=0
for listing in md txt; do
  var="in_$listing"
  if ! diff <(echo "$known") <(echo "${!var}") >/dev/null; then
    echo "the $listing list of commands differs from the command tables (< tables, > list):"
    diff <(echo "$known") <(echo "${!var}") || true
    status=1
  fi
done

# The answers: "*verb (" in README.md, "-> verb (" in README.txt.
verbs="$( (grep -o '\*[^*(]* (' <<<"$md_section" | sed 's/^\*//; s/ ($//'
           sed -n 's/.*-> \(.*\) (.*/\1/p' <<<"$txt_section") | sort -u)"
while IFS= read -r verb; do
  [ -n "$verb" ] || continue
  if ! grep -qF "\"$verb\"" "$engine"; then
    echo "the answer \"$verb\" is not one the program gives"
    status=1
  fi
done <<<"$verbs"
[ "$status" = 0 ] && echo "$(wc -l <<<"$known") commands and $(wc -l <<<"$verbs") answers as listed"
exit "$status"
