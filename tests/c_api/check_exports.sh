#!/bin/sh
# Fails when libdrovik.so defines a dynamic symbol other than a Drovik_* function and the few the
# toolchain adds to every shared library.
library="$1"
symbols=$(nm -D --defined-only "$library") || { echo "FAILED: nm could not read $library"; exit 1; }
bad=$(printf '%s\n' "$symbols" | awk '
  NF < 2 { next }
  { name = $NF; type = $(NF - 1) }
  name ~ /^Drovik_/ && (type == "T" || type == "W") { next }
  name == "_init" || name == "_fini" || name == "_edata" || name == "_end" || name == "__bss_start" { next }
  { print }')
count=$(printf '%s\n' "$symbols" | grep -c ' Drovik_')
if [ -n "$bad" ]; then
  echo "FAILED: libdrovik.so exports more than Drovik_* functions:"
  printf '%s\n' "$bad"
  exit 1
fi
if [ "$count" -eq 0 ]; then
  echo "FAILED: libdrovik.so exports no Drovik_* function"
  exit 1
fi
echo "ok: libdrovik.so exports $count Drovik_* functions and nothing else"
