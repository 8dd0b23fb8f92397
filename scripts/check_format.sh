#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what the project's .clang-format makes of it.
# Pinned to clang-format 14 (Debian 12's), which scripts/setup.sh installs: other versions format differently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tool=$(command -v clang-format-14 || command -v clang-format || true)
if [[ -z "$tool" ]]; then
  echo "format: clang-format 14 is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
# One clang-format run over every file; it names each file that would change.
out=$(git ls-files -z -- '*.cpp' '*.h' '*.inl' | xargs -0 "$tool" --dry-run --Werror 2>&1) && status=0 || status=$?
if ((status != 0)); then
  bad=$(printf '%s\n' "$out" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
  echo "format: these files differ from .clang-format (run: clang-format -i FILE):" >&2
  printf '%s\n' "${bad:-$out}" | sed 's/^/  /' >&2
  exit 1
fi
echo "format: all tracked C++ files match .clang-format"
