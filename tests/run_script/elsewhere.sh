#!/bin/sh
# Runs a copy of scripts/run as on a system that is not Debian, the copy's
# build in WORK. no-apt: a PATH with every program of this machine but apt
# and dpkg, as on Fedora, Arch or macOS. no-compiler: the same less every
# C and C++ compiler. no-static-libc: no apt, no Ninja (so Make builds), and
# in a mount namespace of its own no libc.a, as where glibc-static is not
# installed. unknown-build: scripts/install-deps asked for a build whose
# packages it cannot name (no apt, no sudo: a fault cannot reach apt).
# SETTINGS, a CMake file put at the top of the copy's CMakeLists.txt, sets
# what the build under test configures (its addresses).
#   elsewhere.sh no-apt|no-compiler|no-static-libc|unknown-build SOURCE WORK SETTINGS
set -eu
mode=$1 source=$2 work=$3 settings=$4
rm -rf "$work"
mkdir -p "$work/bin" "$work/source"
(cd "$source" && cp -r CMakeLists.txt LICENSE src cmake doc scripts "$work/source/")
cat "$settings" "$source/CMakeLists.txt" >"$work/source/CMakeLists.txt"
for program in /usr/local/bin/* /usr/bin/* /bin/*; do
  name=${program##*/}
  case $mode:$name in
    unknown-build:dpkg-query) ;;
    *:apt* | *:dpkg* | unknown-build:sudo) continue ;;
    no-compiler:*++* | no-compiler:*gcc* | no-compiler:cc | no-compiler:clang*) continue ;;
    no-static-libc:ninja) continue ;;
  esac
  [ -e "$work/bin/$name" ] || ln -s "$program" "$work/bin/$name"
done
if [ "$mode" = unknown-build ]; then
  echo '{"version": 3, "configurePresets": [{"name": "plain"}],
    "testPresets": [{"name": "plain", "configurePreset": "plain"}]}' \
    >"$work/source/CMakePresets.json"
  exec env PATH="$work/bin" "$work/source/scripts/install-deps" plain
fi
run="env -u CXX PATH=$work/bin $work/source/scripts/run"
[ "$mode" = no-static-libc ] || exec $run

# The C library's folder seen through a folder of links to all of it but
# libc.a, bound over it where only this process and its children see it.
lib=/usr/lib/$(g++ -dumpmachine)
[ -f "$lib/libc.a" ] || { echo "no $lib/libc.a to hide" >&2; exit 1; }
mkdir "$work/real" "$work/lib"
as_root=-r
[ "$(id -u)" = 0 ] && as_root=""
exec unshare $as_root -m sh -eu -c '
  mount --bind "$1" "$2/real"
  for file in "$2"/real/* "$2"/real/.[!.]*; do
    [ -e "$file" ] && [ "${file##*/}" != libc.a ] && ln -s "$file" "$2/lib/"
  done
  mount --bind "$2/lib" "$1"
  shift 2
  exec "$@"' sh "$lib" "$work" $run
