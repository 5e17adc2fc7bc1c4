#!/usr/bin/env bash
# Builds the Debian package: build-deb.sh SOURCE BUILD_DIR OUT_DIR [JOBS]. The build folder is
# configured once with dpkg-buildflags' hardening flags and without the self-updater; later
# runs rebuild only what changed. Prints the path of the .deb on its last line.
set -euo pipefail
src=$(cd "$1" && pwd)
build=$2
out=$(mkdir -p "$3" && cd "$3" && pwd)
jobs=${4:-2}

# dpkg-buildflags' answers, as a package build would get them; CMake's own build type adds
# nothing on top (None).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
# The package is Debian 12's, whose GNOME Shell (43) loads the legacy form of the extension,
# whether or not a Shell is installed where the package is built.
export PURRLOX_SHELL_FORM=${PURRLOX_SHELL_FORM:-legacy}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=None -DPURRLOX_SELF_UPDATE=OFF \
        -DPURRLOX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >"$build.configure.log" 2>&1 ||
        { cat "$build.configure.log" >&2; exit 1; }
fi
cmake --build "$build" -j"$jobs"
(cd "$build" && cpack -G DEB -B "$out/deb-package" >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
deb=$(ls -t "$out"/deb-package/purrlox_*.deb | head -1)
cp "$deb" "$out/"
echo "$out/$(basename "$deb")"
