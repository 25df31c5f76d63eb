#!/usr/bin/env bash
# Replay figures of the real player under Xvfb (run from the repository root
# with a built preset): bench/player-replay.sh [debug|release] [seconds]
#  - replay cost: a 1920x1080, 16-bit, 10 pictures a second capture with GSM
#    sound, a camera picture and annotations played for SECONDS (default 20)
#    without a pause; the player
#    process's CPU time (user + system, from /proc) per second of replay;
#  - record to screen: for every screen record, the replay time at which its
#    pixels were handed to the display less its record time (the player's
#    frame trace, OLVANE_FRAME_TRACE);
#  - start to first picture: from starting `olvane PlayDemo1.zeph` (640x400)
#    to its first picture on the display, the median of 7 starts.
set -euo pipefail
preset=${1:-release}
seconds=${2:-20}
bin=$(cd "build/$preset/bin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The demo session holds replay at a timed pause mark a quarter of the way in
# (its second chapter): the replay starts a second past it, so every measured
# second is a second of playing.
length=$(( seconds < 10 ? 20 : 2 * seconds ))
start=$(( length / 4 + 1 ))
"$bin/olvane-mkcapture" demo "$work/big.zeph" --size 1920x1080 --bits 16 --sound gsm \
  --seconds "$length" --fps 10 --quiet
cat > "$work/run.sh" <<EOS
#!/usr/bin/env bash
set -euo pipefail
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
# The player's recent files and resume places go to folders of this run, not the user's.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
ticks=\$(getconf CLK_TCK)
# Replay cost and record-to-screen delay.
OLVANE_FRAME_TRACE="$work/replay.trace" "$bin/olvane" --start $start "$work/big.zeph" &
pid=\$!
sleep $seconds
read -r -a stat < /proc/\$pid/stat
cpu=\$(( stat[13] + stat[14] ))
kill -TERM \$pid; wait \$pid 2>/dev/null || true
awk -v c=\$cpu -v t=\$ticks -v s=$seconds 'BEGIN { printf "replay_1080p_cpu_seconds %.2f\nreplay_seconds %d\nreplay_share_of_one_core_percent %.1f\n", c/t, s, 100*c/t/s }'
grep -v first_picture "$work/replay.trace"
# Start to first picture, 7 starts of the 640x400 demo clip.
for i in 1 2 3 4 5 6 7; do
  start=\$(date +%s%N)
  OLVANE_FRAME_TRACE="$work/start.trace" "$bin/olvane" "$bin/PlayDemo1.zeph" &
  pid=\$!
  sleep 2
  kill -TERM \$pid; wait \$pid 2>/dev/null || true
  first=\$(awk '/first_picture_unix_ns/ { print \$2 }' "$work/start.trace")
  echo \$(( (first - start) / 1000000 ))
done | sort -n | awk '{ v[NR] = \$1 } END { printf "start_to_first_picture_ms_median %d\nstart_to_first_picture_ms_range %d-%d\n", v[4], v[1], v[7] }'
EOS
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1920x1200x24" "$work/run.sh"
