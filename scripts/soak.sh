#!/usr/bin/env bash
# A long walk through 'tolvarine harvest': PAGES local pages served on 127.0.0.1, sampling
# the resident memory (PSS) of the program and its renderer processes as it goes. Prints the
# samples, the slope after warm-up (MB per 100 pages) and the pages per minute.
# Usage: scripts/soak.sh BUILD_DIR [PAGES] [INTERVAL_MS]   (run by hand, not a test)
set -euo pipefail
build="$1"
pages="${2:-1000}"
interval="${3:-100}"
work="$(mktemp -d)"
trap 'exec 3>&- 2>/dev/null || true; kill "${walker:-0}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/site" "$work/state"
for i in $(seq 1 "$pages"); do
  printf '<html><body><h1>Page %d</h1><p>%s</p><p>Call 138%08d</p><a href="p%d.html">next</a></body></html>\n' \
    "$i" "$(head -c 4000 /dev/zero | tr '\0' 'x')" "$i" "$((i + 1))" > "$work/site/p$i.html"
done
. "$(dirname "$0")/serve_site.sh"
serve_site "$build" "$work/site" "$work"
for i in $(seq 1 "$pages"); do echo "$base/p$i.html"; done > "$work/urls.txt"

# The proportional resident memory (PSS) of the program and every process below it (the
# web engine's renderers): shared pages are counted once across the processes, so the
# sum is the memory the walk really holds.
tree_pss_kb() {
  local total=0 pid kb
  for pid in $(pstree -p -T "$1" 2>/dev/null | grep -o '([0-9]*)' | tr -d '()'); do
    kb=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)
    total=$((total + ${kb:-0}))
  done
  echo "$total"
}

start=$(date +%s)
"$build/app/tolvarine" harvest "$work/urls.txt" --phones --dedup --interval-ms "$interval" \
  --no-online-check --state "$work/state" --phones-out "$work/phones.txt" 2> "$work/progress" &
walker=$!
echo "page pss_mb"
while kill -0 "$walker" 2>/dev/null; do
  page=$(grep -o 'page [0-9]*' "$work/progress" | tail -n 1 | cut -d' ' -f2 || true)
  [ -n "$page" ] && echo "$page $(( $(tree_pss_kb "$walker") / 1024 ))" | tee -a "$work/samples"
  sleep 5
done
wait "$walker" || true
elapsed=$(( $(date +%s) - start ))
echo "phones found: $(wc -l < "$work/phones.txt") of $pages; $elapsed s, $(( pages * 60 / (elapsed > 0 ? elapsed : 1) )) pages per minute"
# Least-squares slope of memory against pages, after the first fifth of the walk.
awk -v warm="$((pages / 5))" '$1 >= warm { n++; sx += $1; sy += $2; sxx += $1*$1; sxy += $1*$2 }
  END { if (n > 1) printf "slope after warm-up: %.2f MB per 100 pages (%d samples)\n",
        100 * (n*sxy - sx*sy) / (n*sxx - sx*sx), n }' "$work/samples"
