# The Linux binary's side of the end-to-end run (sourced, not run); windows.sh has the
# same names for the Windows exe under Wine. Defines:
# glyph_cell     "width,height" of a frame-rate character cell (the Gothic face's
#                tmMaxCharWidth and tmHeight).
# first_frame_s  how long the first frame may take to appear.
# texel_slack    "dx,dy,t": a pixel may show the frame's pixel dx and/or dy over, and
#                be off by t in each channel; none, the rasteriser is exact.
# exact_glyphs   1: the digits are the atlas cells blended exactly as the device does.
# check_tools, prepare WORK, start_program PROGRAM WORK (in the background: $! is
# its id), frames_shown WORK, debug_lines WORK, present_path_problem WORK,
# full_screen_shot WORK and full_screen_layout SHOT (frame_compare's options).
glyph_cell=40,44
first_frame_s=10
texel_slack=0,0,0
exact_glyphs=1

check_tools() {
  local tool
  for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; return 77; }
  done
}

prepare() { :; }

start_program() {
  CORVANE_PRESENT_REPORT="$2/presents" "$1" 2>"$2/stderr.txt" &
}

# Frames presented so far, from the program's own report.
frames_shown() {
  local count=0
  [[ -s "$1/presents" ]] && read -r count _ <"$1/presents"
  echo "${count:-0}"
}

# The debugger output: standard error, exactly as written, without the lines that
# name the present path.
debug_lines() { grep -v '^corvane: frames go through the ' "$1/stderr.txt"; }

# Every frame through the path asked for (CORVANE_PRESENT, the window surface
# without it): the program names the path each time it changes.
present_path_problem() {
  local paths
  paths="$(sed -n 's/^corvane: frames go through the \(.*\) path$/\1/p' "$1/stderr.txt" | tr '\n' ' ')"
  [[ "$paths" == "${CORVANE_PRESENT:-surface} " ]] ||
    echo "frames went through: ${paths:-nothing named}, expected ${CORVANE_PRESENT:-surface} alone"
}

# The screen after the first Enter: the desktop keeps its mode (XVFB_SCREEN).
full_screen_shot() {
  import -display "$DISPLAY" -window root "$1/full.png"
  echo "$1/full.png"
}

# How the frame lies on that screen: scaled by the largest factor that fits, centred
# between black bars, nearest-neighbour; SDL's own stretch on the window surface,
# and on the GPU a screen pixel whose centre lies exactly between two frame pixels
# may show either.
full_screen_layout() {
  local screen screen_w screen_h w h rule=surface
  screen="$(convert "$1" -format '%w,%h' info:)"
  screen_w="${screen%,*}" screen_h="${screen#*,}"
  if ((screen_w * 480 <= screen_h * 640)); then
    w=$screen_w h=$((screen_w * 480 / 640))
  else
    w=$((screen_h * 640 / 480)) h=$screen_h
  fi
  [[ "${CORVANE_PRESENT:-}" == gpu ]] && rule=gpu
  echo "--scaled $(((screen_w - w) / 2)),$(((screen_h - h) / 2)),$w,$h,$rule"
}
