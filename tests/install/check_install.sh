#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks the tree: every file in its
# place, icons of the size their folder names, the desktop entry, metadata and executable
# agreeing on names, the installed --version, and every flag of every command's --help
# present in the man page and the bash completion.
# usage: check_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; status=1; }
status=0

cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.tolvarine.tolvarine
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
man=$prefix/share/man/man1/tolvarine.1
completion=$prefix/share/bash-completion/completions/tolvarine
for f in "$desktop" "$metainfo" "$man" "$completion" \
         "$prefix/share/icons/hicolor/scalable/apps/tolvarine.svg"; do
  [ -f "$f" ] || fail "missing ${f#"$prefix"/}"
done
[ -x "$prefix/bin/tolvarine" ] || fail "missing bin/tolvarine"
# The window and harvest run in the Qt executable, which the command finds beside itself.
[ -x "$prefix/bin/tolvarine-qt" ] || fail "missing bin/tolvarine-qt"

# PNG: width and height are the big-endian words at bytes 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/tolvarine.png
  if [ ! -f "$png" ]; then fail "missing icon $size"; continue; fi
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w $h" = "$size $size" ] || fail "icon ${size}x${size} is ${w}x${h}"
done

grep -qx "Icon=tolvarine" "$desktop" || fail "desktop entry names another icon"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/bin/$exec_name" ] || fail "desktop entry runs '$exec_name', not installed"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metadata names another desktop entry"
grep -q "release version=\"$version\"" "$metainfo" || fail "metadata release is not $version"

got=$("$prefix/bin/tolvarine" --version)
[ "$got" = "tolvarine $version" ] || fail "--version printed '$got'"

# The installed copy keeps its state per user, even where it could write beside itself.
: >"$prefix/empty.txt"
env -u TOLVARINE_STATE_DIR -u XDG_DATA_HOME HOME="$prefix/home" \
  "$prefix/bin/tolvarine" scan "$prefix/empty.txt" >/dev/null
[ -d "$prefix/home/.local/share/tolvarine" ] || fail "no per-user state folder"
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "tolvarine tolvarine-qt " ] ||
  fail "state files beside the installed executables"

sed 's/\\-/-/g' "$man" >"$prefix/man.txt"
for command in harvest scan report generate merge; do
  flags=$("$prefix/bin/tolvarine" "$command" --help | grep -oE -- '(^|[ [|])--?[a-z][a-z0-9-]*' |
          grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u)
  [ -n "$flags" ] || fail "$command --help names no flag"
  for flag in $flags; do
    grep -qF -- "$flag" "$prefix/man.txt" || fail "man page lacks $command $flag"
    grep -qE -- "(^|[ \"])$flag( |\"|$)" "$completion" || fail "completion lacks $command $flag"
  done
  grep -qF ".B tolvarine $command" "$man" || fail "man page lacks $command"
done
exit $status
