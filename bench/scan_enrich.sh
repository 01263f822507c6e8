#!/usr/bin/env bash
# Whole-process cost of --enrich in scan: 64 MiB of page-like GBK text with about 90,000
# mobile numbers, scanned with and without each number's place; the best of a few runs
# each. Needs only the tolvarine executable:
#   bench/scan_enrich.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?usage: bench/scan_enrich.sh BUILD_DIR [RUNS]}
runs=${2:-5}
exe=$build/app/tolvarine
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus=$work/pages.txt

# About 740 bytes of text a number, numbers spread over all blocks of 13x, 15x and 18x.
python3 - "$corpus" <<'PY'
import random, sys
random.seed(7)
filler = ("联系我们 地址 电话 价格面议 欢迎来电 本店经营各类产品 ".encode("gbk") +
          b"<a href=\"/item/2024-05-06.html\">more</a> ")
out, size = [], 0
while size < 64 << 20:
    line = filler * 8 + b" tel:" + (random.choice("13 15 18".split()) +
                                    "%09d" % random.randrange(10**9)).encode() + b"\r\n"
    out.append(line)
    size += len(line)
open(sys.argv[1], "wb").write(b"".join(out)[: 64 << 20])
PY

# The best wall time and the best processor time (user + system) of the runs, in
# seconds: on a busy machine the wall time waits for the processor, the processor time less.
best() {
  local wall cpu t u k TIMEFORMAT='%R %U %S'
  for ((i = 0; i < runs; i++)); do
    read -r t u k < <({ time "$exe" scan "$@" "$corpus" >/dev/null; } 2>&1 | tail -1)
    u=$(awk "BEGIN{print $u + $k}")
    if [ -z "${wall:-}" ] || awk "BEGIN{exit !($t < $wall)}"; then wall=$t; fi
    if [ -z "${cpu:-}" ] || awk "BEGIN{exit !($u < $cpu)}"; then cpu=$u; fi
  done
  echo "$wall $cpu"
}
ratio() { awk "BEGIN{printf \"%.2fx\", $1 / $2}"; }
line() {  # name, its times, the times it is held against
  local -a mine=($2) base=($3)
  printf '%-29s wall %s s, cpu %s s' "$1" "${mine[0]}" "${mine[1]}"
  [ -n "$3" ] && printf '  (%s wall, %s cpu)' "$(ratio "${mine[0]}" "${base[0]}")" \
    "$(ratio "${mine[1]}" "${base[1]}")"
  echo
}

numbers=$("$exe" scan "$corpus" | wc -l)
plain=$(best)
echo "corpus: 64 MiB, $numbers numbers; best of $runs runs; ratios to the scan each adds to"
line "scan" "$plain" ""
line "scan --valid-only" "$(best --valid-only)" "$plain"
csv=$(best --format csv)
line "scan --format csv" "$csv" "$plain"
line "scan --format csv --enrich" "$(best --format csv --enrich)" "$csv"
jsonl=$(best --format jsonl)
line "scan --format jsonl" "$jsonl" "$plain"
line "scan --format jsonl --enrich" "$(best --format jsonl --enrich)" "$jsonl"
