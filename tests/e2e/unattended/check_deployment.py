#!/usr/bin/env python3
"""Fleet deployment with real tools: the Ansible playbook and the nginx caching mirror.

Usage: check_deployment.py <Prismora_Installer> <repository folder>

1. examples/deploy/prismora.yml runs twice against this machine (-c local)
   into a temporary applications folder: the first run must report
   "changed", the second "ok".
2. examples/deploy/nginx-cache.conf, pointed at the local HTTPS mirror,
   serves two installs: the mirror must see one archive request, and nginx
   must answer the second from its cache (HIT).
3. Through the cache, a first host that cuts the transfer half-way: the
   installer must resume with Range on the cache and install.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fixtures"))
from unattended import Mirror, environment, make_archive, run_installer  # noqa: E402


def check(condition, message):
    if not condition:
        raise SystemExit("check-deployment: " + message)


def recap(output):
    match = re.search(r"ok=(\d+)\s+changed=(\d+)\s+unreachable=(\d+)\s+failed=(\d+)", output)
    check(match, "no play recap in:\n" + output)
    return tuple(int(group) for group in match.groups())


def playbook(installer, repository, work, mirror):
    env = environment(work, mirror.hosts("ok"), mirror.ca)
    os.makedirs(os.path.join(work, "bin"))
    env.update(ANSIBLE_HOME=os.path.join(work, "ansible"), ANSIBLE_LOCAL_TEMP=os.path.join(work, "ansible", "tmp"),
               ANSIBLE_NOCOLOR="1", ANSIBLE_RETRY_FILES_ENABLED="0")
    installer_environment = ('{"installer_environment": {"PRISMORA_DOWNLOAD_HOSTS": "%s", "PRISMORA_CA_FILE": "%s", '
                             '"DO_NOT_TRACK": "1", "XDG_CACHE_HOME": "%s", "XDG_DATA_HOME": "%s", "HOME": "%s"}}'
                             % (env["PRISMORA_DOWNLOAD_HOSTS"], env["PRISMORA_CA_FILE"], env["XDG_CACHE_HOME"],
                                env["XDG_DATA_HOME"], env["HOME"]))
    command = ["ansible-playbook", "-i", "localhost,", "-c", "local",
               os.path.join(repository, "examples", "deploy", "prismora.yml"),
               "-e", "installer_source=" + installer, "-e", "installer_path=" + os.path.join(work, "bin", "installer"),
               "-e", "applications_dir=" + os.path.join(work, "fleet-apps"), "-e", installer_environment]
    for expected_changed in (1, 0):
        run = subprocess.run(command, env=env, capture_output=True, text=True, timeout=300)
        check(run.returncode == 0, "the playbook failed:\n" + run.stdout + run.stderr)
        failed = recap(run.stdout)[3]
        install_changed = "changed: [localhost]" in run.stdout.split("Install Prismora without a window")[1] \
            .split("TASK")[0]
        check(install_changed == bool(expected_changed) and failed == 0,
              "run %s: install task changed=%s, recap failed=%d" % ("one" if expected_changed else "two",
                                                                     install_changed, failed))
    check(os.path.isfile(os.path.join(work, "fleet-apps", "Prismora.app", "Contents", "Info.plist")),
          "the playbook did not install Prismora")
    print("check-deployment: the playbook installs once, then reports ok", flush=True)


class Nginx:
    """The example configuration in front of the mirror, on a free port of 127.0.0.1."""

    def __init__(self, repository, work, mirror, port):
        self.work, self.port = os.path.join(work, "nginx"), port
        os.makedirs(os.path.join(self.work, "cache"))
        example = open(os.path.join(repository, "examples", "deploy", "nginx-cache.conf")).read()
        tls = os.path.join(work, "tls")
        for old, new in (("/var/cache/nginx/prismora", os.path.join(self.work, "cache")),
                         ("listen 443 ssl", "listen 127.0.0.1:%d ssl" % port),
                         ("/etc/ssl/certs/prismora-cache.pem", os.path.join(tls, "server.pem")),
                         ("/etc/ssl/private/prismora-cache.key", os.path.join(tls, "server.key")),
                         ("https://download.prismora.com", "https://127.0.0.1:%d" % mirror.port),
                         # the test certificate names "localhost" (and the address, which nginx does not check)
                         ("proxy_ssl_server_name on;", "proxy_ssl_server_name on;\n        proxy_ssl_name localhost;"),
                         ("/etc/ssl/certs/ca-certificates.crt", mirror.ca)):
            check(old in example, "the example no longer holds " + old)
            example = example.replace(old, new)
        self.access = os.path.join(self.work, "access.log")
        conf = os.path.join(self.work, "nginx.conf")
        with open(conf, "w") as out:
            out.write("%sworker_processes 1;\npid %s/nginx.pid;\nerror_log %s/error.log;\n"
                      "events { worker_connections 64; }\n"
                      "http {\n  access_log %s;\n  client_body_temp_path %s/body;\n  proxy_temp_path %s/proxy;\n"
                      "  log_format cache '$request_uri $status $upstream_cache_status';\n"
                      "  access_log %s/cache.log cache;\n%s\n}\n"
                      % ("user root;\n" if os.geteuid() == 0 else "", self.work, self.work, self.access, self.work,
                         self.work, self.work, example))
        self.command = ["nginx", "-p", self.work, "-c", conf, "-g", "daemon off;"]

    def __enter__(self):
        self.process = subprocess.Popen(self.command, stderr=subprocess.PIPE, text=True)
        for _ in range(100):
            try:
                import socket
                socket.create_connection(("127.0.0.1", self.port), timeout=0.2).close()
                return self
            except OSError:
                check(self.process.poll() is None, "nginx did not start: " + self.process.stderr.read())
                time.sleep(0.1)
        raise SystemExit("check-deployment: nginx did not listen")

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=10)

    def errors(self):
        return open(os.path.join(self.work, "error.log")).read()[-2000:]

    def log(self):
        return open(os.path.join(self.work, "cache.log")).read().splitlines()


def free_port():
    import socket
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def caching_mirror(installer, repository, work, mirror):
    with Nginx(repository, work, mirror, free_port()) as nginx:
        cache = "127.0.0.1:%d" % nginx.port
        env = environment(work, ",".join([cache + "/ok"] * 4), mirror.ca)
        before = len([line for line in mirror.requests() if line.startswith("/ok/prismora.zip\t")])
        for run, apps in enumerate(("cache-apps-1", "cache-apps-2")):
            result = run_installer(installer, ["--unattended", "--accept-terms", "--json", "--no-launch",
                                               "--applications-dir", os.path.join(work, apps)], env)
            check(result.code == 0, "install %d through the cache failed: %s\nnginx: %s" % (run + 1, result.stdout,
                                                                                          nginx.errors()))
        fetched = len([line for line in mirror.requests() if line.startswith("/ok/prismora.zip\t")]) - before
        statuses = [line.split()[2] for line in nginx.log() if line.startswith("/ok/prismora.zip ")]
        check(fetched == 1, "the mirror served the archive %d times through the cache" % fetched)
        check(statuses == ["MISS", "HIT"], "cache status of the two downloads: %s" % statuses)
        print("check-deployment: two installs through the cache, one upstream fetch (%s)" % " then ".join(statuses),
              flush=True)

        # A cut on the way: the cache's copy is abandoned with the upstream
        # transfer, and the installer resumes from its bytes on the same host.
        env = environment(work, ",".join([cache + "/cutonce/a"] + [cache + "/ok"] * 3), mirror.ca)
        result = run_installer(installer, ["--unattended", "--accept-terms", "--json", "--no-launch",
                                           "--applications-dir", os.path.join(work, "cache-apps-3")], env)
        check(result.code == 0, "the install after a cut failed: %s %s" % (result.stdout, result.stderr))
        ranged = [line for line in nginx.log() if line.startswith("/cutonce/a/prismora.zip 206")]
        failed_hosts = [event for event in result.events if event["event"] == "mirror-failed"]
        check(ranged and not failed_hosts, "no resumed (206) transfer through the cache: %s / %s"
              % (nginx.log(), result.events))
        print("check-deployment: a cut transfer resumes with Range through the cache", flush=True)


def main():
    installer, repository = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="check-deployment.")
    try:
        archive = make_archive(os.path.join(work, "prismora.zip"), padding=8 * 1024 * 1024)
        with Mirror(work, archive) as mirror:
            playbook(installer, repository, work, mirror)
            caching_mirror(installer, repository, work, mirror)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
