#!/usr/bin/env bash
# Measures the install pipeline against reference tools on the same input in
# the same run and prints the ratios (our time / reference time; below 1 means
# we are faster):
#
#   download  DownloadSession from the local HTTPS mirror   vs  curl -o
#   md5       the downloader's streaming MD5                vs  openssl md5
#   unpack    ZipArchive                                    vs  unzip -q -o
#   copy      copying the bundle across volumes             vs  cp -a
#   install   the whole pipeline (download, hash, check,        vs  our download alone
#             unpack, stage, validate, swap)                        of the same archive
#
# It also prints, from the same pairs run again alternately, the in-process
# times to the bundle in place and to the download complete, and the peak
# resident memory of both (getrusage); then the same over a paced link of
# BENCH_RATE_MIB MiB/s (default 100, about a gigabit; 0 skips it).
#
# Input: an incompressible archive of BENCH_SIZE_MB MiB (default 1024) and a
# bundle of the same size (16 large stored parts plus 500 small deflated
# files). BENCH_RUNS (default 3) measured runs after one warm-up, median
# reported. BUILD_DIR (default build) holds the build; BENCH_DIR the scratch
# folder (default: a new temporary folder, removed afterwards).
#
# BENCH_BASELINE names a bench_pipeline built from another commit (for example
# the one before a change to the install): the in-process runs then also run
# its install, alternately with ours on the same archive, and print what the
# change costs from the download complete to the bundle in place, in seconds
# and in seconds per GiB.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
size_mb="${BENCH_SIZE_MB:-1024}"
runs="${BENCH_RUNS:-3}"

cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target bench_pipeline >/dev/null
tool="$(realpath "$build_dir/bench/bench_pipeline")"
baseline="${BENCH_BASELINE:+$(realpath "$BENCH_BASELINE")}"

work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/prismora-bench.XXXXXX")"
source tests/fixtures/local-mirror.sh
cleanup() {
    stop_local_mirror
    rm -rf "$work"
}
trap cleanup EXIT

echo "bench: preparing ${size_mb} MiB of input in $work"
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > "$work/archive.bin"
bundle="$work/src/Prismora.app"
mkdir -p "$bundle/Contents/Resources" "$bundle/Contents/Code" "$bundle/Contents/MacOS"
split -n 16 -d "$work/archive.bin" "$bundle/Contents/Resources/part-"
for i in $(seq 1 500); do
    head -c 6144 /dev/urandom | base64 > "$bundle/Contents/Code/module-$i.txt"
done
cp tests/fixtures/demo-product/Prismora.app/Contents/Info.plist "$bundle/Contents/"
cp -p tests/fixtures/demo-product/Prismora.app/Contents/MacOS/Prismora "$bundle/Contents/MacOS/"
(cd "$work/src" && zip -q -r -0 "$work/bundle.zip" Prismora.app/Contents/Resources \
    && zip -q -r -6 "$work/bundle.zip" Prismora.app -x 'Prismora.app/Contents/Resources/*')

start_local_mirror "$work" "$work/archive.bin" "$work"
port="$mirror_port"
url="https://127.0.0.1:$port/ok/prismora.zip"
ca="$mirror_ca"

measure() { # name, prepare, ours, reference-name, reference
    hyperfine --style none --warmup 1 --runs "$runs" --export-json "$work/$1.json" \
        --prepare "$2" -n ours "$3" -n "$4" "$5" >/dev/null
}

echo "bench: download"
measure download "true" \
    "PRISMORA_CA_FILE=$ca $tool download $url $work/got-ours" \
    curl "curl -sS --cacert $ca -H 'Accept-Encoding: application-x-zip' -o $work/got-curl $url"
cmp -s "$work/got-ours" "$work/archive.bin" || { echo "bench: downloaded bytes differ" >&2; exit 1; }

echo "bench: md5"
measure md5 "true" "$tool md5 $work/archive.bin" openssl "openssl md5 $work/archive.bin"
ours_md5="$("$tool" md5 "$work/archive.bin")"
openssl md5 "$work/archive.bin" | grep -q "$ours_md5" || { echo "bench: digests differ" >&2; exit 1; }

echo "bench: unpack"
measure unpack "rm -rf $work/unpacked" "$tool unzip $work/bundle.zip $work/unpacked" \
    unzip "unzip -q -o $work/bundle.zip -d $work/unpacked"
rm -rf "$work/unpacked" && "$tool" unzip "$work/bundle.zip" "$work/unpacked"
diff -r -q "$work/src" "$work/unpacked" >/dev/null || { echo "bench: unpacked tree differs" >&2; exit 1; }

