#!/usr/bin/env bash
# Replay cost of the real player under Xvfb: writes a 1920x1080 capture at 10
# pictures a second, plays it for SECONDS (default 20) and reports the
# process's CPU time per second of replay. Run from the repository root with
# a built preset: bench/player-replay.sh [debug|release] [seconds]
set -euo pipefail
preset=${1:-release}
seconds=${2:-20}
bin=build/$preset/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/olvane-mkcapture" demo "$work/big.zeph" --size 1920x1080 --bits 16 --sound gsm \
  --seconds $((seconds + 5)) --fps 10 --quiet
cat > "$work/run.sh" <<EOS
#!/usr/bin/env bash
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 "$bin/olvane" "$work/big.zeph" &
pid=\$!
sleep $seconds
read -r -a stat < /proc/\$pid/stat
ticks=\$(getconf CLK_TCK)
cpu=\$(( stat[13] + stat[14] ))
kill \$pid; wait \$pid 2>/dev/null || true
awk -v c=\$cpu -v t=\$ticks -v s=$seconds 'BEGIN { printf "cpu %.2f s in %d s of replay: %.1f %% of one core\n", c/t, s, 100*c/t/s }'
EOS
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1920x1200x24" "$work/run.sh"
