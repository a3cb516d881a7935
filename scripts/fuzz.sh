#!/usr/bin/env bash
# Runs every fuzz target of a build made with -DAOSTRACK_FUZZ=ON for a while
# each: fuzz.sh BUILD_DIR [SECONDS]. Seeds come from fuzz/corpus/<target>/;
# inputs that add coverage go to BUILD_DIR/fuzz/corpus/<target>/, and a crash,
# a hang or a leak is written into fuzz/corpus/<target>/ (crash-*, timeout-*,
# leak-*), where the tests replay it from then on. Prints one line per target
# with its executions; exits 1 when any target found something.
set -uo pipefail
build="${1:?usage: fuzz.sh BUILD_DIR [SECONDS]}"
seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
targets=(tle satini doppler serial_settings time_reply page cli_args omm update rotctld)
failed=0
summary=()
for t in "${targets[@]}"; do
  program="$build/fuzz/fuzz_$t"
  seeds="$root/fuzz/corpus/$t"
  work="$build/fuzz/corpus/$t"
  mkdir -p "$work" "$seeds"
  log="$build/fuzz/fuzz_$t.log"
  echo "== $t: ${seconds} s"
  # -close_fd_mask=1: the CLI target's stdout is noise here.
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
    -artifact_prefix="$seeds/" -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $rc -ne 0 ]; then
    failed=1
    summary+=("$t: FOUND SOMETHING after ${runs:-?} executions (exit $rc), see $log")
  else
    summary+=("$t: ${runs:-?} executions, ${cov:-cov: ?}, nothing found")
  fi
done
printf '%s\n' "${summary[@]}"
exit $failed
