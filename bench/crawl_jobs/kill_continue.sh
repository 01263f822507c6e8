#!/usr/bin/env bash
# Kills a --jobs crawl with SIGKILL at a given second, continues it, and compares the
# outputs with an uninterrupted crawl: numbers missing, numbers written twice, page-log
# records, and pages the server was asked for more than once.
#   kill_continue.sh BUILD JOBS KILL_AFTER_S [SITES] [extra harvest flags...]
# DEDUP= (empty) runs without --dedup.
set -euo pipefail
build=${1:?}; jobs=${2:?}; killAfter=${3:?}; sites=${4:-6}; shift $(($# < 4 ? $# : 4)); extra=("$@")
exe=$(cd "$build" && pwd)/app/tolvarine
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
SITE_LOG="$work/requests" python3 "$here/site_server.py" > "$work/port" &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
for k in $(seq -w 1 "$sites"); do printf 'http://www.shop%s.com.cn:%s/\r\n' "$k" "$port"; done > "$work/list.txt"
harvest() { # state out cont
  QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=127.0.0.1:$port" \
    "$exe" harvest "$work/list.txt" --phones ${DEDUP---dedup} --depth 99 --max-pages 60 \
    --interval-ms 100 --no-online-check --state "$1" --jobs "$jobs" --format csv \
    --phones-out "$work/$2.csv" --page-log "$work/$2-log.csv" $3 "${extra[@]}" 2>>"$work/$2.err"
}
mkdir -p "$work/s1" "$work/s2"
harvest "$work/s1" whole "" || true
: > "$work/requests"
set -m
harvest "$work/s2" killed "" & pid=$!
set +m
sleep "$killAfter"; kill -KILL -- -"$pid"; wait "$pid" 2>/dev/null || true
sleep 1
before=$(($(wc -l < "$work/killed.csv") - 1))
harvest "$work/s2" killed "--continue" || true
python3 - "$work" <<'PY'
import sys, csv, collections
w = sys.argv[1]
def nums(f):
    rows = list(csv.reader(open(f, encoding='gbk', newline='')))[1:]
    return [r[0] for r in rows if r]
whole, killed = nums(f"{w}/whole.csv"), nums(f"{w}/killed.csv")
c = collections.Counter(killed)
print("uninterrupted numbers", len(whole), "| after kill+continue", len(killed),
      "| missing", len(set(whole) - set(killed)), "| twice", sum(1 for v in c.values() if v > 1))
lw = sum(1 for _ in open(f"{w}/whole-log.csv", encoding='gbk')) - 1
lk = sum(1 for _ in open(f"{w}/killed-log.csv", encoding='gbk')) - 1
req = collections.Counter(l.strip() for l in open(f"{w}/requests"))
print("page log records", lw, "vs", lk, "| pages asked twice", sum(1 for v in req.values() if v > 1))
PY
echo "rows before the continue: $before"
