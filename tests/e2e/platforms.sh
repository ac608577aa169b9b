# What differs between running the Linux binary and the Windows exe under Wine, all
# of it in one place (sourced, not run). select_platform linux|windows sets these
# for $program, run in $work; expect_full_screen uses program_test.sh's helpers.
# texel_slack    how far (in texels) a board pixel may sit from its place in the
#                composited images: the Linux rasteriser is exact; Wine on Mesa's
#                llvmpipe picks the neighbouring texel at exact texel boundaries.
# glyph_width    the width of one character cell of the frame-rate text
#                (tmMaxCharWidth of the Gothic face each platform substitutes).
# first_frame_s  how long the first frame may take to appear.
# prepare        what the run needs before the program starts.
# start_program  starts it in the background with its standard error in a file.
# debug_lines    the debugger output, as the program wrote it.
# expect_full_screen  what the screen shows after the first Enter.
select_platform() {
  case "$1" in
    linux)
      texel_slack=0
      glyph_width=40
      first_frame_s=10
      for tool in Xvfb xdotool; do
        if ! command -v "$tool" >/dev/null 2>&1; then
          echo "SKIP: $tool is not installed"
          return 77
        fi
      done
      prepare() { :; }
      start_program() {
        "$program" 2>"$work/stderr.txt" &
        pid=$!
      }
      debug_lines() { cat "$work/stderr.txt"; }
      # The desktop keeps its mode (XVFB_SCREEN) and the frame is scaled by the
      # largest factor that fits it, centred between black bars, nearest-neighbour.
      # Every screen pixel is compared with the last windowed frame: black outside
      # the picture, inside it the frame pixel whose area holds the screen pixel's
      # centre. Where that centre falls exactly on a border between two frame pixels
      # either is as near, so those rows and columns are left out; so is the
      # frame-rate text.
      expect_full_screen() {
        local shot screen screen_w screen_h picture_w picture_h left top mismatches
        shot="$(screen_picture full)"
        screen="${XVFB_SCREEN:-1024x768x24}"
        screen="${screen%x*}"
        expect_size "full screen" "$shot" "$screen"
        screen_w="${screen%x*}" screen_h="${screen#*x}"
        if ((screen_w * 480 <= screen_h * 640)); then
          picture_w=$screen_w picture_h=$((screen_w * 480 / 640))
        else
          picture_w=$((screen_h * 640 / 480)) picture_h=$screen_h
        fi
        ((picture_w * 480 == picture_h * 640)) || fail "no whole-pixel 4:3 picture fits $screen"
        left=$(((screen_w - picture_w) / 2)) top=$(((screen_h - picture_h) / 2))
        mismatches="$(
          { convert "$work/walked.png" -depth 8 txt:-; echo "--"; convert "$shot" -depth 8 txt:-; } |
          awk -v L="$left" -v T="$top" -v W="$picture_w" -v H="$picture_h" -F '[,: ()]+' '
            /^#/ {next}
            $0 == "--" {screen = 1; next}
            !screen {pixel[$1 "," $2] = $3 "," $4 "," $5; next}
            {
              x = $1 - L; y = $2 - T; rgb = $3 "," $4 "," $5
              if (x < 0 || y < 0 || x >= W || y >= H) {
                if (rgb != "0,0,0") bad++
                next
              }
              if (((2 * x + 1) * 640) % (2 * W) == 0 || ((2 * y + 1) * 480) % (2 * H) == 0) next
              sx = int((2 * x + 1) * 640 / (2 * W)); sy = int((2 * y + 1) * 480 / (2 * H))
              if (sy >= 48 && rgb != pixel[sx "," sy]) bad++
            }
            END {print bad + 0}')"
        [[ "$mismatches" == 0 ]] || fail "full screen on $screen: $mismatches pixels not where the scaling puts them"
      }
      ;;
    windows)
      texel_slack=1
      glyph_width=54
      first_frame_s=40
      for tool in Xvfb xdotool wine wineserver twm xrandr; do
        command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; return 1; }
      done
      export WINEPREFIX="${CORVANE_WINEPREFIX:-$work/wineprefix}"
      export WINEDLLOVERRIDES="mscoree,mshtml="
      prepare() {
        # Without a window manager Wine waits in DestroyWindow; twm places windows
        # where the program asks, without title bars or borders.
        printf 'NoTitle\nBorderWidth 0\nRandomPlacement\nUsePPosition "on"\n' >"$work/twmrc"
        twm -f "$work/twmrc" >/dev/null 2>&1 &
        # Full screen switches the display to 640 x 480, a mode plain Xvfb lacks; Wine
        # reads the modes when its server starts.
        xrandr --newmode 640x480 25.18 640 656 752 800 480 490 492 525 -hsync -vsync &&
          xrandr --addmode screen 640x480 || return 1
        WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || return 1
        # Wine has no "MS Gothic": the same Gothic face as the Linux layer stands in.
        WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
          /v 'MS Gothic' /d IPAGothic /f >/dev/null 2>&1
      }
      # WINE_CHANNELS adds Wine debug channels (the benchmark reads +fps).
      start_program() {
        WINEDEBUG="-all,warn+seh${WINE_CHANNELS:+,$WINE_CHANNELS}" wine "$program" 2>"$work/stderr.txt" &
        pid=$!
      }
      # Wine logs each OutputDebugString call as one escaped string on standard error.
      debug_lines() {
        perl -ne 'next unless /:OutputDebugStringA "(.*)"$/;
          my $s = $1;
          $s =~ s/\\(n|r|t|\\|"|[0-7]{3})/$1 eq "n" ? "\n" : $1 eq "r" ? "\r" : $1 eq "t" ? "\t" : length($1) == 3 ? chr(oct($1)) : $1/ge;
          print $s' "$work/stderr.txt"
      }
      # Full screen switches the display mode to the back buffer's 640 x 480.
      expect_full_screen() {
        for _ in $(seq 100); do
          [[ "$(screen_size)" == 640x480 ]] && break
          sleep 0.1
        done
        expect_size "full screen" "$(screen_picture full)" 640x480
        expect_frame "full screen" "screen_picture full" 2 0 6 1
      }
      ;;
    *)
      echo "unknown platform '$1' (linux or windows)" >&2
      return 2
      ;;
  esac
}
