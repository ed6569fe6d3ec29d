#!/usr/bin/env bash
# Builds a Release Quorvel.exe and qv.exe without debug sections into build/release (or
# $QUORVEL_BUILD_DIR/release) and writes build/Quorvel-<version>.zip with them, the message log's
# hook DLLs (32-bit and 64-bit), the 64-bit helpers, and README.md.
# The version is the project's VERSION in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build="${QUORVEL_BUILD_DIR:-build}"
release="$build/release"
# -s: the linker leaves the symbols and debug sections out of the program itself.
cmake -S . -B "$release" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s -DCMAKE_SHARED_LINKER_FLAGS_RELEASE=-s
# Quorvel and qv depend on both hook DLLs and the helpers, so they are built with them.
cmake --build "$release" -j2 --target Quorvel qv

version=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no project VERSION in CMakeLists.txt" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=(Quorvel.exe qv.exe QuorvelHook.dll QuorvelHook64.dll QuorvelHookHelper64.exe QuorvelProbeHelper64.exe)
for f in "${files[@]}"; do cp "$release/$f" "$stage/"; done
cp README.md "$stage/"

archive="$(cd "$build" && pwd)/Quorvel-$version.zip"
rm -f "$archive.tmp"
(cd "$stage" && zip -q -X "$archive.tmp" "${files[@]}" README.md)
mv -f "$archive.tmp" "$archive"
echo "$archive"
