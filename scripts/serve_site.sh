# Sourced by the scripts that walk a local site. serve_site BUILD_DIR SITE_DIR WORK_DIR
# starts the demo server on SITE_DIR and sets $base to its address (no trailing "/").
# The server runs while file descriptor 3 (its standard input) stays open: the caller's
# exit trap closes it with 'exec 3>&-' and waits.
serve_site() {
  mkfifo "$3/keep"
  "$1/demo/demo_server" "$2" < "$3/keep" > "$3/base" &
  exec 3> "$3/keep"
  for _ in $(seq 100); do [ -s "$3/base" ] && break; sleep 0.1; done
  base="$(head -n 1 "$3/base")"
  base="${base%/}"
}
