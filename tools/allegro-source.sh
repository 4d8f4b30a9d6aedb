# Allegro 4.4's source for the library's builds for other platforms
# (tools/windows/build-allegro.sh, tools/web/build-allegro.sh), which source
# this file: the upstream tarball of Debian's own source package of the
# library, checked against its known SHA-256, so every platform's build
# starts from the same bytes.
allegro_tarball=allegro4.4_4.4.3.1.orig.tar.gz
allegro_sha256=ec19dbc9a021244582b4819b3583ee594b50141f9fcf6944a4ed8069cbf8d4d4

# begin_allegro_build PREFIX STAMP [PATCH...]: the build script ends here
# when PREFIX holds the library built from STAMP (what it was built from).
# Else PREFIX is emptied and $work (PREFIX.work) gets the source in $src,
# with the platform's patches applied.
begin_allegro_build() {
  prefix=$1
  stamp=$2
  shift 2
  if [ -f "$prefix/lib/liballeg.a" ] && [ "$(cat "$prefix/built-from" 2>/dev/null)" = "$stamp" ]; then
    exit 0
  fi
  work="$prefix.work"
  rm -rf "$work" "$prefix"
  mkdir -p "$work"
  fetch_allegro_tarball "$work"
  tar -xzf "$work/$allegro_tarball" -C "$work"
  src="$work/allegro-4.4.3.1"
  for p in "$@"; do patch -d "$src" -p1 --quiet < "$p"; done
}

# finish_allegro_build: the stamp beside the library, the work folder gone.
finish_allegro_build() {
  echo "$stamp" > "$prefix/built-from"
  rm -rf "$work"
}

fetch_allegro_tarball() {
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
  uri=$(apt-get source --print-uris allegro4.4 | grep -o "'[^']*/$allegro_tarball'" | tr -d "'")
  [ -n "$uri" ] || { echo "apt-get source knows no $allegro_tarball" >&2; exit 1; }
  /usr/lib/apt/apt-helper download-file "$uri" "$1/$allegro_tarball" "SHA256:$allegro_sha256" >/dev/null 2>&1 ||
    { echo "cannot download $uri" >&2; exit 1; }
  echo "$allegro_sha256  $1/$allegro_tarball" | sha256sum -c --quiet
}
