#!/usr/bin/env python3
"""Crash states of an install: what a power cut at any moment can leave.

Usage: tst_crashstate.py <crashstate_child> <demo Prismora.app folder>

An old copy of a small bundle (files, a link, an executable) is installed
and flushed to disk; then a new one is installed over it under strace, once
exchanging the copies and once moving the old copy aside. The trace becomes a
list of operations on a model of inodes (folders map names to inodes, files
hold bytes and a mode; descriptors are followed to their inodes).

The crash model. After each operation the machine may lose power. Then:
  * data written to a file survives whole once the file was fsync'ed or
    fdatasync'ed; until then it may be empty (what was last synced), cut
    (its first half) or whole. All files take the same one of these three;
  * each directory operation (create, mkdir, symlink, rename, exchange,
    unlink, rmdir) is atomic. It survives once a folder it changed was
    fsync'ed; until then it may be lost or kept. An operation is only kept
    when the operations it builds on are (the creation of the folder it
    works in or of the inode it moves, the earlier change of the name it
    replaces, the removals that emptied a folder it removes), and making one
    durable makes those durable too;
  * syncfs or sync persists everything.
Rather than every subset of the unsynced directory operations, each crash
point takes every in-order prefix of them and every "all kept but one lost",
times the three data outcomes; identical states are checked once.

Each state is written into a real folder and InstallTransaction::recover runs
on all of them. Each applications folder must then hold exactly the old copy
or exactly the new one (every file's bytes and mode, every link), and no
staging folder or journal. The trace must also show the new copy and the
journal on disk before the copies are swapped, and the swap on disk before
the old copy is deleted.

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

TRACED = ("openat,open,creat,close,write,pwrite64,writev,pwritev,pwritev2,rename,renameat,renameat2,"
          "mkdir,mkdirat,unlink,unlinkat,rmdir,symlink,symlinkat,link,linkat,fsync,fdatasync,syncfs,sync,"
          "sync_file_range,ftruncate,truncate,fchmod,fchmodat,chmod,copy_file_range,sendfile,fallocate,"
          "dup,dup2,dup3,fcntl,chdir,fchdir")
BUNDLE = "Prismora.app"
LEFTOVER_PREFIX = ".prismora-install"


class Inode:
    def __init__(self, kind, mode, data=b"", target=None):
        self.kind, self.mode, self.data, self.target = kind, mode, data, target
        self.entries = {} if kind == "d" else None
        self.synced_data, self.synced_mode = data, mode


class Op:
    """A directory operation: entry changes, in the terms of the live model."""

    def __init__(self, kind, **fields):
        self.kind = kind
        self.__dict__.update(fields)
        self.deps = set()


def decode(text):
    """Bytes of a strace -xx string ("\\x2f\\x74...")."""
    return bytes.fromhex(text.replace("\\x", ""))


class Trace:
    """Replays an strace log on the inode model, recording what can be lost."""

    def __init__(self, root, umask):
        self.root, self.umask = root, umask
        self.inodes = {}
        self.root_ino = self._scan(root)
        self.fds = {}
        self.cwd = None
        self.events = []  # ("dir", Op) | ("data", ino, bytes, mode) | ("sync", ino or None)
        self.creator, self.setter, self.emptier = {}, {}, {}

    def _new(self, inode):
        ino = len(self.inodes)
        self.inodes[ino] = inode
        return ino

    def _scan(self, path):
        info = os.lstat(path)
        if stat.S_ISDIR(info.st_mode):
            ino = self._new(Inode("d", stat.S_IMODE(info.st_mode)))
            for name in sorted(os.listdir(path)):
                self.inodes[ino].entries[name] = self._scan(os.path.join(path, name))
            return ino
        if stat.S_ISLNK(info.st_mode):
            return self._new(Inode("l", 0o777, target=os.readlink(path)))
        with open(path, "rb") as f:
            return self._new(Inode("f", stat.S_IMODE(info.st_mode), f.read()))

    # Paths and descriptors.

    def _start(self, dirfd, path):
        """(folder inode, relative path) to resolve @p path from; None outside the model."""
        if path.startswith("/"):
            if path == self.root:
                return self.root_ino, ""
            if not path.startswith(self.root + "/"):
                return None
            return self.root_ino, path[len(self.root) + 1:]
        if dirfd == "AT_FDCWD":
            return self._start(None, os.path.join(self.cwd, path)) if self.cwd else None
        fd = self.fds.get(int(dirfd))
        return (fd[0], path) if fd else None

    def parent(self, dirfd, path):
        """(folder inode, last name) of @p path, or None when outside the model or missing."""
        start = self._start(dirfd, path)
        if start is None:
            return None
        ino, rest = start
        parts = [p for p in rest.split("/") if p not in ("", ".")]
        if not parts:
            return None
        for part in parts[:-1]:
            inode = self.inodes[ino]
            if inode.kind != "d" or part not in inode.entries:
                return None
            ino = inode.entries[part]
        return (ino, parts[-1]) if self.inodes[ino].kind == "d" else None

    def lookup(self, dirfd, path):
        start = self._start(dirfd, path)
        if start is not None and start[1].strip("/.") == "":
            return start[0]
        found = self.parent(dirfd, path)
        return found and self.inodes[found[0]].entries.get(found[1])

    # Directory operations on the live model, recorded with what they build on.

    def dir_op(self, op):
        self.apply(op, self.inodes)
        self.events.append(("dir", op))

    def _entry_deps(self, op, folder, name):
        op.deps.add(self.creator.get(folder))
        op.deps.add(self.setter.get((folder, name)))

    def create(self, folder, name, inode):
        ino = self._new(inode)
        op = Op("create", folder=folder, name=name, ino=ino, inode=inode)
        self._entry_deps(op, folder, name)
        self.creator[ino] = op
        self.setter[(folder, name)] = op
        self.dir_op(op)
        return ino

    def remove(self, folder, name):
        ino = self.inodes[folder].entries[name]
        op = Op("remove", folder=folder, name=name, ino=ino)
        self._entry_deps(op, folder, name)
        if self.inodes[ino].kind == "d":
            op.deps.update(self.emptier.get(ino, ()))
        self.emptier.setdefault(folder, set()).add(op)
        self.setter[(folder, name)] = op
        self.dir_op(op)

    def rename(self, source, target, exchange):
        ino = self.inodes[source[0]].entries[source[1]]
        other = self.inodes[target[0]].entries.get(target[1])
        op = Op("exchange" if exchange else "rename", source=source, target=target, ino=ino, other=other)
        for folder, name in (source, target):
            self._entry_deps(op, folder, name)
        self.emptier.setdefault(source[0], set()).add(op)
        if other is not None and not exchange:
            self.emptier.setdefault(target[0], set()).add(op)
        self.setter[source] = self.setter[target] = op
        self.dir_op(op)

    @staticmethod
    def apply(op, inodes):
        """Applies @p op to @p inodes when what it acts on is still there."""
        if op.kind == "create":
            if op.folder in inodes and op.name not in inodes[op.folder].entries:
                inodes[op.ino] = Inode(op.inode.kind, op.inode.mode, op.inode.data, op.inode.target)
                inodes[op.folder].entries[op.name] = op.ino
        elif op.kind == "remove":
            if op.folder in inodes and inodes[op.folder].entries.get(op.name) == op.ino:
                del inodes[op.folder].entries[op.name]
        else:
            (sf, sn), (tf, tn) = op.source, op.target
            if sf not in inodes or tf not in inodes or inodes[sf].entries.get(sn) != op.ino:
                return
            if op.kind == "exchange":
                if inodes[tf].entries.get(tn) != op.other:
                    return
                inodes[sf].entries[sn], inodes[tf].entries[tn] = op.other, op.ino
            else:
                del inodes[sf].entries[sn]
                inodes[tf].entries[tn] = op.ino

    # Data.

    def data(self, ino, data=None, mode=None):
        inode = self.inodes[ino]
        if data is not None:
            inode.data = data
        if mode is not None:
            inode.mode = mode
        self.events.append(("data", ino, inode.data, inode.mode))

    def write(self, fd, payload, offset=None):
        ino, position = self.fds[fd]
        at = position if offset is None else offset
        old = self.inodes[ino].data
        self.data(ino, old[:at].ljust(at, b"\0") + payload + old[at + len(payload):])
        if offset is None:
            self.fds[fd] = (ino, at + len(payload))

    # The strace log.

    CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+|0x[0-9a-f]+)")

    def parse(self, log):
        pending = {}
        for line in log.splitlines():
            pid = line.split(None, 1)[0]
            if line.endswith("<unfinished ...>"):
                pending[pid] = line[: -len("<unfinished ...>")].rstrip()
                continue
            resumed = re.match(r"^(\d+)\s+<\.\.\. \w+ resumed>(.*)$", line)
            if resumed:
                line = pending.pop(pid, "") + resumed.group(2)
            match = self.CALL.match(line)
            if match and not match.group(4).startswith("-"):
                self.call(match.group(2), split_arguments(match.group(3)), int(match.group(4), 0))

    def call(self, name, args, result):
        strings = [decode(a[1:-1]).decode("utf-8", "surrogateescape") if a.startswith('"') else a for a in args]
        if name in ("open", "creat", "openat"):
            dirfd, path, flags = ("AT_FDCWD", strings[0], "O_CREAT|O_WRONLY|O_TRUNC") if name == "creat" else (
                ("AT_FDCWD",) + tuple(strings[:2]) if name == "open" else tuple(strings[:3]))
            ino = self.lookup(dirfd, path)
            if ino is None and "O_CREAT" in flags:
                found = self.parent(dirfd, path)
                if found:
                    mode = int(strings[-1], 8) & 0o7777 & ~self.umask
                    ino = self.create(found[0], found[1], Inode("f", mode))
            elif ino is not None and "O_TRUNC" in flags and self.inodes[ino].data:
                self.data(ino, b"")
            if ino is not None:
                self.fds[result] = (ino, 0)
        elif name == "close":
            self.fds.pop(int(args[0]), None)
        elif name in ("dup", "dup2", "dup3") or (name == "fcntl" and "F_DUPFD" in args[1]):
            if int(args[0]) in self.fds:
                self.fds[result] = self.fds[int(args[0])]
        elif name in ("write", "pwrite64") and int(args[0]) in self.fds:
            payload = decode(args[1][1:-1])
            if len(payload) != result:
                raise RuntimeError("a write was shown cut: raise strace -s")
            self.write(int(args[0]), payload, int(args[3]) if name == "pwrite64" else None)
        elif name in ("writev", "pwritev", "pwritev2", "copy_file_range", "sendfile", "fallocate", "link",
                      "linkat", "truncate", "chdir", "fchdir") and self.touches(name, strings):
            raise RuntimeError("%s inside the model is not modelled" % name)
        elif name == "ftruncate" and int(args[0]) in self.fds:
            ino = self.fds[int(args[0])][0]
            self.data(ino, self.inodes[ino].data[: int(args[1])].ljust(int(args[1]), b"\0"))
        elif name in ("fchmod", "chmod", "fchmodat"):
            ino = (self.fds.get(int(args[0]), (None,))[0] if name == "fchmod"
                   else self.lookup("AT_FDCWD", strings[0]) if name == "chmod" else self.lookup(*strings[:2]))
            if ino is not None:
                self.data(ino, mode=int(strings[-2 if name == "fchmodat" and len(strings) > 3 else -1], 8))
        elif name in ("mkdir", "mkdirat", "symlink", "symlinkat"):
            dirfd, path = {"mkdir": ("AT_FDCWD", strings[0]), "mkdirat": strings[:2],
                           "symlink": ("AT_FDCWD", strings[1]), "symlinkat": strings[1:3]}[name]
            found = self.parent(dirfd, path)
            if found:
                inode = Inode("d", int(strings[-1], 8) & ~self.umask) if name.startswith("mkdir") else Inode(
                    "l", 0o777, target=strings[0])
                self.create(found[0], found[1], inode)
        elif name in ("unlink", "unlinkat", "rmdir"):
            found = self.parent(*(("AT_FDCWD", strings[0]) if name != "unlinkat" else strings[:2]))
            if found:
                self.remove(*found)
        elif name in ("rename", "renameat", "renameat2"):
            paths = (("AT_FDCWD", strings[0]), ("AT_FDCWD", strings[1])) if name == "rename" else (
                strings[0:2], strings[2:4])
            source, target = self.parent(*paths[0]), self.parent(*paths[1])
            if source and target:
                self.rename(source, target, name == "renameat2" and "RENAME_EXCHANGE" in args[4])
            elif source or target:
                raise RuntimeError("a rename leaves the model")
        elif name in ("fsync", "fdatasync") and int(args[0]) in self.fds:
            self.events.append(("sync", self.fds[int(args[0])][0]))
        elif name in ("syncfs", "sync"):
            self.events.append(("sync", None))

    def touches(self, name, strings):
        if name in ("link", "linkat", "truncate", "chdir"):
            return any(s.startswith(self.root) for s in strings)
        return any(s.isdigit() and int(s) in self.fds for s in strings[:1])


def split_arguments(text):
    """Top-level arguments of a strace call (strings, flags, braces)."""
    parts, depth, current, quoted = [], 0, "", False
    for i, char in enumerate(text):
        if char == '"' and (i == 0 or text[i - 1] != "\\"):
            quoted = not quoted
        elif not quoted and char in "[{":
            depth += 1
        elif not quoted and char in "]}":
            depth -= 1
        elif not quoted and depth == 0 and char == ",":
            parts.append(current.strip())
            current = ""
            continue
        current += char
    parts.append(current.strip())
    return parts


class Crashes:
    """Enumerates the states a crash after each event can leave."""

    def __init__(self, trace, initial):
        self.trace, self.initial = trace, initial

    @staticmethod
    def persist(op, durable):
        stack = [op]
        while stack:
            current = stack.pop()
            if current is not None and current not in durable:
                durable.add(current)
                stack.extend(current.deps)

    def points(self):
        """For each crash point: (event index, durable ops, unsynced ops in order)."""
        durable, done = set(), []
        for index, event in enumerate(self.trace.events):
            if event[0] == "dir":
                done.append(event[1])
            elif event[0] == "sync":
                for op in done:
                    if event[1] is None or event[1] in touched_folders(op):
                        self.persist(op, durable)
            yield index, set(durable), [op for op in done if op not in durable]

    def state(self, index, kept, outcome):
        """Inodes after events [0, index] with the directory operations in @p kept."""
        inodes = copy_inodes(self.initial)
        alive = set()
        for event in self.trace.events[: index + 1]:
            if event[0] == "dir":
                op = event[1]
                if op in kept and all(dep is None or dep in alive for dep in op.deps):
                    alive.add(op)
                    Trace.apply(op, inodes)
            elif event[0] == "data" and event[1] in inodes:
                inodes[event[1]].data, inodes[event[1]].mode = event[2], event[3]
            elif event[0] == "sync":
                for ino in [event[1]] if event[1] is not None else list(inodes):
                    if ino in inodes:
                        inodes[ino].synced_data, inodes[ino].synced_mode = inodes[ino].data, inodes[ino].mode
        for inode in inodes.values():
            if inode.kind == "f" and (inode.data, inode.mode) != (inode.synced_data, inode.synced_mode):
                if outcome == "empty":
                    inode.data, inode.mode = inode.synced_data, inode.synced_mode
                elif outcome == "cut":
                    inode.data = inode.data[: len(inode.data) // 2]
        return inodes

    def states(self):
        for index, durable, unsynced in self.points():
            choices = [unsynced[:n] for n in range(len(unsynced) + 1)]
            choices += [unsynced[:n] + unsynced[n + 1:] for n in range(len(unsynced) - 1)]
            for choice in choices:
                for outcome in ("whole", "empty", "cut"):
                    yield self.state(index, durable | set(choice), outcome)


def touched_folders(op):
    if op.kind in ("create", "remove"):
        return {op.folder}
    return {op.source[0], op.target[0]}


def copy_inodes(inodes):
    copied = {}
    for ino, inode in inodes.items():
        twin = Inode(inode.kind, inode.mode, inode.data, inode.target)
        if inode.kind == "d":
            twin.entries = dict(inode.entries)
        copied[ino] = twin
    return copied


def describe_model(inodes, ino, path=""):
    """{relative path: (kind, mode, bytes or link target)} below inode @p ino."""
    inode, found = inodes[ino], {}
    for name, child in sorted(inode.entries.items()):
        item = inodes[child]
        relative = path + "/" + name
        found[relative] = (item.kind, item.mode if item.kind != "l" else 0,
                           item.target if item.kind == "l" else item.data if item.kind == "f" else None)
        if item.kind == "d":
            found.update(describe_model(inodes, child, relative))
    return found


def describe(folder):
    """The same description of a real folder."""
    found = {}
    for base, folders, files in os.walk(folder):
        for name in sorted(folders + files):
            path = os.path.join(base, name)
            info = os.lstat(path)
            relative = path[len(folder):]
            if stat.S_ISLNK(info.st_mode):
                found[relative] = ("l", 0, os.readlink(path))
            elif stat.S_ISDIR(info.st_mode):
                found[relative] = ("d", stat.S_IMODE(info.st_mode), None)
            else:
                with open(path, "rb") as f:
                    found[relative] = ("f", stat.S_IMODE(info.st_mode), f.read())
    return found


def materialise(description, folder):
    for path, (kind, mode, content) in sorted(description.items()):
        target = folder + path
        if kind == "d":
            os.mkdir(target, 0o700)
        elif kind == "l":
            os.symlink(content, target)
        else:
            with open(target, "wb") as f:
                f.write(content)
    for path, (kind, mode, content) in sorted(description.items(), reverse=True):
        if kind != "l":
            os.chmod(folder + path, mode)


def make_archive(path, demo, version):
    """A zip of a small bundle: the demo's Info.plist and executable, data files and a link."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for folder, names in (("Contents", ["Info.plist"]), ("Contents/MacOS", ["Prismora"])):
            for name in names:
                source = os.path.join(demo, folder, name)
                info = zipfile.ZipInfo("%s/%s/%s" % (BUNDLE, folder, name))
                info.external_attr = (os.stat(source).st_mode & 0xFFFF) << 16
                with open(source, "rb") as f:
                    archive.writestr(info, f.read())
        files = {"Contents/Resources/data-%s.txt" % version: version * 300,
                 "Contents/Resources/shared.txt": "shared, version %s\n" % version * 40,
                 "Contents/Resources/Base.lproj/strings.txt": "strings of %s\n" % version}
        for name, text in files.items():
            info = zipfile.ZipInfo("%s/%s" % (BUNDLE, name))
            info.external_attr = (stat.S_IFREG | 0o644) << 16
            archive.writestr(info, text)
        link = zipfile.ZipInfo("%s/Contents/Resources/current.txt" % BUNDLE)
        link.external_attr = (stat.S_IFLNK | 0o777) << 16
        archive.writestr(link, "data-%s.txt" % version)


