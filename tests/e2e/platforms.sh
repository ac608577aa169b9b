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
      # The desktop keeps its 1024 x 768 mode and the frame is stretched over it, 1.6
      # times as large; texel 34 of a cell sits in a plain patch, so the stretch's
      # rounding cannot reach another colour.
      expect_full_screen() {
        local shot col
        shot="$(screen_picture full)"
        expect_size "full screen" "$shot" 1024x768
        scaled() { echo $(($1 * 8 / 5)) $(($2 * 8 / 5)); }
        for col in 0 1 3 4 5 6; do
          expect_pixel "full screen, cell ($col, 3)" "$shot" \
            $(scaled $(($(corner "$col") + 34)) $(($(corner 3) + 34))) "$(pixel "$assets/Velmo_Grid.png" 34 34)"
        done
        expect_pixel "full screen, piece" "$shot" $(scaled $(($(corner 2) + 32)) $(($(corner 0) + 32))) \
          "$(pixel "$assets/Kai_Orisa05.png" 32 32)"
        expect_pixel "full screen, off the board" "$shot" $(scaled 560 300) "$background"
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
