# Shell functions for a private virtual X server (sourced, not run).

# Starts Xvfb on a display nobody uses; exports DISPLAY and sets XVFB_PID. The
# screen is XVFB_SCREEN (WIDTHxHEIGHTxDEPTH), 1024x768x24 unless set.
start_xvfb() {
  local display_file number
  display_file="$(mktemp)"
  # -noreset: modes added with xrandr would go with the last client otherwise.
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [[ -s "$display_file" ]] && break
    sleep 0.1
  done
  number="$(head -n 1 "$display_file" | tr -d '[:space:]')"
  rm -f "$display_file"
  if [[ -z "$number" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    return 1
  fi
  export DISPLAY=":$number"
}

stop_xvfb() {
  if [[ -n "${XVFB_PID:-}" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

# Waits until a window with exactly this title is mapped (at most the given
# seconds, default 10); prints its id.
wait_for_window() {
  local title="$1" seconds="${2:-10}" id=""
  for _ in $(seq $((seconds * 10))); do
    id="$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)" || true
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# A real key press, delivered to the given window.
press_key() {
  local window="$1" key="$2"
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key --clearmodifiers "$key"
}

# The window's client area on the screen, "x,y WIDTHxHEIGHT".
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x "," y " " w "x" h}'
}

# "r,g,b" of one pixel of an image file.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}
