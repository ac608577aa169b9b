# Debian's libpng1.6 source, fetched once into a cache folder (sourced, not run).
# The Windows build and the instrumented fuzz build both compile libpng from it.

# Adds deb-src entries beside Debian's binary ones when apt has none yet.
ensure_deb_src() {
  if grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  echo "libpng-source: adding deb-src entries for apt-get source" >&2
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${as_root[@]}" tee /etc/apt/sources.list.d/corvane-deb-src.sources >/dev/null
  elif [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${as_root[@]}" tee /etc/apt/sources.list.d/corvane-deb-src.list >/dev/null
  else
    echo "libpng-source: no apt sources to derive deb-src entries from" >&2
    return 1
  fi
  "${as_root[@]}" apt-get update >&2
}

# Prints the unpacked upstream tree of libpng1.6 under <cache>, fetching the orig
# tarball with `apt-get source` only when the cache has none.
libpng_source() {
  local cache="$1" tree tarball
  mkdir -p "$cache"
  tree="$(find "$cache" -maxdepth 1 -type d -name 'libpng-1.6*' -print -quit)"
  if [[ -n "$tree" && -f "$tree/png.h" ]]; then
    echo "$tree"
    return 0
  fi
  tarball="$(find "$cache" -maxdepth 1 -name 'libpng1.6_*.orig.tar.*' -print -quit)"
  if [[ -z "$tarball" ]]; then
    ensure_deb_src || return 1
    # Only the orig tarball is needed: a missing Debian diff (a security update's
    # sources are not always mirrored) does not matter.
    (cd "$cache" && apt-get source --download-only libpng1.6 >&2) || true
    tarball="$(find "$cache" -maxdepth 1 -name 'libpng1.6_*.orig.tar.*' -print -quit)"
    if [[ -z "$tarball" ]]; then
      echo "libpng-source: 'apt-get source libpng1.6' brought no orig tarball (no network, or no deb-src entries)" >&2
      return 1
    fi
  fi
  tar -xf "$tarball" -C "$cache" || return 1
  tree="$(find "$cache" -maxdepth 1 -type d -name 'libpng-1.6*' -print -quit)"
  [[ -n "$tree" && -f "$tree/png.h" ]] || { echo "libpng-source: the tarball held no libpng tree" >&2; return 1; }
  echo "$tree"
}
