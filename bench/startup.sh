#!/usr/bin/env bash
# Start-up benchmark: installer vs a minimal Qt window, same run, prints the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
cmake --build "$build_dir" --target Prismora_Installer bench_startup bench_startup_minimal >/dev/null
"$build_dir/bench/bench_startup" "$build_dir/installer/Prismora_Installer" "$build_dir/bench/bench_startup_minimal" "${1:-15}"
