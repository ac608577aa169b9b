# The stage the whole-program bench scripts share: the builds they need, a private
# Xvfb with a scratch folder holding the program's images, and a process's CPU time.
# Sourced with `root` set to the checkout.
source "$root/scripts/lib/xvfb.sh"

# require_built FILE...: stops the script when a build product is missing.
require_built() {
  local needed
  for needed in "$@"; do
    [[ -f "$needed" ]] || { echo "missing $needed (build it first)" >&2; exit 1; }
  done
}

# Sets `work` to a folder with the images, starts Xvfb; both go on exit.
start_program_stage() {
  work="$(mktemp -d)"
  trap 'stop_xvfb; rm -rf "$work"' EXIT
  cp "$root"/assets/*.png "$work/"
  start_xvfb
  export SDL_VIDEODRIVER=x11
}

# User and system clock ticks of process $1 so far.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
