#!/usr/bin/env bash
# Names declared at namespace scope (functions, classes, structs, unions, enums, aliases,
# variables) in more than one layer (app, forms, controls, commands, runtime), one line each with
# its layers, then their count. Members and enumerators live inside their type and are left out.
# Needs Universal Ctags. Usage: tools/layer_names.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ctags -R --languages=C++ --kinds-C++=cfgpstuv -x --_xformat='%N|%F|%{scopeKind}' \
  app forms controls commands runtime |
  awk -F'|' '$3 == "" || $3 == "namespace" { split($2, path, "/"); print $1 "|" path[1] }' |
  sort -u |
  awk -F'|' '{ layers[$1] = layers[$1] " " $2; count[$1]++ }
       END { for (name in count) if (count[name] > 1) { print name ":" layers[name]; n++ }
             print n + 0, "names in more than one layer" }' |
  sort
