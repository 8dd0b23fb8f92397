#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh <dir> <build-type> [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1 type=$2
shift 2
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [[ ! -f "$root/$dir/CMakeCache.txt" ]]; then
  echo "build: configuring $dir ($type)"
  cmake -S "$root" -B "$root/$dir" "${gen[@]}" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
fi
cmake --build "$root/$dir" --parallel "$(nproc)"
