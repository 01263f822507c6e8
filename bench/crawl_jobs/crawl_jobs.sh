#!/usr/bin/env bash
# Times a crawl of 2,000 local pages over 20 sites (site_server.py) with --jobs 1 and with
# --jobs 4, and prints both times and their ratio. The pages are walked at INTERVAL_MS
# (default 100) with links followed to any depth, 100 pages a site.
#   bench/crawl_jobs/crawl_jobs.sh BUILD [JOBS]
set -euo pipefail
build=${1:?usage: crawl_jobs.sh BUILD [JOBS]}
jobs=${2:-4}
interval=${INTERVAL_MS:-100}
here=$(cd "$(dirname "$0")" && pwd)
exe=$(cd "$build" && pwd)/app/tolvarine
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

python3 "$here/site_server.py" > "$work/port" &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
for k in $(seq -w 1 20); do printf 'http://www.shop%s.com.cn:%s/\r\n' "$k" "$port"; done > "$work/list.txt"

run() {
  local n=$1 state="$work/state-$1"
  mkdir -p "$state"
  local start end
  start=$(date +%s.%N)
  QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=127.0.0.1:$port" \
    "$exe" harvest "$work/list.txt" --phones --dedup --depth 99 --max-pages 100 \
    --interval-ms "$interval" --no-online-check --state "$state" --jobs "$n" \
    --phones-out "$work/phones-$n.txt" 2> "$work/err-$n.txt"
  end=$(date +%s.%N)
  local seconds
  seconds=$(python3 -c "print(round($end - $start, 1))")
  echo "--jobs $n: $(wc -l < "$work/phones-$n.txt") numbers in $seconds s" >&2
  echo "$seconds"
}

one=$(run 1)
many=$(run "$jobs")
echo "ratio --jobs $jobs / --jobs 1: $(python3 -c "print(round($many / $one, 3))")"
