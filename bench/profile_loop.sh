#!/usr/bin/env bash
# Where the real program's frame time goes: runs it windowed in a private Xvfb under
# `perf record` (CPU clock, DWARF call stacks) for SECONDS_PER_RUN of frames and puts
# each sample in one stage of the loop by the calls on its stack. Also prints the wall
# time a frame, the program's CPU time a frame and the X server's (its copy of the
# shared-memory image), so that the time spent waiting on neither shows.
# Not a test: figures depend on the machine and its load.
#
# Usage: bench/profile_loop.sh [build dir]   (needs perf: Debian's linux-perf)
#   SECONDS_PER_RUN (default 10), XVFB_SCREEN as scripts/lib/xvfb.sh.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build}")"
seconds="${SECONDS_PER_RUN:-10}"
rate=2000
source "$root/bench/lib/program_stage.sh"
require_built "$build/src/app/corvane" "$build/bench/present/libframe_counter.so"
command -v perf >/dev/null || { echo "perf is missing (apt-get install linux-perf)" >&2; exit 1; }
start_program_stage

server_before="$(cpu_ticks "$XVFB_PID")"
(cd "$work" && FRAME_COUNT_OUT="$work/count" FRAME_COUNT_SECONDS="$seconds" \
   LD_PRELOAD="$build/bench/present/libframe_counter.so" \
   perf record -q -e cpu-clock -F "$rate" --call-graph dwarf,16384 -o "$work/perf.data" -- \
   "$build/src/app/corvane" >/dev/null 2>&1) || true
server_ticks=$(($(cpu_ticks "$XVFB_PID") - server_before))
[[ -s "$work/count" ]] || { echo "the program showed no frames" >&2; exit 1; }
read -r frames wall _ <"$work/count"

# A sample's stage is the first rule whose call is anywhere on its stack; samples
# outside the loop (start-up, exit) count apart.
perf script -i "$work/perf.data" -F ip,sym --no-inline 2>/dev/null | awk \
  -v frames="$frames" -v wall="$wall" -v rate="$rate" \
  -v server="$server_ticks" -v hz="$(getconf CLK_TCK)" '
  BEGIN {
    n = split("raster::DrawPrimitive|ShmPresenter::BackPixels|Device::Clear|" \
              "ColorTiles::MaterialiseAll|Device::Present|" \
              "TextRenderer|FrameRateText|PeekMessage|BoardScene|SpriteBatch|Sprite::|Device::|" \
              "RunLoopTurn", call, "|")
    split("rasteriser: draw|present: taking the image back from the X server|rasteriser: clear|" \
          "rasteriser: cleared tiles written out at present|present: the put to the X server|text|text|PeekMessage and SDL event pumping|" \
          "scene and device calls|scene and device calls|scene and device calls|" \
          "scene and device calls|other in the loop", stage, "|")
  }
  function finish(   i) {
    if (stack == "") return
    total++
    for (i = 1; i <= n; i++) if (index(stack, call[i])) { seen[stage[i]]++; stack = ""; return }
    seen["outside the loop"]++
    stack = ""
  }
  /^$/ { finish(); next }
  { stack = stack " " $0 }
  END {
    finish()
    us = 1e6 / frames
    printf "%d frames in %.1f s: %.1f us a frame of wall time\n", frames, wall, wall * us
    looped = total - seen["outside the loop"]
    printf "program on CPU %.1f us a frame; X server %.1f us a frame\n", looped / rate * us,
      server / hz * us
    delete seen["outside the loop"]
    order = "sort -rn"
    for (name in seen)
      printf "  %5.1f%%  %6.1f us  %s\n", 100 * seen[name] / looped, seen[name] / rate * us, name | order
  }'
