#!/usr/bin/env bash
# Serves the sample site on 127.0.0.1 and walks it with 'tolvarine harvest', printing the
# numbers and links found. Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail
build="$1"
top="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'exec 3>&- 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

. "$top/scripts/serve_site.sh"
serve_site "$build" "$top/demo/site" "$work"
sed "s|@BASE@|$base|" "$top/demo/urls.txt.in" > "$work/urls.txt"
mkdir -p "$work/state"

echo "Sample site on $base; walking $(wc -l < "$work/urls.txt") pages..."
"$build/app/tolvarine" harvest "$work/urls.txt" --phones --links --dedup --filter \
  --interval-ms 400 --no-online-check --state "$work/state" \
  --phones-out "$work/phones.txt" --links-out "$work/links.txt"
echo
echo "Mobile numbers found:"
tr -d '\r' < "$work/phones.txt" | sed 's/^/  /'
echo "Links kept by the rules:"
tr -d '\r' < "$work/links.txt" | sed 's/^/  /'
echo
echo "To start the window on a desktop: make run"
