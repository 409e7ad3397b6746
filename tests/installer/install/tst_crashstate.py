#!/usr/bin/env python3
"""Crash states of an install: what a power cut at any moment can leave.

Usage: tst_crashstate.py <crashstate_child> <demo Prismora.app folder>

An old copy of a small bundle (files, a link, an executable) is installed and
flushed to disk; then a new one is installed over it under strace, once
exchanging the copies and once moving the old copy aside. The trace is
replayed on a model of inodes (folders map names to inodes, files hold bytes
and a mode; descriptors are followed to their inodes).

The crash model. After each traced operation the machine may lose power:
  * a file's data survives whole once the file was fsync'ed or fdatasync'ed;
    until then it may be what was last synced (empty for a new file), cut
    (its first half) or whole, all unsynced files alike;
  * each directory operation (create, mkdir, symlink, rename, exchange,
    unlink, rmdir) is atomic. It survives once a folder it changed was
    fsync'ed; until then it may be lost or kept. It is only kept when what it
    builds on is (the creation of its folder, the earlier change of each name
    it changes, the removals that emptied a folder it removes), and making it
    durable makes those durable too;
  * syncfs and sync make everything durable.
Instead of every subset of the unsynced directory operations, each crash
point takes each in-order prefix of them and each "all kept but one lost",
times the three data outcomes; identical states are checked once.

Each state is written into a real folder and InstallTransaction::recover runs
on all of them. Each applications folder must then hold exactly the old copy
or exactly the new one (bytes, modes and links) and no staging folder or
journal. The trace must also show every file and name of the new copy and
the journal on disk at the swap, and the swap on disk before any deletion.
Exit status 77 (skipped) when strace cannot trace here.
"""

import hashlib
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import zipfile

TRACED = ("openat,open,creat,close,write,pwrite64,rename,renameat,renameat2,mkdir,mkdirat,unlink,unlinkat,"
          "rmdir,symlink,symlinkat,fsync,fdatasync,syncfs,sync,ftruncate,fchmod,fchmodat,chmod,dup,dup2,dup3,"
          "fcntl,writev,pwritev,pwritev2,copy_file_range,sendfile,fallocate,truncate,link,linkat")
UNMODELLED = {"writev", "pwritev", "pwritev2", "copy_file_range", "sendfile", "fallocate", "truncate", "link",
              "linkat", "creat", "open"}
BUNDLE = "Prismora.app"
CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(\d+)")


class Inode:
    def __init__(self, kind, mode, data=b"", target=None, entries=None):
        self.kind, self.mode, self.data, self.target = kind, mode, data, target
        self.entries = dict(entries or {}) if kind == "d" else None
        self.synced = (data, mode)

    def copy(self):
        return Inode(self.kind, self.mode, self.data, self.target, self.entries)


class Op:
    """A directory operation: "create" (of inode), "remove", "rename" or "exchange"."""

    def __init__(self, kind, source, target=None, ino=None, other=None, inode=None):
        self.kind, self.source, self.target, self.ino, self.other, self.inode = kind, source, target, ino, other, inode
        self.deps = set()

    def folders(self):
        return {self.source[0]} | ({self.target[0]} if self.target else set())

    def apply(self, inodes):
        """Applies the operation to @p inodes when what it acts on is still there."""
        (sf, sn), (tf, tn) = self.source, self.target or (None, None)
        if sf not in inodes or (tf is not None and tf not in inodes):
            return
        if self.kind == "create":
            if sn not in inodes[sf].entries:
                inodes[self.ino] = self.inode.copy()
                inodes[sf].entries[sn] = self.ino
        elif inodes[sf].entries.get(sn) != self.ino:
            return
        elif self.kind == "remove":
            del inodes[sf].entries[sn]
        elif self.kind == "exchange":
            if inodes[tf].entries.get(tn) == self.other:
                inodes[sf].entries[sn], inodes[tf].entries[tn] = self.other, self.ino
        else:
            del inodes[sf].entries[sn]
            inodes[tf].entries[tn] = self.ino


