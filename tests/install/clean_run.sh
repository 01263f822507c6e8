#!/usr/bin/env bash
# Runs a checker and fails when it fails or when its output has a line matching the given
# pattern (its warnings and hints, which checkers report without failing). With
# --stderr-only, standard output is the checked thing's own output and is dropped.
# usage: clean_run.sh [--stderr-only] PATTERN COMMAND [ARG...]
if [ "$1" = --stderr-only ]; then
  shift
  pattern=$1
  shift
  output=$("$@" 2>&1 >/dev/null)
else
  pattern=$1
  shift
  output=$("$@" 2>&1)
fi
status=$?
[ -z "$output" ] || printf '%s\n' "$output"
[ $status -eq 0 ] || exit $status
! printf '%s\n' "$output" | grep -qE -- "$pattern"
