#!/usr/bin/env bash
# Runs one protocol test: feeds NAME.cmd to the program and compares standard output with NAME.out.
# The program runs in a fresh directory where data/ points at the shared test data, so tests may
# write files without touching the source tree.
set -u
program=$1 dir=$2 name=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$dir/data" "$work/data"
args=()
if [ -f "$dir/$name.args" ]; then
  eval "args=($(cat "$dir/$name.args"))"
fi
expected_code=0
[ -f "$dir/$name.code" ] && expected_code=$(cat "$dir/$name.code")
(cd "$work" && timeout 240 "$program" "${args[@]}" < "$dir/$name.cmd" > "$work/actual.out" 2> "$work/actual.err")
code=$?
status=0
if ! diff -u "$dir/$name.out" "$work/actual.out"; then
  echo "protocol test $name: standard output differs (expected first)"
  status=1
fi
if [ "$code" != "$expected_code" ]; then
  echo "protocol test $name: exit status $code, expected $expected_code"
  cat "$work/actual.err"
  status=1
fi
exit $status