echo "bench: install"
bundle_url="https://127.0.0.1:$port/files/bundle.zip"
bundle_sha="$(sha256sum "$work/bundle.zip" | cut -d' ' -f1)"
bundle_size="$(stat -c %s "$work/bundle.zip")"
check="PRISMORA_CA_FILE=$ca PRISMORA_ARCHIVE_SIZE=$bundle_size PRISMORA_ARCHIVE_SHA256=$bundle_sha XDG_CACHE_HOME=$work/cache"
mkdir -p "$work/apps"
# Each run starts with nothing of the last one on disk or waiting to be written.
measure install "rm -rf $work/apps/Prismora.app $work/got-bundle && sync" \
    "$check $tool install $bundle_url $work/apps" \
    "download" "$check $tool download $bundle_url $work/got-bundle"
# The same pair again, alternating, for the in-process times (to the bundle in
# place, to the download complete) and the peak memory of each.
: > "$work/inprocess.txt"
in_process() { # url, output file
    : > "$2"
    for _ in $(seq 1 "$runs"); do
        rm -rf "$work/apps/Prismora.app" "$work/got-bundle" && sync
        eval "$check $tool install $1 $work/apps" >> "$2"
        diff -r -q "$work/src/Prismora.app" "$work/apps/Prismora.app" >/dev/null || { echo "bench: installed tree differs" >&2; exit 1; }
        if [ -n "$baseline" ]; then
            rm -rf "$work/apps/Prismora.app" && sync
            eval "$check $baseline install $1 $work/apps" | sed 's/^/baseline-/' >> "$2"
        fi
        rm -rf "$work/apps/Prismora.app" "$work/got-bundle" && sync
        eval "$check $tool download $1 $work/got-bundle" >> "$2"
    done
}
in_process "$bundle_url" "$work/inprocess.txt"
# The same over a link of BENCH_RATE_MIB MiB/s (default 100, about a gigabit; 0: skip).
rate="${BENCH_RATE_MIB:-100}"
if [ "$rate" -gt 0 ]; then
    echo "bench: install at $rate MiB/s"
    in_process "https://127.0.0.1:$port/rate/$rate/files/bundle.zip" "$work/inprocess-rate.txt"
fi

echo "bench: copy"
measure copy "rm -rf $work/placed && mkdir -p $work/placed" "$tool copy $work/unpacked/Prismora.app $work/placed" \
    "cp -a" "cp -a $work/unpacked/Prismora.app $work/placed/"

python3 - "$work" "$size_mb" "$rate" "$baseline" <<'PY'
import json, sys
work, size_mb, rate, baseline = sys.argv[1], float(sys.argv[2]), sys.argv[3], sys.argv[4]
print()
print("%-9s %12s %12s %-9s %8s %10s" % ("step", "ours (s)", "ref (s)", "ref", "ratio", "ours MiB/s"))
for step in ("download", "md5", "unpack", "copy", "install"):
    results = {r["command"]: r for r in json.load(open("%s/%s.json" % (work, step)))["results"]}
    ours = results.pop("ours")["median"]
    name, ref = next(iter(results.items()))
    print("%-9s %12.3f %12.3f %-9s %8.2f %10.0f" % (step, ours, ref["median"], name, ours / ref["median"], size_mb / ours))
print("\nratio = our median time / reference median time (below 1: faster than the reference);")
print("for install the reference is our own download of the same archive (whole processes,")
print("the install's removal of its work folder included).")
median = lambda xs: sorted(xs)[len(xs) // 2]

def in_process(name, label):
    try:
        lines = open("%s/%s" % (work, name)).read().split("\n")
    except FileNotFoundError:
        return
    values = {}
    for line in lines:
        if line:
            key, value = line.split()
            values.setdefault(key, []).append(float(value))
    placed, done = median(values["placed-at"]), median(values["done-at"])
    own = median([p - d for p, d in zip(values["placed-at"], values["downloaded-at"])])
    rss = values["peak-rss-kib"]
    print("\n%s, in-process medians of %d runs:" % (label, len(values["placed-at"])))
    print("  whole pipeline to the bundle in place %.3f s, download alone %.3f s: ratio %.2f"
          % (placed, done, placed / done))
    print("  inside the install runs, from the download complete to the bundle in place: %.3f s" % own)
    print("  peak RSS: install %.0f MiB, download %.0f MiB" % (max(rss[0::2]) / 1024, max(rss[1::2]) / 1024))
    if "baseline-placed-at" in values:
        base = median([p - d for p, d in zip(values["baseline-placed-at"], values["baseline-downloaded-at"])])
        print("  baseline %s: whole pipeline %.3f s, ratio %.2f to the download alone" % (
            baseline, median(values["baseline-placed-at"]), median(values["baseline-placed-at"]) / done))
        print("  from the download complete to the bundle in place: ours %.3f s, baseline %.3f s:"
              " the change costs %.3f s, %.3f s per GiB" % (own, base, own - base, (own - base) * 1024 / size_mb))

in_process("inprocess.txt", "local mirror, unlimited")
in_process("inprocess-rate.txt", "local mirror at %s MiB/s" % rate)
PY
