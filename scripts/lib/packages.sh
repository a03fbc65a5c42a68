# Installs the Debian packages the builds and tests need, when missing.
# Sourced by scripts/run, scripts/test and scripts/fuzz.

SKARNEL_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev zlib1g-dev wine64 xvfb xdotool fonts-wine imagemagick locales
)

skarnel_missing_packages() {
  local missing=() package
  for package in "${SKARNEL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  echo "${missing[*]:-}"
}

skarnel_install_packages() {
  local missing
  missing=$(skarnel_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: $missing" >&2
    echo "Install them first:  sudo apt-get update && sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  apt-get update >/dev/null
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing >/dev/null
}
