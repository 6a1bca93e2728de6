#!/usr/bin/env bash
# man_options_test.sh PAGE PROGRAM: the manual page documents exactly the long options that the program's
# --help (and each command's --help) lists, and every command; the wording may differ.
set -euo pipefail
page=$1
program=$2

help_options() { sed -nE 's/^[[:space:]]+(-[[:alnum:]],)?(--[[:alnum:]-]+).*/\2/p'; }
# The item tags of the page (the line after each .TP), with roff's \- as a plain hyphen.
page_tags() { awk '/^\.TP/ { getline; print }' "$page" | sed 's/\\-/-/g'; }

help=$("$program" --help)
commands=$(sed -nE '/^Subcommands:/,/^$/s/^  ([[:alnum:]-]+) .*/\1/p' <<< "$help")
# --help is not always listed, but it answered.
from_help=$({
  echo --help
  help_options <<< "$help"
  for command in $commands; do "$program" "$command" --help | help_options; done
} | sort -u)
from_page=$(page_tags | grep -oE -- '--[[:alnum:]-]+' | sort -u)

status=0
missing=$(comm -23 <(echo "$from_help") <(echo "$from_page"))
extra=$(comm -13 <(echo "$from_help") <(echo "$from_page"))
if [[ -n $missing ]]; then
  echo "$page lacks options that $program --help lists:" $missing
  status=1
fi
if [[ -n $extra ]]; then
  echo "$page documents options that $program --help does not list:" $extra
  status=1
fi
tags=$(page_tags)
for command in $commands; do
  if ! grep -qE "^\.[BIR]*[[:space:]]+\"?$command\b" <<< "$tags"; then
    echo "$page lacks the command $command"
    status=1
  fi
done
[[ $status -ne 0 ]] || echo "$page: $(wc -w <<< "$from_help") options${commands:+ and $(wc -w <<< "$commands") commands} agree with --help"
exit $status
