#!/usr/bin/env bash
# Static checks: clang-tidy (the checks in .clang-tidy) over every source in
# src/ that this platform compiles, and cppcheck over all of src/. Any
# finding fails the stage.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib.sh

need_packages_or_skip cmake g++ libgtest-dev clang-tidy cppcheck python3 nlohmann-json3-dev

echo "static: clang-tidy over src/ (compile commands of build/default)"
cmake --preset default >/dev/null
sources=$(python3 -c '
import json, os
top = os.getcwd() + "/src/"
for entry in json.load(open("build/default/compile_commands.json")):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(top):
        print(path)
' | sort -u)
echo "$sources" | xargs -P2 -n2 clang-tidy -p build/default --quiet

echo "static: cppcheck over src/"
cppcheck --std=c++17 --language=c++ --enable=warning,style,performance,portability \
  --inline-suppr --error-exitcode=1 --quiet -I src --suppress=missingIncludeSystem src/

echo "static: clean"
