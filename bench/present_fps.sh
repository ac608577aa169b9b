#!/usr/bin/env bash
# Frames per second of the real program, windowed in a private Xvfb, against SDL2's
# own software renderer drawing the same scene into a window of the same size in the
# same Xvfb; each is run ROUNDS times, alternating, for SECONDS of frames. With each,
# the processor time a frame of the program and of the X server: on a shared machine
# the frame rate follows the load, these much less. Also in the same run: the time from launch to the first frame, the device's present cost (clear
# and present a 640 x 480 frame minus clear alone, on a shown window), and the
# rasteriser's frame against both floors in bench_raster_frame.
# Not a test: figures depend on the machine and its load.
#
# Usage: bench/present_fps.sh [build dir] [earlier build dir]
#   The build dir (default build/) needs the program and the benchmarks; an earlier
#   build of the same targets, when given, is measured alongside for comparison.
#   SECONDS_PER_RUN (default 5), ROUNDS (default 3), XVFB_SCREEN as scripts/lib/xvfb.sh.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build}")"
earlier="${2:+$(realpath "$2")}"
seconds="${SECONDS_PER_RUN:-5}"
rounds="${ROUNDS:-3}"
source "$root/bench/lib/program_stage.sh"

counter="$build/bench/present/libframe_counter.so"
require_built "$build/src/app/corvane" "$build/bench/present/sdl_software_scene" "$counter" \
              "$build/bench/d3d9/bench_device_present" "$build/bench/d3d9/bench_raster_frame"
start_program_stage

# Prints "frames/s first-frame-ms program-us server-us" for one counted run of a
# program in $work, the last two a frame. The server's time counts from the launch.
counted_run() {
  local out="$work/count" server
  rm -f "$out"
  server="$(cpu_ticks "$XVFB_PID")"
  (cd "$work" && FRAME_COUNT_OUT="$out" FRAME_COUNT_SECONDS="$seconds" \
     FRAME_COUNT_LAUNCHED="$(date +%s.%N)" LD_PRELOAD="$counter" timeout $((seconds + 30)) "$@" \
     >/dev/null 2>&1) || true
  [[ -s "$out" ]] || { echo "0 0 0 0"; return; }
  awk -v server=$(($(cpu_ticks "$XVFB_PID") - server)) -v hz="$(getconf CLK_TCK)" \
    '{printf "%.1f %.1f %.1f %.1f\n", $1 / $2, $3, $4 / $1 * 1e6, server / hz / $1 * 1e6}' "$out"
}

declare -A fps first cpu server
programs=(program sdl_software)
[[ -n "$earlier" ]] && programs+=(earlier_program)
command_of() {
  case "$1" in
    program) echo "$build/src/app/corvane" ;;
    earlier_program) echo "$earlier/src/app/corvane" ;;
    sdl_software) echo "$build/bench/present/sdl_software_scene" ;;
  esac
}
for round in $(seq "$rounds"); do
  for name in "${programs[@]}"; do
    read -r rate ms program_us server_us < <(counted_run "$(command_of "$name")")
    fps[$name]+="$rate "
    first[$name]+="$ms "
    cpu[$name]+="$program_us "
    server[$name]+="$server_us "
    echo "round $round: $name $rate frames/s, first frame after $ms ms," \
      "$program_us us + X server $server_us us of processor a frame"
  done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo
echo "windowed 640 x 480 on ${XVFB_SCREEN:-1024x768x24}, $seconds s a run, median of $rounds:"
for name in "${programs[@]}"; do
  printf '  %-16s %8s frames/s   first frame after %s ms   processor a frame %s us + X server %s us\n' \
    "$name" "$(median <<<"${fps[$name]}")" "$(median <<<"${first[$name]}")" \
    "$(median <<<"${cpu[$name]}")" "$(median <<<"${server[$name]}")"
done
awk -v a="$(median <<<"${fps[program]}")" -v b="$(median <<<"${fps[sdl_software]}")" \
  'BEGIN {printf "  program / sdl_software = %.2f\n", (b > 0 ? a / b : 0)}'

# Present cost per frame: clear and present less clear alone, medians of three
# repetitions; wall time includes the X server's side of the copy.
present_cost() {
  "$1/bench/d3d9/bench_device_present" --benchmark_filter='ClearOnly|ClearAndPresent/640' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median"/ {gsub(/"/, "", $1); real[$1] = $3 / 1e3; cpu[$1] = $4 / 1e3} END {
      c = "ClearOnly_median"; p = "ClearAndPresent/640_median"
      printf "present %.1f us wall, %.1f us CPU (clear %.1f us wall)\n",
        real[p] - real[c], cpu[p] - cpu[c], real[c]}'
}
echo
echo "device present cost on the shown window:"
echo "  this build:    $(present_cost "$build")"
[[ -n "$earlier" ]] && echo "  earlier build: $(present_cost "$earlier")"

echo
# Repetitions interleaved at random, so that the frame and the floors see the same load.
echo "render only, the program's frame against the floors (CPU time, medians of 9):"
SDL_VIDEODRIVER=dummy "$build/bench/d3d9/bench_raster_frame" \
  --benchmark_filter='RasterFrame_Automatic|Floor' --benchmark_repetitions=9 \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"/ {gsub(/"/, "", $1); sub(/_median$/, "", $1); t[$1] = $4} END {
    frame = t["BM_RasterFrame_Automatic"]
    printf "  frame %.1f us\n", frame
    for (floor in t) if (floor ~ /Floor/)
      printf "  %-32s %.1f us, frame / floor = %.2f\n", floor, t[floor], frame / t[floor]}'
