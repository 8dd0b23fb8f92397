#!/usr/bin/env bash
# Fails when a project include goes against the layer order of the framework,
# the application and the samples (docs/architecture.md): a folder includes only
# folders listed before it (never a later one, never a sibling of the same
# rank), and app/, common/ and samples/ include only the platform's public
# headers (platform/*.h).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Rank of each folder, lowest first. Folders of equal rank do not include each other.
ranks=(
  "common/kit/base 1"
  "common/kit/state 2"
  "common/kit/errors 3"
  "common/kit/startup 4"
  "common/devicecatalog 4"
  "common/kit/match 5"
  "common/kit/time 5"
  "common/kit/device 6"
  "common/kit/window 7"
  "common/kit/loop 8"
  "common/kitmisc 9"
  "common/kitgui 10"
  "common/kitsettingsdlg 11"
  "app 12"
  "samples/hello 12"
  "samples/gallery 12"
)
table=$(printf '%s\n' "${ranks[@]}")

git ls-files -- 'app/*.cpp' 'app/*.h' 'common/*.cpp' 'common/*.h' 'samples/*.cpp' 'samples/*.h' |
  xargs grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
  awk -v table="$table" '
    BEGIN {
      n = split(table, rows, "\n")
      for (i = 1; i <= n; i++) { split(rows[i], f, " "); rank[f[1]] = f[2]; folders[i] = f[1] }
    }
    # The folder of a path: the longest listed folder it lies in.
    function folder_of(path,   i, best) {
      best = ""
      for (i = 1; i <= n; i++)
        if (index(path, folders[i] "/") == 1 && length(folders[i]) > length(best)) best = folders[i]
      return best
    }
    {
      file = $0; sub(/:.*/, "", file)
      line = $0; sub(/^[^:]*:/, "", line); lineno = line; sub(/:.*/, "", lineno)
      inc = line; sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
      from = folder_of(file)
      if (inc ~ /^platform\//) {
        if (inc !~ /^platform\/[^\/]+\.h$/) {
          printf "%s:%s: includes %s, a platform internal (only platform/*.h)\n", file, lineno, inc; bad++
        }
        next
      }
      to = folder_of(inc)
      if (to == "") { printf "%s:%s: includes %s, outside the layers\n", file, lineno, inc; bad++; next }
      if (to == from) next
      if (rank[to] >= rank[from]) {
        printf "%s:%s: %s (rank %d) includes %s (rank %d)\n", file, lineno, from, rank[from], inc, rank[to]; bad++
      }
    }
    END { exit bad > 0 }
  ' && status=0 || status=$?
if ((status != 0)); then
  echo "layers: the includes above go against the layer order (docs/architecture.md)" >&2
  exit 1
fi
echo "layers: every include of app/, common/ and samples/ follows the layer order"
