#!/usr/bin/env bash
# The real window program under Xvfb: it starts with its title (as the window manager
# reads it, with nothing appended) and a 510 x 478 client area, a click on Start plays the virtual sound card's input into its output
# file, and closing the window (the window manager's close request) ends the program
# with status 0; so does the tool window of the argument "1", and SIGTERM. --help and
# --version answer.
set -euo pipefail
program=$1
for tool in Xvfb xdotool xprop python3; do
  command -v "$tool" >/dev/null || { echo "window smoke test: $tool is missing (scripts/setup installs it)"; exit 1; }
done
# --help and --version answer on the terminal without a display.
"$program" --version | grep -q '^fretwerk [0-9]' || { echo "fretwerk --version did not answer"; exit 1; }
"$program" --help | grep -q '^Usage: fretwerk' || { echo "fretwerk --help did not answer"; exit 1; }
work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
# Sanitizer builds: what Qt and its libraries keep until exit, or synchronise inside.
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="${LSAN_OPTIONS:-} suppressions=$here/lsan.supp"
export TSAN_OPTIONS="${TSAN_OPTIONS:-} suppressions=$here/tsan.supp"

# What a window manager sends when the close button is pressed (Xvfb runs none).
close_window() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
window = int(sys.argv[1])
event = ClientMessage(type=33, display=display, window=window, format=32,
                      message_type=x.XInternAtom(display, b"WM_PROTOCOLS", 0))
event.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.data[1] = 0  # CurrentTime
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
PY
}

# Waits for the program to end by itself; its status, or a failure after 20 seconds.
wait_for_end() {
  for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app" 2>/dev/null; then
    echo "window smoke test: the program did not end after the window was closed ($1)"; cat "$work/log"; exit 1
  fi
  status=0
  wait "$app" || status=$?
  app=""
  if [ "$status" != 0 ]; then
    echo "window smoke test: exit status $status ($1)"; cat "$work/log"; exit 1
  fi
}

python3 - "$work/in.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / 22050))) for i in range(22050)))
PY

# Two arguments: a normal start that opens no help page.
FRETWERK_AUDIO=virtual FRETWERK_VIRTUAL_IN="$work/in.wav" FRETWERK_VIRTUAL_OUT="$work/out.wav" \
  "$program" smoke test >"$work/log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --name '^Fretwerk 2\.18$' | head -n 1)
title=$(xprop -id "$window" _NET_WM_NAME)
if [ "$title" != '_NET_WM_NAME(UTF8_STRING) = "Fretwerk 2.18"' ]; then
  echo "window smoke test: the window manager reads $title"; exit 1
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$WIDTH" != 510 ] || [ "$HEIGHT" != 478 ]; then
  echo "window smoke test: client area ${WIDTH} x ${HEIGHT}, expected 510 x 478"; exit 1
fi
sleep 1
# "Start" on the "REALTIME" page, where the window opens.
xdotool mousemove --window "$window" 130 97 click 1
sleep 3
close_window "$window"
wait_for_end "normal start"
python3 - "$work/out.wav" <<'PY'
import struct, sys
# The card writes 16-bit PCM in a WAVE_FORMAT_EXTENSIBLE header (RF64-ready), which
# Python's wave module refuses: read the data chunk directly.
raw = open(sys.argv[1], "rb").read()
pos, data = 12, b""
while pos + 8 <= len(raw):
    tag, size = raw[pos:pos + 4], struct.unpack("<I", raw[pos + 4:pos + 8])[0]
    if tag == b"data":
        data = raw[pos + 8:pos + 8 + size]
        break
    pos += 8 + size + (size & 1)
data = data[: len(data) // 2 * 2]
peak = max((abs(v) for (v,) in struct.iter_unpack("<h", data)), default=0)
if peak < 500:
    sys.exit("window smoke test: the output file is silent (peak %d)" % peak)
print("window smoke test: %d frames, peak %d" % (len(data) // 4, peak))
PY

# "1": a tool window (no task-bar button) that still ends the program when closed.
FRETWERK_AUDIO=virtual "$program" 1 >"$work/log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --name '^Fretwerk 2\.18$' | head -n 1)
sleep 1
close_window "$window"
wait_for_end "argument 1"

# SIGTERM ends a session as the close button does: the recording of the output
# file is finished and the status is 0.
FRETWERK_AUDIO=virtual FRETWERK_VIRTUAL_IN="$work/in.wav" FRETWERK_VIRTUAL_OUT="$work/term.wav" \
  "$program" smoke test >"$work/log" 2>&1 &
app=$!
window=$(timeout 30 xdotool search --sync --name '^Fretwerk 2\.18$' | head -n 1)
sleep 1
xdotool mousemove --window "$window" 130 97 click 1
sleep 2
kill -TERM "$app"
wait_for_end "SIGTERM"
python3 - "$work/term.wav" <<'PY'
import struct, sys
raw = open(sys.argv[1], "rb").read()
pos = 12
while pos + 8 <= len(raw):
    tag, size = raw[pos:pos + 4], struct.unpack("<I", raw[pos + 4:pos + 8])[0]
    if tag == b"data":
        sys.exit(0 if size > 0 else "window smoke test: " + sys.argv[1] + " is empty after SIGTERM")
    pos += 8 + size + (size & 1)
sys.exit("window smoke test: " + sys.argv[1] + " has no data after SIGTERM")
PY
