#!/usr/bin/env bash
# The framework as an outside project gets it: installs the "dev" component of
# a build tree into a fresh prefix, checks that the installed headers include
# only installed headers and that the package names no path of the build
# machine's tree, then configures and builds samples/hello out of the tree
# with find_package(TumbralKit) and runs it headless for a few frames.
# Usage: package_test.sh <build dir> <source dir> <C++ compiler> [compiler launcher]
set -euo pipefail
build=$1 source=$2 cxx=$3 launcher=${4:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

cmake --install "$build" --prefix "$prefix" --component dev >/dev/null

# Every project include of an installed header is installed too.
missing=$(cd "$prefix/include/tumbral" &&
  grep -rhoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' . | sed -E 's/.*"([^"]+)"/\1/' | sort -u |
  while read -r header; do [[ -f $header ]] || echo "$header"; done)
if [[ -n $missing ]]; then
  echo "package: installed headers include headers that are not installed:" >&2
  echo "$missing" | sed 's/^/  /' >&2
  exit 1
fi
# The package is relocatable: it refers to no folder of the tree it was built in.
if grep -rlF -e "$source" -e "$build" "$prefix/lib/cmake"; then
  echo "package: the files above name the source or build tree" >&2
  exit 1
fi

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
cmake -S "$source/samples/hello" -B "$tmp/hello" "${gen[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON -DCMAKE_CXX_COMPILER="$cxx" \
  ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher"} >"$tmp/configure.log" ||
  { cat "$tmp/configure.log" >&2; exit 1; }
cmake --build "$tmp/hello" >"$tmp/build.log" || { cat "$tmp/build.log" >&2; exit 1; }

TUMBRAL_BACKEND=headless TUMBRAL_HEADLESS_NOWAIT=1 TUMBRAL_DEBUG_OUTPUT=off \
  "$tmp/hello/tumbral-hello" /quitafterframe:5
echo "package: samples/hello built against the installed TumbralKit and ran 5 frames"