def split_arguments(text):
    parts, depth, current, quoted = [], 0, "", False
    for char in text:
        quoted ^= char == '"'
        depth += (char in "[{") - (char in "]}") if not quoted else 0
        if char == "," and not quoted and depth == 0:
            parts.append(current.strip())
            current = ""
        else:
            current += char
    return parts + [current.strip()]


def text(argument):
    """A strace -xx string argument ("\\x2f\\x74...") as bytes; anything else unchanged."""
    if not argument.startswith('"'):
        return argument
    if not argument.endswith('"'):
        raise RuntimeError("strace cut an argument: raise -s")
    return bytes.fromhex(argument[1:-1].replace("\\x", ""))


class Trace:
    """Replays an strace log on the inode model and records its events:
    ("dir", Op), ("data", ino, bytes, mode) and ("sync", ino or None for all)."""

    def __init__(self, root, umask):
        self.root, self.umask, self.inodes, self.fds, self.events = root.encode(), umask, {}, {}, []
        self.root_ino = self.scan(root)
        self.creator, self.setter, self.emptier = {}, {}, {}

    def new(self, inode):
        self.inodes[len(self.inodes)] = inode
        return len(self.inodes) - 1

    def scan(self, path):
        info = os.lstat(path)
        if stat.S_ISLNK(info.st_mode):
            return self.new(Inode("l", 0, target=os.readlink(path)))
        if stat.S_ISREG(info.st_mode):
            with open(path, "rb") as f:
                return self.new(Inode("f", stat.S_IMODE(info.st_mode), f.read()))
        return self.new(Inode("d", stat.S_IMODE(info.st_mode),
                              entries={n: self.scan(os.path.join(path, n)) for n in sorted(os.listdir(path))}))

    def resolve(self, dirfd, path, parent=False):
        """Inode of @p path (or (folder, name) with @p parent); None outside the model."""
        if path.startswith(b"/"):
            if path != self.root and not path.startswith(self.root + b"/"):
                return None
            ino, path = self.root_ino, path[len(self.root):]
        elif dirfd == "AT_FDCWD" or int(dirfd) not in self.fds:
            return None
        else:
            ino = self.fds[int(dirfd)][0]
        parts = [p.decode("utf-8", "surrogateescape") for p in path.split(b"/") if p not in (b"", b".")]
        for part in parts[:-1] if parent else parts:
            ino = self.inodes[ino].entries.get(part) if self.inodes[ino].kind == "d" else None
            if ino is None:
                return None
        return (ino, parts[-1]) if parent and parts else None if parent else ino

    def record(self, op, entries, emptied=()):
        for folder, name in entries:
            op.deps |= {self.creator.get(folder), self.setter.get((folder, name))}
            self.setter[(folder, name)] = op
        for folder in emptied:
            self.emptier.setdefault(folder, set()).add(op)
        op.deps.discard(None)
        op.apply(self.inodes)
        self.events.append(("dir", op))

    def create(self, where, inode):
        op = Op("create", where, ino=len(self.inodes), inode=inode)
        self.inodes[op.ino] = inode
        self.creator[op.ino] = op
        self.record(op, [where])
        return op.ino

    def call(self, name, args, result):
        a = [text(x) for x in args]
        if name in UNMODELLED and any(isinstance(x, bytes) and x.startswith(self.root) for x in a):
            raise RuntimeError(name + " inside the model is not modelled")
        fd = self.fds.get(int(a[0])) if a and a[0].isdigit() else None
        if name == "openat":
            ino = self.resolve(a[0], a[1])
            where = self.resolve(a[0], a[1], parent=True)
            if ino is None and "O_CREAT" in a[2] and where:
                ino = self.create(where, Inode("f", int(a[3], 8) & ~self.umask))
            elif ino is not None and "O_TRUNC" in a[2] and self.inodes[ino].data:
                self.data(ino, b"")
            if ino is not None:
                self.fds[result] = [ino, 0]
        elif name == "close":
            self.fds.pop(int(a[0]), None)
        elif fd and (name in ("dup", "dup2", "dup3") or name == "fcntl" and "F_DUPFD" in a[1]):
            self.fds[result] = fd
        elif fd and name in UNMODELLED:
            raise RuntimeError(name + " inside the model is not modelled")
        elif fd and name in ("write", "pwrite64"):
            at = fd[1] if name == "write" else int(a[3])
            old = self.inodes[fd[0]].data
            self.data(fd[0], old[:at].ljust(at, b"\0") + a[1][:result] + old[at + result:])
            fd[1] += result if name == "write" else 0
        elif fd and name == "ftruncate":
            self.data(fd[0], self.inodes[fd[0]].data[: int(a[1])].ljust(int(a[1]), b"\0"))
        elif name in ("fchmod", "chmod", "fchmodat"):
            ino = fd and fd[0] if name == "fchmod" else self.resolve(*(["AT_FDCWD"] + a)[-3:-1])
            if ino is not None:
                self.data(ino, mode=int(a[2 if name == "fchmodat" else 1], 8))
        elif name in ("mkdir", "mkdirat", "symlink", "symlinkat"):
            where = self.resolve(*((["AT_FDCWD"] + a)[-3:-1] if name.startswith("mkdir") else
                                   ["AT_FDCWD", a[1]] if name == "symlink" else a[1:3]), parent=True)
            if where:
                self.create(where, Inode("d", int(a[-1], 8) & ~self.umask) if name.startswith("mkdir") else
                            Inode("l", 0, target=a[0].decode("utf-8", "surrogateescape")))
        elif name in ("unlink", "unlinkat", "rmdir"):
            where = self.resolve(*(a[:2] if name == "unlinkat" else ["AT_FDCWD", a[0]]), parent=True)
            if where:
                ino = self.inodes[where[0]].entries[where[1]]
                op = Op("remove", where, ino=ino)
                op.deps |= self.emptier.get(ino, set())
                self.record(op, [where], [where[0]])
        elif name.startswith("rename"):
            paths = [["AT_FDCWD", a[0]], ["AT_FDCWD", a[1]]] if name == "rename" else [a[0:2], a[2:4]]
            source, target = (self.resolve(*p, parent=True) for p in paths)
            if bool(source) != bool(target):
                raise RuntimeError("a rename crosses the model's edge")
            if source:
                exchange = name == "renameat2" and "RENAME_EXCHANGE" in a[4]
                ino, other = self.inodes[source[0]].entries[source[1]], self.inodes[target[0]].entries.get(target[1])
                op = Op("exchange" if exchange else "rename", source, target, ino, other)
                self.record(op, [source, target], [source[0]] + ([target[0]] if other is not None else []))
        elif fd and name in ("fsync", "fdatasync"):
            self.events.append(("sync", fd[0]))
        elif name in ("syncfs", "sync"):
            self.events.append(("sync", None))

    def data(self, ino, data=None, mode=None):
        inode = self.inodes[ino]
        inode.data, inode.mode = inode.data if data is None else data, inode.mode if mode is None else mode
        self.events.append(("data", ino, inode.data, inode.mode))

    def parse(self, log):
        pending = {}
        for line in log.splitlines():
            pid = line.split(None, 1)[0]
            if line.endswith("<unfinished ...>"):
                pending[pid] = line[: -len("<unfinished ...>")]
                continue
            resumed = re.match(r"^\d+\s+<\.\.\. \w+ resumed>(.*)$", line)
            match = CALL.match(pending.pop(pid, "") + resumed.group(1) if resumed else line)
            if match:
                self.call(match.group(2), split_arguments(match.group(3)), int(match.group(4)))


