#!/bin/sh
# Puts Allegro 4.4's source in WORKDIR/allegro-4.4.3.1: the upstream tarball
# of Debian's own source package of the library, checked against its known
# SHA-256, so every platform's build starts from the same bytes; then the
# platform's own patches, if any are named.
#   tools/fetch-allegro-source.sh WORKDIR [PATCH...]
#   tools/fetch-allegro-source.sh --sha256   (prints the checksum, for stamps)
set -eu
tarball=allegro4.4_4.4.3.1.orig.tar.gz
sha256=ec19dbc9a021244582b4819b3583ee594b50141f9fcf6944a4ed8069cbf8d4d4
if [ "$1" = --sha256 ]; then
  echo "$sha256"
  exit 0
fi
work=$1
shift
mkdir -p "$work"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Debian's source package: the sources list gets a deb-src entry of
# Debian's own archive when it has none that knows the package.
if ! apt-get source --print-uris allegro4.4 >/dev/null 2>&1; then
  echo "Adding Debian's source archive to apt (/etc/apt/sources.list.d/krove-vestin-src.sources)"
  $sudo sh -c 'cat > /etc/apt/sources.list.d/krove-vestin-src.sources' <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $sudo apt-get update -qq
fi
# The upstream tarball is what the library is built from; the package's
# Debian patches (which may not be served) only concern Linux.
uri=$(apt-get source --print-uris allegro4.4 | grep -o "'[^']*/$tarball'" | tr -d "'")
[ -n "$uri" ] || { echo "apt-get source knows no $tarball" >&2; exit 1; }
/usr/lib/apt/apt-helper download-file "$uri" "$work/$tarball" "SHA256:$sha256" >/dev/null 2>&1 ||
  { echo "cannot download $uri" >&2; exit 1; }
echo "$sha256  $work/$tarball" | sha256sum -c --quiet

tar -xzf "$work/$tarball" -C "$work"
for p in "$@"; do patch -d "$work/allegro-4.4.3.1" -p1 --quiet < "$p"; done
