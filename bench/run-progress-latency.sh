#!/usr/bin/env bash
# Measures how responsive the main thread stays while the progress page follows
# a full-speed download, against the same probe on an idle event loop while
# curl fetches the same file from the same mirror, in the same run; prints the
# ratios and PASS/FAIL against a 99th-percentile latency below 16 ms.
#
# Input: a stored zip holding BENCH_SIZE_MB MiB of incompressible data (first
# argument or BENCH_SIZE_MB; default 1024, a few seconds on loopback), served by
# tests/fixtures/mirror.py on 127.0.0.1. BENCH_RUNS (default 1) runs, each a
# fresh process. BUILD_DIR (default build) holds the build; BENCH_DIR the scratch
# folder (default: a new temporary folder, removed afterwards). BENCH_WRAP is put
# in front of the binary (for example "perf record -g -o /tmp/perf.data").
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
size_mb="${1:-${BENCH_SIZE_MB:-1024}}"
runs="${BENCH_RUNS:-1}"

cmake -S . -B "$build_dir" -G Ninja >/dev/null
if ! build_log="$(cmake --build "$build_dir" --target bench_progress_latency 2>&1)"; then
    printf '%s\n' "$build_log" | tail -n 30 >&2
    echo "bench: building bench_progress_latency failed" >&2
    exit 1
fi
tool="$(realpath "$build_dir/bench/bench_progress_latency")"

work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/prismora-latency.XXXXXX")"
source tests/fixtures/local-mirror.sh
cleanup() {
    stop_local_mirror
    rm -rf "$work"
}
trap cleanup EXIT

echo "bench: preparing a ${size_mb} MiB archive in $work"
mkdir -p "$work/src/Prismora.app/Contents/Resources"
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > "$work/src/Prismora.app/Contents/Resources/media.bin"
(cd "$work/src" && zip -q -r -0 "$work/prismora.zip" Prismora.app)
rm -rf "$work/src"

start_local_mirror "$work" "$work/prismora.zip"
port="$mirror_port"

for run in $(seq 1 "$runs"); do
    home="$work/home-$run"
    mkdir -p "$home/Applications" "$home/logs" "$home/tmp" "$home/runtime"
    chmod 700 "$home/runtime"
    echo "bench: run $run of $runs"
    env HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen PRISMORA_NO_ANALYTICS=1 \
        PRISMORA_APPLICATIONS_DIR="$home/Applications" PRISMORA_LOG_DIR="$home/logs" \
        PRISMORA_CA_FILE="$mirror_ca" \
        PRISMORA_DOWNLOAD_HOSTS="127.0.0.1:$port/ok,127.0.0.1:$port/ok,127.0.0.1:$port/ok,127.0.0.1:$port/ok" \
        ${BENCH_WRAP:-} "$tool" "https://127.0.0.1:$port/ok/prismora.zip" "$mirror_ca"
    rm -rf "$home"
done
