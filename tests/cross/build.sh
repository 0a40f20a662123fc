#!/usr/bin/env bash
# Builds the suite for another machine with Debian's cross compilers, runs
# its unit tests under qemu-user, and compares its bytes on nan and inf
# inputs with those of a native build.
#
#   build.sh ARCH REFERENCE     ARCH: arm64, s390x or i386; REFERENCE: what
#                               outputs.sh printed for the native build
#
# The programs and the unit tests are linked statically. Works in
# build-ARCH/, with GoogleTest built for the target from /usr/src/googletest
# into build-ARCH/gtest.
set -euo pipefail
arch=$1 reference=$(realpath "$2")
cd "$(dirname "$0")/../.."

case $arch in
arm64) triplet=aarch64-linux-gnu processor=aarch64 qemu=qemu-aarch64-static ;;
s390x) triplet=s390x-linux-gnu processor=s390x qemu=qemu-s390x-static ;;
i386) triplet=i686-linux-gnu processor=i686 qemu=qemu-i386-static ;;
*) echo "build.sh: unknown machine $arch" >&2; exit 2 ;;
esac
build=build-$arch
cross=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=$processor
	-DCMAKE_C_COMPILER=$triplet-gcc -DCMAKE_CXX_COMPILER=$triplet-g++
	-DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v $qemu);-L;/usr/$triplet")

cmake -S /usr/src/googletest -B "$build/gtest/build" "${cross[@]}" -DBUILD_GMOCK=OFF \
	-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PWD/$build/gtest" >/dev/null
cmake --build "$build/gtest/build" -j2 >/dev/null
cmake --install "$build/gtest/build" >/dev/null

cmake -S . -B "$build" "${cross[@]}" -DGTest_DIR="$PWD/$build/gtest/lib/cmake/GTest" \
	-DBUILD_TESTING=ON -DREGKIT_DOCS=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
ctest --test-dir "$build" --output-on-failure --no-tests=error -j2

tests/cross/outputs.sh "$build/bin" $qemu >"$build/outputs.txt"
diff -u "$reference" "$build/outputs.txt"
echo "$arch: the same bytes as the native build on nan and inf inputs"
