#!/usr/bin/env bash
# Fails when a core library defines a variable that can change while a program runs: every
# symbol the libraries place in a writable data section (.data or .bss, not the relocated
# read-only .data.rel.ro) is listed, apart from what the compiler, the sanitizers and the
# standard library put there themselves (exception-handling references, names reserved to
# the implementation, libstdc++'s shared wait pool). A world's
# settings, random numbers and caches belong to the world, so two worlds in one program never
# share state.
# Usage: no_mutable_globals.sh LIBRARY.a...
set -euo pipefail
found=$(for library in "$@"; do
  nm -C -f sysv --defined-only "$library" |
    awk -F'|' -v lib="$(basename "$library")" '{
      section = $7; gsub(/^ +| +$/, "", section)
      name = $1; gsub(/^ +| +$/, "", name)
      if (section ~ /^\.(data|bss|tdata|tbss)/ && section !~ /^\.data\.rel\.ro/ &&
          name !~ /^DW\.ref\./ && name !~ /^__/ && name !~ /^std::/)
        print lib ": " name " (" section ")"
    }'
done | sort -u)
if [ -n "$found" ]; then
  echo "mutable process-wide state in the core libraries:"
  echo "$found"
  exit 1
fi
echo "no mutable process-wide state in: $*"
