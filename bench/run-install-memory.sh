#!/usr/bin/env bash
# Measures the peak resident memory of the install path against a reference
# on the same input in the same run and prints a table with the ratio
# (ours / reference):
#
#   install N   the install transaction (unpack, stage, validate, swap) of a
#               bundle of N zip entries into an empty applications folder
#               vs  unzip -q of the same archive; "N+M" adds a stored file of
#               M MiB, so that the files are written on two threads
#   200000      the same for an archive of 200,000 entries, which is refused
#               vs  unzip -q of it
#   deep        the same for a bundle holding one file 1,900 folders deep
#               vs  unzip -q of it
#   copied      40,000 entries and deep again, into an applications folder on
#               another volume (/dev/shm), so that the bundle is copied there
#   settings    opening a 100 MiB settings file (moved aside as too large)
#               vs  opening a settings file of one key
#   endless     the installer itself (--unattended) against a local mirror
#               whose first host, two hosts or all four send random bytes
#               without end, until the work folder's volume (a 256 MiB
#               tmpfs) reaches the free-space reserve; root only
#               vs  curl fetching the demo archive from the same mirror
#
# Peak memory is the maximum resident set size from /usr/bin/time -v.
# BENCH_CASES (default "1000 40000 40000+80 100000") sets the archives; each
# archive holds a folder entry for every folder, so that N entries are N - 1
# items inside the bundle (the bundle validator accepts 100,000 at most), and
# every entry carries the time-stamp and owner fields zip(1) writes, which
# libzip keeps in memory with the entry; BENCH_PLAIN=1 leaves them out.
# BUILD_DIR (default build) holds the build; BENCH_TOOL, when set, is another
# bench_install_memory to measure instead (an older build, for a before/after
# table); BENCH_DIR the scratch folder (default: a new temporary folder,
# removed afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
cases="${BENCH_CASES:-1000 40000 40000+80 100000}"

if [ -n "${BENCH_TOOL:-}" ]; then
    tool="$(realpath "$BENCH_TOOL")"
else
    cmake -S . -B "$build_dir" -G Ninja >/dev/null
    cmake --build "$build_dir" --target bench_install_memory >/dev/null
    tool="$(realpath "$build_dir/bench/bench_install_memory")"
fi

work="$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/prismora-memory.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"

make_deep_archive() { # path
    python3 - "$1" tests/fixtures/demo-product/Prismora.app/Contents <<'EOF'
import sys, zipfile
path, contents = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(path, "w") as archive:
    archive.write(contents + "/Info.plist", "Prismora.app/Contents/Info.plist")
    info = zipfile.ZipInfo("Prismora.app/Contents/MacOS/Prismora")
    info.external_attr = 0o100755 << 16
    archive.writestr(info, open(contents + "/MacOS/Prismora", "rb").read())
    archive.writestr("Prismora.app/Contents/Resources/" + "d/" * 1900 + "deep.txt", b"deep\n")
EOF
}

make_archive() { # path, entries, MiB of one large file
    python3 - "$1" "$2" "$3" tests/fixtures/demo-product/Prismora.app/Contents <<'EOF'
import os, struct, sys, zipfile
path, entries, large, contents = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
# zip(1)'s extended time stamp and Unix owner fields, as in its central directory.
fields = b"" if os.environ.get("BENCH_PLAIN") == "1" else (
    b"UT" + struct.pack("<HBI", 5, 3, 1700000000) + b"ux" + struct.pack("<HBBIBI", 11, 1, 4, 1000, 4, 1000))

def folder(archive, name):
    info = zipfile.ZipInfo(name)
    info.external_attr = (0o40755 << 16) | 0x10
    info.extra = fields
    archive.writestr(info, b"")

def file(archive, name, data, mode=0o644):
    info = zipfile.ZipInfo(name)
    info.external_attr = (0o100000 | mode) << 16
    info.extra = fields
    archive.writestr(info, data)

with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
    for name in ("Prismora.app/", "Prismora.app/Contents/", "Prismora.app/Contents/MacOS/",
                 "Prismora.app/Contents/Resources/"):
        folder(archive, name)
    file(archive, "Prismora.app/Contents/Info.plist", open(contents + "/Info.plist", "rb").read())
    file(archive, "Prismora.app/Contents/MacOS/Prismora", open(contents + "/MacOS/Prismora", "rb").read(), 0o755)
    written, group = 6, 0
    if large:
        file(archive, "Prismora.app/Contents/Resources/large.bin", os.urandom(large * 1024 * 1024))
        written += 1
    while written < entries:
        folder(archive, "Prismora.app/Contents/Resources/group-%04d/" % group)
        written += 1
        for item in range(min(999, entries - written)):
            file(archive, "Prismora.app/Contents/Resources/group-%04d/resource-%05d.txt" % (group, item),
                 b"resource %d.%d\n" % (group, item))
            written += 1
        group += 1
EOF
}

