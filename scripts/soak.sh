#!/usr/bin/env bash
# A long walk through 'tolvarine harvest': PAGES local pages served on 127.0.0.1, sampling
# the resident memory (PSS) of the whole process tree as it goes: the program, its shard
# processes under --jobs, and every web engine process below them. Prints the samples, the
# plateau (mean of the last fifth of the walk), the slope after warm-up (MB per 100 pages)
# and the pages per minute.
# Usage: scripts/soak.sh BUILD_DIR [PAGES] [INTERVAL_MS] [JOBS]   (run by hand, not a test)
# SOAK_SAMPLES=FILE keeps the samples ("page pss_mb anon_mb kept_mb processes") after the walk.
set -euo pipefail
build="$1"
pages="${2:-1000}"
interval="${3:-100}"
jobs="${4:-1}"
work="$(mktemp -d)"
trap 'exec 3>&- 2>/dev/null || true; kill "${walker:-0}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/site" "$work/state"
filler="$(head -c 4000 /dev/zero | tr '\0' 'x')"
for i in $(seq 1 "$pages"); do
  printf '<html><body><h1>Page %d</h1><p>%s</p><p>Call 138%08d</p><a href="p%d.html">next</a></body></html>\n' \
    "$i" "$filler" "$i" "$((i + 1))" > "$work/site/p$i.html"
done
. "$(dirname "$0")/serve_site.sh"
serve_site "$build" "$work/site" "$work"
for i in $(seq 1 "$pages"); do echo "$base/p$i.html"; done > "$work/urls.txt"

# The PSS of the program and every process below it (shards, the web engine's zygotes,
# renderers and GPU process): shared pages are counted once across the processes, so the
# sum is the memory the walk really holds. Its file-backed part (the libraries) is shared
# with any other program that maps them and moves with them; "anon" counts only the
# memory the walk allocated (anonymous and shared memory). Each page gets a renderer of
# its own that ends with it, so the renderers alive at a sample make the sums jump by tens
# of MB; "kept" is the anon sum without them, the memory that lives through the walk.
# Prints "pss_kb anon_kb kept_kb processes".
tree_pss_kb() {
  local total=0 anon=0 kept=0 count=0 pid pss own parent
  for pid in $(pstree -p -T "$1" 2>/dev/null | grep -o '([0-9]*)' | tr -d '()'); do
    read -r pss own < <(awk '/^Pss:/ {p = $2} /^Pss_(Anon|Shmem):/ {a += $2}
                             END { if (p != "") print p, a + 0 }' \
                            "/proc/$pid/smaps_rollup" 2>/dev/null || true) || true
    [ -n "${pss:-}" ] || continue
    count=$((count + 1))
    total=$((total + pss))
    anon=$((anon + own))
    # A renderer is forked by a zygote and keeps its command line.
    parent=$(awk '{print $4}' "/proc/$pid/stat" 2>/dev/null || true)
    tr '\0' ' ' < "/proc/${parent:-0}/cmdline" 2>/dev/null | grep -q -- '--type=zygote' ||
      kept=$((kept + own))
    pss=""
  done
  echo "$total $anon $kept $count"
}

jobs_flag=()
[ "$jobs" -gt 1 ] && jobs_flag=(--jobs "$jobs")
start=$(date +%s)
"$build/app/tolvarine" harvest "$work/urls.txt" --phones --dedup --interval-ms "$interval" \
  --no-online-check --state "$work/state" --phones-out "$work/phones.txt" "${jobs_flag[@]}" \
  2> "$work/progress" &
walker=$!
echo "page pss_mb anon_mb kept_mb processes"
: > "$work/samples"
while kill -0 "$walker" 2>/dev/null; do
  # Each shard reports every page it walks on a line of its own.
  page=$(grep -c '^page ' "$work/progress" || true)
  if [ "${page:-0}" -gt 0 ]; then
    read -r kb anon kept count < <(tree_pss_kb "$walker")
    awk -v p="$page" -v t="$kb" -v a="$anon" -v k="$kept" -v c="$count" \
      'BEGIN { printf "%d %.1f %.1f %.1f %d\n", p, t / 1024, a / 1024, k / 1024, c }' |
      tee -a "$work/samples"
  fi
  sleep 5
done
wait "$walker" || true
elapsed=$(( $(date +%s) - start ))
[ -n "${SOAK_SAMPLES:-}" ] && cp "$work/samples" "$SOAK_SAMPLES"
echo "jobs $jobs; phones found: $(wc -l < "$work/phones.txt") of $pages; $elapsed s, $(( pages * 60 / (elapsed > 0 ? elapsed : 1) )) pages per minute"
# The plateau is the mean of the last fifth of the walk; the slope is the least-squares
# slope of memory against pages after the first fifth. For each of the three sums.
awk -v warm="$((pages / 5))" -v tail="$((pages * 4 / 5))" '
  $1 >= warm { n++; sx += $1; sxx += $1*$1; for (i = 2; i <= 4; i++) { sy[i] += $i; sxy[i] += $1*$i } }
  $1 >= tail { m++; for (i = 2; i <= 4; i++) st[i] += $i }
  END {
    if (m > 0) printf "plateau: pss %.1f MB, anon %.1f MB, kept %.1f MB (%d samples)\n",
        st[2] / m, st[3] / m, st[4] / m, m
    if (n > 1) printf "slope after warm-up, MB per 100 pages: pss %.3f, anon %.3f, kept %.3f (%d samples)\n",
        100 * (n*sxy[2] - sx*sy[2]) / (n*sxx - sx*sx), 100 * (n*sxy[3] - sx*sy[3]) / (n*sxx - sx*sx),
        100 * (n*sxy[4] - sx*sy[4]) / (n*sxx - sx*sx), n }' "$work/samples"
