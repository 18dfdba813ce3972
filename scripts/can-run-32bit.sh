#!/usr/bin/env bash
# Exit 0 when this machine can execute 32-bit x86 programs (and so Wine's
# 32-bit loader), 1 otherwise.
[ -x /usr/lib/wine/wine ] || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1
