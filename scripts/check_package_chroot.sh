#!/usr/bin/env bash
# Checks a Tumbral package the way a user meets it, in a clean Debian 12 chroot
# (run as root, outside the test suite; needs debootstrap and the network):
#   scripts/check_package_chroot.sh build/package/tumbral_<version>_<arch>.deb [chroot folder]
# Makes the chroot with debootstrap (minbase) unless the folder already holds
# one, installs the package with apt-get (libraries and recommended fonts come
# with it), starts "tumbral" from /tmp headless, then removes it again and
# checks that nothing of it is left: every file is the same as before.
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/var/tmp/tumbral-bookworm}
name=$(basename "$deb")

if [[ ! -x "$root/usr/bin/apt-get" ]]; then
  echo "check: making a Debian 12 chroot in $root (a few minutes)"
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
fi
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
trap 'umount "$root/dev" "$root/proc"' EXIT
in_root() { chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games HOME=/root LANG=C.UTF-8 "$@"; }

# Every file with its size and type, leaving out apt's and dpkg's own records,
# logs, caches and scratch folders.
snapshot() {
  in_root find / -xdev \( -path /proc -o -path /dev -o -path /tmp -o -path /var/tmp -o -path /var/log \
    -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /root \) -prune \
    -o -printf '%p %y %s\n' | sort
}

cp "$deb" "$root/tmp/$name"
in_root apt-get update -qq
snapshot >"$root/tmp/before.txt"

echo "check: apt-get install ./$name"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$name" >/dev/null
in_root dpkg -L tumbral | sed 's/^/check:   /'

echo "check: tumbral --version, and a headless run from /tmp"
in_root tumbral --version
printf '@frame 5\nshot /tmp/start.png\nquit\n' >"$root/tmp/start.txt"
status=0
in_root sh -c 'cd /tmp && TUMBRAL_BACKEND=headless TUMBRAL_SCRIPT=start.txt tumbral /quitafterframe:20' || status=$?
echo "check: exit code $status; frame: $(file -b "$root/tmp/start.png" 2>/dev/null || echo none)"
[[ $status -eq 0 && -s "$root/tmp/start.png" ]]
adapter=0
in_root sh -c 'cd /tmp && TUMBRAL_BACKEND=headless tumbral /adapter:7 2>/dev/null' || adapter=$?
echo "check: /adapter:7 gives exit code $adapter"
[[ $adapter -eq 3 ]]

echo "check: apt-get remove tumbral"
snapshot >"$root/tmp/installed.txt"
in_root dpkg -L tumbral | sort >"$root/tmp/owned.txt"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tumbral >/dev/null
snapshot >"$root/tmp/removed.txt"
# The removal takes away exactly the package's own files (and folders only it
# used) and adds nothing.
added=$(comm -13 "$root/tmp/installed.txt" "$root/tmp/removed.txt")
gone=$(comm -23 "$root/tmp/installed.txt" "$root/tmp/removed.txt" | cut -d' ' -f1 | sort)
foreign=$(comm -23 <(echo "$gone") "$root/tmp/owned.txt")
# shellcheck disable=SC2016 # expanded by the shell in the chroot
kept=$(in_root sh -c 'while read -r f; do if [ -e "$f" ] || [ -L "$f" ]; then [ -d "$f" ] || echo "$f"; fi; done' \
  <"$root/tmp/owned.txt")
echo "check: $(echo "$gone" | wc -l) paths removed"
[[ -z "$added$foreign$kept" ]] || { echo "check: added: $added; removed but not tumbral's: $foreign; left: $kept"; exit 1; }

# What the libraries' packages leave after their own purge (system users that
# Debian keeps on purpose, for example) is shown, not counted against Tumbral.
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -qq >/dev/null 2>&1
snapshot >"$root/tmp/after.txt"
echo "check: after autoremove --purge of the libraries, compared with before the install:"
diff "$root/tmp/before.txt" "$root/tmp/after.txt" | sed 's/^/check:   /' || true
echo "check: passed; nothing of tumbral is left"
