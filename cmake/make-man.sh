#!/bin/sh
# Turns one scdoc page into roff and its gzip form, as the build and the package need them:
#   make-man.sh SOURCE.scd OUT
set -eu
here=$(cd "$(dirname "$0")" && pwd)
scdoc < "$1" | awk -f "$here/man-tidy.awk" > "$2.tmp"
mv "$2.tmp" "$2"
gzip -9n < "$2" > "$2.gz"
