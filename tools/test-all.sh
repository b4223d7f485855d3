#!/bin/sh
# Builds everything and runs every test: the core's unit tests natively (with
# ASan and UBSan), the Win32 tests under Wine, and the end-to-end tests of the
# real exe under Wine and Xvfb. Ends with one summary line.
set -u
cd "$(dirname "$0")/.."
./tools/install-deps.sh || exit 1

log=$(mktemp)
status=0
run_suite() {  # preset [ctest options]
  preset=$1; shift
  cmake --preset "$preset" >/dev/null || return 1
  cmake --build --preset "$preset" -j2 || return 1
  ctest --preset "$preset" "$@" 2>&1 | tee -a "$log"
}
run_suite native || status=1
run_suite fuzz || status=1
# The programs under Wine race its desktop and pointer polling now and then:
# a module that fails is run once more, and a real fault fails both times.
run_suite win64 --repeat until-pass:2 || status=1

passed=0; failed=0
for line in $(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1:\2/'); do
  f=${line%%:*}; total=${line##*:}
  failed=$((failed + f)); passed=$((passed + total - f))
done
rm -f "$log"
[ "$failed" -eq 0 ] || status=1
echo "total: $passed passed, $failed failed"
exit $status
