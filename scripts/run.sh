#!/usr/bin/env bash
# Builds Sizewise and runs it; without a display it runs on a private virtual desktop with a sample
# window, saves a screenshot and shuts everything down again.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh

if [[ -n ${DISPLAY:-} ]]; then
  exec build/sizewise "$@"
fi

work=$(mktemp -d /tmp/sizewise-run.XXXXXX)
pids=()

cleanup() {
  local pid
  # Newest first, so clients go before the window manager and the X server they depend on.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Polls instead of sleeping a fixed time: a cold start on a loaded machine can be slow.
wait_for() {
  local what=$1 tries=$2
  shift 2
  while ! "$@" >/dev/null 2>&1; do
    if ((--tries <= 0)); then
      echo "run: timed out waiting for $what" >&2
      return 1
    fi
    sleep 0.1
  done
}

# -displayfd lets the server pick a free display number itself. It can pick a number whose lock
# file is gone while another server still listens there; its log then says so and it is retried.
for attempt in 1 2 3 4 5; do
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  wait_for "the X server" 100 grep -q '[0-9]' "$work/display"
  if ! grep -q 'already running' "$work/xvfb.log"; then
    break
  fi
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  if ((attempt == 5)); then
    echo "run: Xvfb found no free display" >&2
    exit 1
  fi
done
pids+=("$xvfb")
DISPLAY=":$(tr -dc '0-9' <"$work/display")"
export DISPLAY
# Right after it reports ready a loaded server can still refuse a first client now and then.
wait_for "the X server to answer" 100 xprop -root -len 0
unset WAYLAND_DISPLAY
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
echo "run: private desktop on $DISPLAY"

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for "the window manager" 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

cat >"$work/tint2rc" <<'TINT2'
panel_items = S
panel_position = bottom right horizontal
panel_size = 60 30
panel_background_id = 0
systray_padding = 4 4 4
systray_icon_size = 22
TINT2
tint2 -c "$work/tint2rc" >"$work/tint2.log" 2>&1 &
pids+=($!)

client=build/tests/tools/sizewise_testclient
if [[ -x $client ]]; then
  "$client" --title "Sample window" --geometry 640x400+200+150 >"$work/client.out" 2>&1 &
else
  echo "run: $client is missing, using xterm as the sample window"
  xterm -title "Sample window" -geometry 80x24+200+150 >"$work/client.out" 2>&1 &
fi
pids+=($!)
wait_for "the sample window" 100 xdotool search --name '^Sample window$'
sample=$(xdotool search --name '^Sample window$' | head -n 1)

build/sizewise 2>"$work/sizewise.err" &
sizewise=$!
pids+=("$sizewise")

sleep 1
xdotool windowactivate --sync "$sample"
sleep 3

mkdir -p out
/usr/bin/import -window root out/sizewise-screenshot.png
echo "$PWD/out/sizewise-screenshot.png"

kill -TERM "$sizewise"
status=0
wait "$sizewise" || status=$?
unset 'pids[-1]'
if [[ -s $work/sizewise.err ]]; then
  echo "run: sizewise wrote on stderr:" >&2
  cat "$work/sizewise.err" >&2
fi
if ((status != 0)); then
  echo "run: sizewise exited with status $status after SIGTERM" >&2
  exit 1
fi
echo "run: sizewise exited with status 0"
