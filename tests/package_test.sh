#!/bin/sh
# The Debian package of a build tree, installed with dpkg into a scratch
# root: the program runs and says its version, the manual page is found, the
# licence is the package's copyright, and the libraries it needs are its
# dependencies.
#   package_test.sh BUILD-DIR VERSION
set -eu
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/tovel_"$version"_*.deb)
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: > "$root/var/lib/dpkg/status"
# The scratch root has no libc6 of its own: the dependencies are checked below.
dpkg --root="$root" --force-not-root --force-depends --log=/dev/null -i "$deb" > "$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; exit 1; }
test "$("$root/usr/bin/tovel" --version | head -n 1)" = "tovel $version"
test "$(MANPATH="$root/usr/share/man" man -w tovel)" = "$root/usr/share/man/man1/tovel.1"
cmp "$root/usr/share/doc/tovel/copyright" "$(dirname "$0")/../LICENSE"
depends=$(dpkg-deb -f "$deb" Depends)
libraries=libc6
# A build with xylib installs its module, which the program finds from where
# it is installed, and which brings xylib and the shared C++ library.
if [ -f "$build/tovel-xylib.so" ]; then
  "$root/usr/bin/tovel" --version | grep -q "^instrument formats read through xylib [0-9]"
  libraries="libc6 libstdc++6 libxy3v5"
fi
for library in $libraries; do
  case "$depends" in *"$library "*) ;; *) echo "no $library in Depends: $depends"; exit 1 ;; esac
done
