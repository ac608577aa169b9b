# The Windows exe's side of the end-to-end run under Wine (sourced, not run); linux.sh
# has the same names and says what they are.
# glyph_cell: the Gothic face Wine substitutes is wider.
# texel_slack: Wine on Mesa's llvmpipe, where a texel's edge falls exactly on a
# pixel centre, takes the texel left of or above it (the picture moves at most one
# pixel right and down), and rounds blended pixels one unit either way.
# exact_glyphs 0: Wine rasterises the glyphs itself, so the quads are exempt.
glyph_cell=54,44
first_frame_s=40
texel_slack=-1,-1,1
exact_glyphs=0

check_tools() {
  local tool
  for tool in Xvfb xdotool wine wineserver twm xrandr; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; return 1; }
  done
}

prepare() {
  export WINEPREFIX="${CORVANE_WINEPREFIX:-$1/wineprefix}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Without a window manager Wine waits in DestroyWindow; twm places windows where
  # the program asks, without title bars or borders.
  printf 'NoTitle\nBorderWidth 0\nRandomPlacement\nUsePPosition "on"\n' >"$1/twmrc"
  twm -f "$1/twmrc" >/dev/null 2>&1 &
  # Full screen switches the display to 640 x 480, a mode plain Xvfb lacks; Wine
  # reads the modes when its server starts.
  xrandr --newmode 640x480 25.18 640 656 752 800 480 490 492 525 -hsync -vsync &&
    xrandr --addmode screen 640x480 || return 1
  WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || return 1
  # Wine has no "MS Gothic": the same Gothic face as the Linux layer stands in.
  WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
    /v 'MS Gothic' /d IPAGothic /f >/dev/null 2>&1
}

# Wine's fps channel reports the frame rate at a present once 1.5 s have passed
# since its last report.
start_program() {
  WINEDEBUG="-all,warn+seh,trace+fps" wine "$1" 2>"$2/stderr.txt" &
}

# Reports of presented frames so far: each new one means a frame was shown since the
# one before.
frames_shown() { grep -c 'trace:fps:' "$1/stderr.txt" || true; }

# Wine logs each OutputDebugString call as one escaped string on standard error.
debug_lines() {
  perl -ne 'next unless /:OutputDebugStringA "(.*)"$/;
    my $s = $1;
    $s =~ s/\\(n|r|t|\\|"|[0-7]{3})/$1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1 eq "t" ? "\t" : length($1) == 3 ? chr(oct($1)) : $1/ge;
    print $s' "$1/stderr.txt"
}

present_path_problem() { :; }

# Full screen switches the display mode to the back buffer's 640 x 480, which the
# frame fills 1:1.
full_screen_shot() {
  for _ in $(seq 100); do
    [[ "$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')" == 640x480 ]] && break
    sleep 0.1
  done
  import -display "$DISPLAY" -window root "$1/full.png"
  echo "$1/full.png"
}
full_screen_layout() { :; }