def persist(op, durable):
    stack = [op]
    while stack:
        current = stack.pop()
        if current not in durable:
            durable.add(current)
            stack.extend(current.deps)


def crash_points(events):
    """(event index, durable operations, unsynced operations in order) after each event."""
    durable, done = set(), []
    for index, event in enumerate(events):
        if event[0] == "dir":
            done.append(event[1])
        elif event[0] == "sync":
            for op in done:
                if event[1] is None or event[1] in op.folders():
                    persist(op, durable)
        yield index, set(durable), [op for op in done if op not in durable]


def crash_state(initial, events, kept, outcome):
    """The inodes a crash after @p events leaves when @p kept are the operations that reached the disk."""
    inodes, alive = {ino: inode.copy() for ino, inode in initial.items()}, set()
    for event in events:
        if event[0] == "dir" and event[1] in kept and event[1].deps <= alive:
            alive.add(event[1])
            event[1].apply(inodes)
        elif event[0] == "data" and event[1] in inodes:
            inodes[event[1]].data, inodes[event[1]].mode = event[2], event[3]
        elif event[0] == "sync":
            for ino in [event[1]] if event[1] is not None else list(inodes):
                if ino in inodes:
                    inodes[ino].synced = (inodes[ino].data, inodes[ino].mode)
    for inode in inodes.values():
        if inode.kind == "f" and outcome == "empty":
            inode.data, inode.mode = inode.synced
        elif inode.kind == "f" and outcome == "cut" and (inode.data, inode.mode) != inode.synced:
            inode.data = inode.data[: len(inode.data) // 2]
    return inodes


def describe_model(inodes, ino, prefix=""):
    """{relative path: (kind, mode, bytes or link target)} below inode @p ino."""
    found = {}
    for name, child in sorted(inodes[ino].entries.items()):
        item = inodes[child]
        found[prefix + "/" + name] = (item.kind, item.mode, item.target if item.kind == "l" else item.data)
        if item.kind == "d":
            found.update(describe_model(inodes, child, prefix + "/" + name))
    return found


def describe(folder):
    """The same description of a real folder; None when it is not there."""
    if not os.path.isdir(folder):
        return None
    trace = Trace(folder, 0)
    return describe_model(trace.inodes, trace.root_ino)


def materialise(description, folder):
    for path, (kind, mode, content) in sorted(description.items()):
        if kind == "d":
            os.mkdir(folder + path)
        elif kind == "l":
            os.symlink(content, folder + path)
        else:
            with open(folder + path, "wb") as f:
                f.write(content)
    for path, (kind, mode, content) in sorted(description.items(), reverse=True):
        if kind != "l":
            os.chmod(folder + path, mode)


def make_archive(path, demo, version):
    """A small bundle: the demo's Info.plist and executable, data files of @p version and a link."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        def add(name, content, mode):
            info = zipfile.ZipInfo("%s/Contents/%s" % (BUNDLE, name))
            info.external_attr = mode << 16
            archive.writestr(info, content)
        for name in ("Info.plist", "MacOS/Prismora"):
            with open(os.path.join(demo, "Contents", name), "rb") as f:
                add(name, f.read(), os.stat(f.name).st_mode)
        add("Resources/data-%s.txt" % version, version * 300, stat.S_IFREG | 0o644)
        add("Resources/shared.txt", "shared, version %s\n" % version * 40, stat.S_IFREG | 0o644)
        add("Resources/Base.lproj/strings.txt", "strings of %s\n" % version, stat.S_IFREG | 0o600)
        add("Resources/current.txt", "data-%s.txt" % version, stat.S_IFLNK | 0o777)


def check_order(events, apps):
    """Why the syncs around the swap are wrong, or None."""
    moves, unsynced_data = [], set()
    for index, durable, unsynced in crash_points(events):
        kind, op = events[index][0], events[index][1]
        if kind == "data":
            unsynced_data.add(op)
        elif kind == "sync":
            unsynced_data = unsynced_data - {op} if op is not None else set()
        elif op.kind in ("rename", "exchange") and (apps, BUNDLE) in (op.source, op.target):
            if not moves and (len(unsynced) > 1 or unsynced_data):
                return "%d names and %d files were not on disk at the swap" % (len(unsynced) - 1, len(unsynced_data))
            moves.append(op)
        elif op.kind == "remove" and any(move not in durable for move in moves):
            return "something was deleted before the swap was on disk"
    return None if moves else "no swap in the trace"


def run_scenario(child, demo, top, exchange):
    label = "exchange" if exchange == "1" else "move aside"
    root = os.path.join(top, "root")
    apps, unpack = os.path.join(root, "apps"), os.path.join(root, "work", "unpack")
    os.makedirs(apps)
    os.makedirs(os.path.dirname(unpack))
    for version in ("old", "new"):
        make_archive(os.path.join(top, version + ".zip"), demo, version)
    subprocess.run([child, "install", os.path.join(top, "old.zip"), unpack, apps, exchange], check=True)
    os.sync()
    old = describe(os.path.join(apps, BUNDLE))

    umask = os.umask(0)
    os.umask(umask)
    trace = Trace(root, umask)
    initial = {ino: inode.copy() for ino, inode in trace.inodes.items()}
    log = os.path.join(top, "trace.txt")
    # LeakSanitizer cannot run under ptrace; the untraced runs still check for leaks.
    traced_env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    subprocess.run(["strace", "-f", "-qq", "-s", "65536", "-xx", "-o", log, "-e", "trace=" + TRACED, child,
                    "install", os.path.join(top, "new.zip"), unpack, apps, exchange], check=True, env=traced_env)
    new = describe(os.path.join(apps, BUNDLE))
    with open(log) as f:
        trace.parse(f.read())
    apps_ino = initial[trace.root_ino].entries["apps"]
    if new == old:
        raise RuntimeError("the traced install left the old copy")
    failures = []
    problem = check_order(trace.events, apps_ino)
    if problem:
        failures.append("%s: order: %s" % (label, problem))

    folders = {}
    for index, durable, unsynced in crash_points(trace.events):
        choices = [unsynced[:n] for n in range(len(unsynced) + 1)]
        choices += [unsynced[:n] + unsynced[n + 1:] for n in range(len(unsynced) - 1)]
        for choice in choices:
            for outcome in ("whole", "empty", "cut"):
                state = crash_state(initial, trace.events[: index + 1], durable | set(choice), outcome)
                description = describe_model(state, apps_ino)
                key = hashlib.sha256(repr(sorted(description.items())).encode()).hexdigest()
                if key not in folders:
                    folders[key] = os.path.join(top, "state-%d" % len(folders))
                    os.mkdir(folders[key])
                    materialise(description, folders[key])
    folders = list(folders.values())
    for start in range(0, len(folders), 500):
        subprocess.run([child, "recover"] + folders[start:start + 500], check=True)

    broken = []
    for folder in folders:
        bundle, names = describe(os.path.join(folder, BUNDLE)), sorted(os.listdir(folder))
        if bundle not in (old, new) or names != [BUNDLE]:
            broken.append("%s holds %s; names %s" % (folder, "neither copy" if bundle is None else "the old copy"
                          if bundle == old else "the new copy" if bundle == new else "a mix or a damaged copy", names))
    print("%s: %d events (%d directory operations and syncs), %d distinct crash states, %d broken" % (
        label, len(trace.events), sum(e[0] != "data" for e in trace.events), len(folders), len(broken)))
    if broken:
        failures += ["%s: %s" % (label, b) for b in broken[:3]]
        failures.append("%s: %d of %d states broken" % (label, len(broken), len(folders)))
    return failures


def main():
    if subprocess.run(["strace", "-f", "-qq", "-o", os.devnull, "true"], capture_output=True).returncode != 0:
        print("SKIP: strace cannot trace here")
        return 77
    scratch = tempfile.mkdtemp(prefix="tst_crashstate.")
    try:
        failures = []
        for exchange in ("1", "0"):
            failures += run_scenario(sys.argv[1], sys.argv[2], tempfile.mkdtemp(dir=scratch), exchange)
        for failure in failures:
            print("FAIL: " + failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
