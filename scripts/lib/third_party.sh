# Fetches the sources of the image libraries both builds link statically
# (libspng for PNG, giflib for GIF, nettle for archive indexes; zlib too for
# the web page, which adds it to SKARNEL_THIRD_PARTY_PACKAGES) from Debian's
# source packages, applies
# Debian's patches and unpacks them under $SKARNEL_BUILD/third_party, once.
# Sourced by the scripts; the apt source list is derived from the machine's
# own, so no archive is named here.

SKARNEL_THIRD_PARTY_PACKAGES=(libspng giflib nettle)
SKARNEL_THIRD_PARTY="$SKARNEL_BUILD/third_party"

skarnel_apt_src() {
  local d=$SKARNEL_THIRD_PARTY/apt
  apt-get -o Dir::Etc::SourceParts="$d/parts" -o Dir::Etc::SourceList=/dev/null \
    -o Dir::State::Lists="$d/lists" "$@"
}

# Unpacks one downloaded source package: the orig tarball, then Debian's
# patch series in order.
skarnel_unpack_source() {
  local package=$1 dsc orig debian dir
  dsc=$(ls "$SKARNEL_THIRD_PARTY"/download/"${package}"_*.dsc | head -n 1)
  orig=$(ls "$SKARNEL_THIRD_PARTY"/download/"${package}"_*.orig.tar.* | head -n 1)
  debian=$(ls "$SKARNEL_THIRD_PARTY"/download/"${package}"_*.debian.tar.* | head -n 1)
  dir="$SKARNEL_THIRD_PARTY/$package"
  rm -rf "$dir" "$dir.tmp"
  mkdir -p "$dir.tmp"
  tar -xf "$orig" -C "$dir.tmp" --strip-components=1 &&
    tar -xf "$debian" -C "$dir.tmp" || return 1
  if [ -f "$dir.tmp/debian/patches/series" ]; then
    local patch
    while read -r patch _; do
      case "$patch" in '' | \#*) continue ;; esac
      patch -d "$dir.tmp" -p1 -s -N <"$dir.tmp/debian/patches/$patch" || return 1
    done <"$dir.tmp/debian/patches/series"
  fi
  basename "$dsc" .dsc >"$dir.tmp/SOURCE_VERSION"
  mv "$dir.tmp" "$dir"
}

skarnel_fetch_third_party() {
  local package missing=()
  for package in "${SKARNEL_THIRD_PARTY_PACKAGES[@]}"; do
    [ -f "$SKARNEL_THIRD_PARTY/$package/SOURCE_VERSION" ] || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== fetch sources: ${missing[*]}"
  local d=$SKARNEL_THIRD_PARTY/apt
  mkdir -p "$d/parts" "$d/lists/partial" "$SKARNEL_THIRD_PARTY/download"
  local sources
  for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed 's/^Types: deb$/Types: deb-src/' "$sources"
    echo
  done >"$d/parts/src.sources"
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -n 's/^deb /deb-src /p' >"$d/parts/src.list"
  skarnel_apt_src update >"$SKARNEL_THIRD_PARTY/fetch.log" 2>&1 || {
    cat "$SKARNEL_THIRD_PARTY/fetch.log" >&2
    return 1
  }
  # A mirror may list an update's source without holding it: then the
  # release's own version is taken.
  local release
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  for package in "${missing[@]}"; do
    (cd "$SKARNEL_THIRD_PARTY/download" &&
      { skarnel_apt_src source --download-only "$package" ||
        { [ -n "$release" ] && skarnel_apt_src source --download-only "$package/$release"; }; }) \
      >>"$SKARNEL_THIRD_PARTY/fetch.log" 2>&1 || {
      cat "$SKARNEL_THIRD_PARTY/fetch.log" >&2
      return 1
    }
  done
  for package in "${missing[@]}"; do
    skarnel_unpack_source "$package" || {
      echo "cannot unpack $package" >&2
      return 1
    }
  done
}
