# Shared by the tools: paths, the build, and a display with a Wine server.
# Source it; it defines functions and variables only.
TARVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TARVO_HOST_BUILD=${TARVO_HOST_BUILD:-$TARVO_ROOT/build/host}
TARVO_WIN_BUILD=${TARVO_WIN_BUILD:-$TARVO_ROOT/build/win}
TARVO_JOBS=${TARVO_JOBS:-$(nproc)}

tarvo_build_host() {
  cmake -S "$TARVO_ROOT" -B "$TARVO_HOST_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build "$TARVO_HOST_BUILD" -j"$TARVO_JOBS"
}

tarvo_build_win() {
  cmake -S "$TARVO_ROOT" -B "$TARVO_WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TARVO_ROOT/cmake/mingw-w64.cmake" >/dev/null &&
  cmake --build "$TARVO_WIN_BUILD" -j"$TARVO_JOBS"
}

# Starts Xvfb on a free display (unless TARVO_KEEP_DISPLAY=1 and DISPLAY is
# set) and exports DISPLAY; the process id goes to TARVO_XVFB_PID.
tarvo_start_xvfb() {
  if [ "${TARVO_KEEP_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  TARVO_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# One persistent wineserver for the run, so each program starts in ~0.1 s.
tarvo_start_wine() {
  export WINEPREFIX=${1:-$TARVO_WIN_BUILD/wineprefix}
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" WINEARCH=win64
  "$TARVO_ROOT/cmake/wine-prefix" "$WINEPREFIX"
  wineserver -p
}

tarvo_stop() {
  [ -n "${WINEPREFIX:-}" ] && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
  [ -n "${TARVO_XVFB_PID:-}" ] && kill "$TARVO_XVFB_PID" 2>/dev/null
  true
}

# Geometry (WxH+X+Y) of the largest mapped window of a program on $DISPLAY.
tarvo_window_geometry() {
  local exe=${1:-tarvo.exe} id geometry best=0 result=""
  while read -r id geometry; do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    local w=${geometry%%x*} rest=${geometry#*x}
    local h=${rest%%+*}
    if [ $((w * h)) -gt "$best" ]; then best=$((w * h)); result=$geometry; fi
  done < <(xwininfo -root -tree 2>/dev/null | grep -i "\"$exe\"" |
           sed -nE 's/^ *(0x[0-9a-f]+) .* ([0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+) .*/\1 \2/p')
  [ "$best" -gt 100 ] && echo "$result"
}
