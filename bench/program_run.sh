#!/usr/bin/env bash
# Whole-program figures for both builds, from one run on this machine, windowed in a
# virtual X server: the time from start to the first frame on screen (median of
# several starts, seen on the screen for both) and the frames presented per second.
# The Linux program's frames are counted by the preloaded frame counter of
# bench/present, Wine's by its fps debug channel. Not a test.
# Usage: program_run.sh <build dir> <corvane.exe> [seconds of frames, default 10]
#                       [starts, default 5]
set -uo pipefail

build="$(realpath "$1")"
linux_program="$build/src/app/corvane"
counter="$build/bench/present/libframe_counter.so"
windows_program="$(realpath "$2")"
seconds="${3:-10}"
starts="${4:-5}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
assets="$root/assets"
source "$root/scripts/lib/xvfb.sh"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

# Starts the program and waits for the board's middle cell on screen; appends the
# milliseconds that took to `times`.
first_frame() {
  local start window x y size cell
  cell="$(pixel "$assets/Velmo_Grid.png" 32 32)"
  start="$(now_ms)"
  if [[ "$platform" == linux ]]; then
    FRAME_COUNT_OUT="$work/count" FRAME_COUNT_SECONDS="$seconds" LD_PRELOAD="$counter" \
      start_program "$program" "$work"
  else
    start_program "$program" "$work"
  fi
  pid=$!
  window="$(wait_for_window Corvane "$first_frame_s")" || return 1
  read -r x y size < <(window_geometry "$window" | tr ',' ' ')
  for _ in $(seq $((first_frame_s * 20))); do
    import -display "$DISPLAY" -window root -crop "1x1+$((x + 240))+$((y + 240))" "$work/probe.png"
    if [[ "$(pixel "$work/probe.png" 0 0)" == "$cell" ]]; then
      times+=($(($(now_ms) - start)))
      return 0
    fi
  done
  return 1
}

stop_program() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  [[ "$platform" == windows ]] && wineserver -w
}

measure() {
  platform="$1" program="$2"
  work="$(mktemp -d)"
  cp "$assets/"{Kai_Orisa05.png,Velmo_Grid.png,TBX_Cursor.png} "$work/"
  # The end-to-end check's facts about each platform.
  source "$root/tests/e2e/$platform.sh"
  check_tools || return 1
  start_xvfb && prepare "$work" || { echo "$platform: could not prepare the run" >&2; return 1; }
  cd "$work"
  local i fps
  times=()
  for i in $(seq "$starts"); do
    first_frame || { echo "$platform: no first frame" >&2; return 1; }
    if ((i < starts)); then stop_program; fi
  done
  sleep $((seconds + 2))
  stop_program
  case "$platform" in
    # The counter ends the program after its seconds of frames: "frames seconds ms".
    linux) fps="$(awk '{printf "%.1f", $1 / $2}' "$work/count")" ;;
    windows) fps="$(sed -n 's/.*trace:fps:.*approx \([0-9.]*\)fps.*/\1/p' "$work/stderr.txt" | tail -n +3 | median)" ;;
  esac
  printf '%-8s start to first frame: %s ms (median of %s: %s); frames presented: %s per second (over %s s)\n' \
    "$platform" "$(printf '%s\n' "${times[@]}" | median)" "$starts" "${times[*]}" "$fps" "$seconds"
  cd "$root"
  stop_xvfb
  rm -rf "$work"
}

measure linux "$linux_program"
measure windows "$windows_program"