peak_kib() { # command...: prints the peak resident set of the command in KiB
    /usr/bin/time -v "$@" 2>"$work/time.txt" >"$work/out.txt" || true
    sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt"
}

row() { # what, ours KiB, reference name, reference KiB
    awk -v what="$1" -v ours="$2" -v name="$3" -v ref="$4" 'BEGIN {
        printf "| %-40s | %8.1f | %-22s | %8.1f | %5.2f |\n", what, ours / 1024, name, ref / 1024, ours / ref }'
}

echo "| input                                    | ours MiB | reference              |  ref MiB | ratio |"
echo "|------------------------------------------|----------|------------------------|----------|-------|"
measure() { # case, applications folder, what the row adds
    local case="$1" apps="$2" entries="${1%+*}" large=0
    [ "$case" = "$entries" ] || large="${case#*+}"
    archive="$work/archive.zip"
    if [ "$case" = deep ]; then
        make_deep_archive "$archive"
    else
        make_archive "$archive" "$entries" "$large"
    fi
    rm -rf "$apps" "$work/unzip"
    mkdir -p "$apps" "$work/unzip"
    ours="$(peak_kib "$tool" install "$archive" "$apps")"
    outcome="$(sed -n 's/^outcome //p' "$work/out.txt")"
    reference="$(cd "$work/unzip" && peak_kib unzip -q "$archive")"
    row "install $case entries$3: $outcome" "$ours" "unzip -q" "$reference"
    rm -rf "$apps" "$work/unzip" "$archive"
}

for case in $cases 200000 deep; do
    measure "$case" "$work/apps" ""
done
# With the applications folder on another volume the bundle is copied into it.
if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ] && [ "$(stat -f -c %T "$work")" != tmpfs ]; then
    shm="$(mktemp -d /dev/shm/prismora-memory.XXXXXX)"
    for case in 40000 deep; do
        measure "$case" "$shm/apps" ", copied"
    done
    rm -rf "$shm"
fi

mkdir -p "$XDG_CONFIG_HOME/PrismoraBench"
printf '[General]\nbench=true\n' >"$XDG_CONFIG_HOME/PrismoraBench/small.conf"
python3 - "$XDG_CONFIG_HOME/PrismoraBench/large.conf" <<'EOF'
import sys
with open(sys.argv[1], "w") as out:
    out.write("[General]\nbench=true\n")
    line = "x" * 90
    for key in range(100 * 1024 * 1024 // 100):
        out.write("key%06d=%s\n" % (key, line))
EOF
ours="$(peak_kib "$tool" settings large)"
reference="$(peak_kib "$tool" settings small)"
row "settings file of 100 MiB" "$ours" "settings file of 1 key" "$reference"

if [ "$(id -u)" = 0 ]; then
    cmake --build "$build_dir" --target Prismora_Installer >/dev/null
    python3 - "$build_dir/installer/Prismora_Installer" "$work" <<'EOF'
import os, re, subprocess, sys
sys.path.insert(0, "tests/fixtures")
from unattended import Mirror, environment, make_archive

installer, work = sys.argv[1], sys.argv[2]
archive = make_archive(os.path.join(work, "prismora.zip"))
cache = os.path.join(work, "endless-cache")
os.makedirs(cache)
subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256m", "tmpfs", cache], check=True)


def peak(command, env):
    run = subprocess.run(["/usr/bin/time", "-v"] + command, env=env, capture_output=True, text=True, timeout=900)
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr).group(1))


try:
    with Mirror(work, archive) as mirror:
        reference = peak(["curl", "-s", "--cacert", mirror.ca, "-o", os.path.join(work, "curl.zip"),
                          "https://127.0.0.1:%d/ok/prismora.zip" % mirror.port], dict(os.environ))
        for what, modes in (("endless body on 1 host of 4", ("endless", "status/404")),
                            ("endless body on 2 hosts of 4", ("endless", "endless", "status/404")),
                            ("endless body on all 4 hosts", ("endless",))):
            env = environment(work, mirror.hosts(*modes), mirror.ca, {"XDG_CACHE_HOME": cache})
            ours = peak([installer, "--unattended", "--accept-terms", "--no-launch",
                         "--applications-dir", os.path.join(work, "endless-apps")], env)
            print("| %-40s | %8.1f | %-22s | %8.1f | %5.2f |" % (what, ours / 1024, "curl, the demo archive",
                                                             reference / 1024, ours / reference))
finally:
    subprocess.run(["umount", "-l", cache])
EOF
fi
