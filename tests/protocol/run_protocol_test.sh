#!/usr/bin/env bash
# Runs one protocol test: feeds NAME.cmd to the program on standard input and compares what it
# writes. Files beside NAME.cmd:
#   NAME.out    expected standard output
#   NAME.args   command-line arguments, shell words on one line
#   NAME.code   expected exit status (default 0)
#   NAME.err    expected standard error (when absent, standard error is not compared)
#   NAME.config installed as the configuration script beside the program
#   NAME.env    environment settings for the program, NAME=value, one per line
#   NAME.files  files (one per line, relative to the working directory) whose contents are
#               appended to standard output before the comparison, each after a "--- name" line
# The program is copied into a fresh working directory, where data/ points at the shared test
# data, and run as ./quorvane: tests may write files, and no configuration script left beside the
# build's own binary can leak into a test.
set -u
program=$1 dir=$2 name=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$dir/data" "$work/data"
cp "$program" "$work/quorvane"
[ -f "$dir/$name.config" ] && cp "$dir/$name.config" "$work/quorvane_config.txt"
args=()
if [ -f "$dir/$name.args" ]; then
  eval "args=($(cat "$dir/$name.args"))"
fi
environment=()
if [ -f "$dir/$name.env" ]; then
  while IFS= read -r setting; do
    [ -n "$setting" ] && environment+=("$setting")
  done < "$dir/$name.env"
fi
expected_code=0
[ -f "$dir/$name.code" ] && expected_code=$(cat "$dir/$name.code")
(cd "$work" && env "${environment[@]}" timeout 240 ./quorvane "${args[@]}" < "$dir/$name.cmd" > "$work/actual.out" 2> "$work/actual.err")
code=$?
if [ -f "$dir/$name.files" ]; then
  while IFS= read -r file; do
    [ -n "$file" ] || continue
    echo "--- $file" >> "$work/actual.out"
    cat "$work/$file" >> "$work/actual.out" 2>/dev/null || echo "(missing)" >> "$work/actual.out"
  done < "$dir/$name.files"
fi
status=0
if [ ! -f "$dir/$name.out" ]; then
  echo "protocol test $name: $name.out is missing"
  status=1
elif ! diff -u --text "$dir/$name.out" "$work/actual.out"; then
  echo "protocol test $name: standard output differs (expected first)"
  status=1
fi
if [ -f "$dir/$name.err" ] && ! diff -u --text "$dir/$name.err" "$work/actual.err"; then
  echo "protocol test $name: standard error differs (expected first)"
  status=1
fi
if [ "$code" != "$expected_code" ]; then
  echo "protocol test $name: exit status $code, expected $expected_code"
  head -c 4000 "$work/actual.err"
  status=1
fi
exit $status
