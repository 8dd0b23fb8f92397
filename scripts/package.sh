#!/usr/bin/env bash
# Builds the Debian package build/package/tumbral_<version>_<arch>.deb with CPack
# (the runtime component, installed under /usr) and checks it with lintian.
#   scripts/package.sh            set up (scripts/setup.sh package), build, package, lintian
# TUMBRAL_PACKAGE_MAINTAINER="Name <address>" names the package's maintainer.
# The compiler and linker flags are Debian's (dpkg-buildflags: hardening, no
# build paths in the binary), as a Debian build would use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=build/package
echo "package: step 1 of 3: packages the build needs"
"$root/scripts/setup.sh" package

echo "package: step 2 of 3: building $dir (the first time takes a few minutes)"
cd "$root"  # dpkg-buildflags maps the current folder out of the binary's file names
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS=$(dpkg-buildflags --get CFLAGS)
CXXFLAGS=$(dpkg-buildflags --get CXXFLAGS)
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS" LDFLAGS
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
maintainer=()
if [[ -n "${TUMBRAL_PACKAGE_MAINTAINER:-}" ]]; then
  maintainer=(-DTUMBRAL_PACKAGE_MAINTAINER="$TUMBRAL_PACKAGE_MAINTAINER")
  # build.sh configures a tree only once; a tree made before takes the new name here.
  [[ -f "$root/$dir/CMakeCache.txt" ]] && cmake "$root/$dir" "${maintainer[@]}" >/dev/null
fi
"$root/scripts/build.sh" $dir Release -DTUMBRAL_TESTS=OFF -DTUMBRAL_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DTUMBRAL_INSTALL_GAMES_LINK=ON \
  "${launcher[@]}" "${maintainer[@]}"

echo "package: step 3 of 3: packaging and checking with lintian"
cd "$root/$dir"
rm -f ./*.deb
cpack -G DEB >/dev/null
deb=$(ls ./*.deb)
echo "package: built $root/$dir/${deb#./}"
# Errors fail the build; the warnings this layout is known to raise are listed in README.md.
lintian --fail-on error --tag-display-limit 0 "$deb"