def check_order(trace, bundle_folder):
    """The new copy and journal are on disk at the swap; the swap is on disk before the old copy goes."""
    crashes = Crashes(trace, None)
    swap, moves, unsynced_data = None, [], set()
    for index, durable, unsynced in crashes.points():
        event = trace.events[index]
        if event[0] == "data":
            unsynced_data.add(event[1])
        elif event[0] == "sync":
            unsynced_data = unsynced_data - {event[1]} if event[1] is not None else set()
        if event[0] != "dir":
            continue
        op = event[1]
        if op.kind in ("rename", "exchange") and (bundle_folder, BUNDLE) in (op.source, op.target):
            moves.append(op)
            pending = [o for o in unsynced if o is not op]
            if swap is None and (pending or unsynced_data):
                return "%d directory operations and %d files were not on disk at the swap" % (
                    len(pending), len(unsynced_data))
            swap = op
        elif swap is not None and op.kind == "remove" and any(move not in durable for move in moves):
            return "something was deleted before the swap was on disk"
    if swap is None:
        return "no swap in the trace"
    return None


def run_scenario(child, demo, scratch, exchange):
    label = "exchange" if exchange == "1" else "move aside"
    top = tempfile.mkdtemp(dir=scratch)
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
    initial = copy_inodes(trace.inodes)
    log = os.path.join(top, "trace.txt")
    run = subprocess.run(["strace", "-f", "-qq", "-s", "65536", "-xx", "-o", log, "-e", "trace=" + TRACED, child,
                          "install", os.path.join(top, "new.zip"), unpack, apps, exchange], cwd=root)
    if run.returncode != 0:
        raise RuntimeError("the traced install failed")
    new = describe(os.path.join(apps, BUNDLE))
    if new == old:
        raise RuntimeError("the new copy is the old one")
    with open(log) as f:
        trace.cwd = root
        trace.parse(f.read())
    apps_ino = initial[trace.root_ino].entries["apps"]

    failures = []
    problem = check_order(trace, apps_ino)
    if problem:
        failures.append("%s: order: %s" % (label, problem))

    seen, folders = {}, []
    for inodes in Crashes(trace, initial).states():
        description = describe_model(inodes, apps_ino)
        key = hashlib.sha256(repr(sorted(description.items())).encode()).hexdigest()
        if key not in seen:
            folder = os.path.join(top, "state-%d" % len(seen))
            os.mkdir(folder)
            materialise(description, folder)
            seen[key] = folder
            folders.append(folder)
    for start in range(0, len(folders), 500):
        subprocess.run([child, "recover"] + folders[start:start + 500], check=True)

    broken = 0
    for folder in folders:
        left = sorted(n for n in os.listdir(folder) if n.startswith(LEFTOVER_PREFIX))
        bundle = describe(os.path.join(folder, BUNDLE)) if os.path.isdir(os.path.join(folder, BUNDLE)) else None
        if left or bundle not in (old, new) or set(os.listdir(folder)) - {BUNDLE} - set(left):
            broken += 1
            if broken <= 3:
                failures.append("%s: %s holds %s%s" % (label, folder, "neither copy" if bundle is None else
                                "the old copy" if bundle == old else "the new copy" if bundle == new else
                                "a mix of both or a damaged copy", ", leftovers %s" % left if left else ""))
    operations = sum(1 for e in trace.events if e[0] != "data")
    print("%s: %d events (%d directory operations and syncs), %d distinct crash states, %d broken"
          % (label, len(trace.events), operations, len(folders), broken))
    if broken:
        failures.append("%s: %d of %d states broken" % (label, broken, len(folders)))
    return failures


def main():
    child, demo = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="tst_crashstate.")
    try:
        probe = subprocess.run(["strace", "-f", "-qq", "-o", os.devnull, "true"], capture_output=True)
        if probe.returncode != 0:
            print("SKIP: strace cannot trace here: %s" % probe.stderr.decode(errors="replace").strip())
            return 77
        failures = []
        for exchange in ("1", "0"):
            failures += run_scenario(child, demo, scratch, exchange)
        for failure in failures:
            print("FAIL: " + failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
