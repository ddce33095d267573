#!/bin/sh
# Renders every manual page given with groff -ww (and mandoc -Tlint where it is installed) and
# fails when either says anything at warning level or above.
set -u
status=0
for page in "$@"; do
  out=$(LC_ALL=C.UTF-8 groff -ww -man -z -t "$page" 2>&1)
  if command -v mandoc >/dev/null 2>&1; then
    out="$out$(mandoc -Tlint -W warning "$page" 2>&1)"
  fi
  if [ -n "$out" ]; then
    printf '%s:\n%s\n' "$page" "$out"
    status=1
  else
    echo "$page: no warnings"
  fi
done
exit $status
