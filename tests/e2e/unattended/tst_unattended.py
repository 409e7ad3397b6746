#!/usr/bin/env python3
"""The installer without a window: exit codes, JSON events, nothing left behind.

Usage: tst_unattended.py <Prismora_Installer>

Each row runs the real program with no display against the local HTTPS
mirror and checks its exit status, the reason of its last event and that no
work folder, staging folder or journal is left. Rows that need their own
volume (read-only, full) run only as root, as CI does.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fixtures"))
from unattended import Mirror, environment, leftovers, make_archive, run_installer  # noqa: E402

INSTALLED, USAGE, NETWORK, VERIFICATION, SPACE, PERMISSION, INTERRUPTED = 0, 2, 3, 4, 5, 6, 130
ROOT = os.geteuid() == 0


def mount_tmpfs(folder, options):
    os.makedirs(folder, exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder], check=True)


def main():
    installer = sys.argv[1]
    work = tempfile.mkdtemp(prefix="tst_unattended.")
    mounts = []
    failures = []
    try:
        archive = make_archive(os.path.join(work, "prismora.zip"), padding=4 * 1024 * 1024)
        size = os.path.getsize(archive)
        # Signed with the version in the trusted comment, which an installed copy of it makes enough.
        subprocess.run(["minisign", "-G", "-W", "-p", os.path.join(work, "key.pub"), "-s", os.path.join(work, "key")],
                       check=True, capture_output=True)
        subprocess.run(["minisign", "-S", "-s", os.path.join(work, "key"), "-m", archive, "-t",
                        "file:prismora.zip\tversion:1.0.0"], check=True, capture_output=True)
        public_key = open(os.path.join(work, "key.pub")).read().splitlines()[1]
        os.mkfifo(os.path.join(work, "fifo"))
        os.symlink("/dev/zero", os.path.join(work, "zero.zip"))
        open(os.path.join(work, "a-file"), "w").close()
        if ROOT:
            mount_tmpfs(os.path.join(work, "readonly"), "size=1m,ro")
            mount_tmpfs(os.path.join(work, "full"), "size=256k")
            mounts += [os.path.join(work, "readonly"), os.path.join(work, "full")]

        with Mirror(work, archive) as mirror:
            def at(name):
                return os.path.join(work, name)

            # name, arguments, host modes, extra environment, stop after event, exit status, last reason
            rows = [
                ("installs and starts", [], ("ok",), {"PRISMORA_DEMO_MARKER": at("started")}, None, INSTALLED, None),
                ("already current", ["--no-launch"], ("ok",), {}, None, INSTALLED, None),
                ("forced", ["--no-launch", "--force"], ("ok",), {}, None, INSTALLED, None),
                ("current by its signature", ["--no-launch"], ("ok",), {"PRISMORA_ARCHIVE_PUBLIC_KEYS": public_key},
                 None, INSTALLED, None),
                ("unknown option", ["--bogus"], ("ok",), {}, None, USAGE, None),
                ("terms not accepted", ["--drop-accept-terms"], ("ok",), {}, None, USAGE, None),
                ("--json without --unattended", ["--drop-unattended"], ("ok",), {}, None, USAGE, None),
                ("unknown language", ["--language", "xx"], ("ok",), {}, None, USAGE, None),
                ("archive missing", ["--archive", at("missing.zip")], ("ok",), {}, None, USAGE, "usage"),
                ("archive is a folder", ["--archive", at("cache")], ("ok",), {}, None, USAGE, "usage"),
                ("archive is /dev/zero", ["--archive", at("zero.zip")], ("ok",), {}, None, USAGE, "usage"),
                ("archive is a FIFO", ["--archive", at("fifo")], ("ok",), {}, None, USAGE, "usage"),
                ("archive too large", ["--archive", archive, "--force"], ("ok",),
                 {"PRISMORA_ARCHIVE_SIZE": str(size - 1)}, None, VERIFICATION, "verification"),
                ("local archive", ["--archive", archive, "--force", "--no-launch"], ("ok",), {}, None, INSTALLED,
                 None),
                ("applications folder is a file", ["--applications-dir", at("a-file")], ("ok",), {}, None, USAGE,
                 "usage"),
                ("no mirror reachable", [], ("status/404",), {}, None, NETWORK, "server"),
                ("nothing but web pages", [], ("html",), {}, None, VERIFICATION, "verification"),
                ("SIGTERM while downloading", [], ("trickle",), {}, "progress", INTERRUPTED, "interrupted"),
                ("SIGTERM while installing", ["--force"], ("ok",), {}, "verified", INTERRUPTED, "interrupted"),
            ]
            if ROOT:
                rows += [
                    ("read-only applications folder", ["--applications-dir", at("readonly")], ("ok",), {}, None,
                     PERMISSION, "permission"),
                    ("full applications folder", ["--applications-dir", at("full")], ("ok",), {}, None, SPACE,
                     "write"),
                ]
            applications_default = at("apps")
            for name, args, modes, extra, stop_after, expected, reason in rows:
                arguments = ["--unattended", "--accept-terms", "--json"]
                for dropped in ("--accept-terms", "--unattended"):
                    if "--drop" + dropped in args:
                        arguments.remove(dropped)
                        args = []
                if "--applications-dir" not in args:
                    arguments += ["--applications-dir", applications_default]
                env = environment(work, mirror.hosts(*modes), mirror.ca, extra)
                fetched = len([line for line in mirror.requests() if line.startswith("/ok/prismora.zip\t")])
                result = run_installer(installer, arguments + args, env, stop_after)
                fetched = len([line for line in mirror.requests() if line.startswith("/ok/prismora.zip\t")]) - fetched
                applications = args[args.index("--applications-dir") + 1] if "--applications-dir" in args \
                    else applications_default
                problems = []
                if result.code != expected:
                    problems.append("exit %d, expected %d" % (result.code, expected))
                if reason and result.last().get("reason") != reason:
                    problems.append("last event %s, expected reason %s" % (result.last(), reason))
                if expected == USAGE and not result.stderr.strip() and not result.events:
                    problems.append("no reason given")
                left = leftovers(work, applications)
                if left:
                    problems.append("left behind: %s" % left)
                bundle = os.path.join(applications, "Prismora.app")
                if os.path.exists(bundle) and not os.path.isfile(os.path.join(bundle, "Contents", "Info.plist")):
                    problems.append("a half-installed bundle")
                if name in ("already current", "current by its signature") and result.last().get("event") != "current":
                    problems.append("not told that it is current: %s" % result.events)
                if fetched != (0 if name == "current by its signature" else 1) and name.endswith("current"):
                    problems.append("the archive was requested %d times" % fetched)
                if name == "installs and starts":
                    steps = [event["event"] for event in result.events if event["event"] != "progress"]
                    if steps != ["started", "verified", "installed", "launched"] \
                            or result.events[-2] != {"event": "installed", "path": bundle, "version": "1.0.0"}:
                        problems.append("unexpected events %s" % result.events)
                    for _ in range(50):
                        if os.path.exists(at("started")):
                            break
                        time.sleep(0.1)
                    else:
                        problems.append("the product did not start")
                if problems:
                    failures.append("%s: %s\n  stdout: %s\n  stderr: %s" % (name, "; ".join(problems),
                                                                           result.stdout[-600:], result.stderr[-600:]))
                print("%-32s exit %3d  %s" % (name, result.code, "FAIL" if problems else "ok"), flush=True)
    finally:
        for mount in mounts:
            subprocess.run(["umount", "-l", mount])
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
