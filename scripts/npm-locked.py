#!/usr/bin/env python3
"""Installs the npm packages a lockfile pins, exactly as pinned, without npm.

  scripts/npm-locked.py LOCKFILE DEST

Every package of LOCKFILE (package-lock.json, lockfile version 2 or 3) is
downloaded from the address the lockfile holds, checked against the
lockfile's integrity hash, and unpacked into DEST/node_modules. A package
unpacked earlier from the same hash is left alone. Nothing runs from a
package: no install script, no dependency resolution of its own.
"""

import base64
import hashlib
import http.client
import io
import json
import pathlib
import shutil
import sys
import tarfile
import time
import urllib.request

TRIES = 3
TIMEOUT = 30


def download(url):
    for attempt in range(1, TRIES + 1):
        try:
            with urllib.request.urlopen(url, timeout=TIMEOUT) as response:
                return response.read()
        except (OSError, http.client.HTTPException) as error:
            if attempt == TRIES:
                raise SystemExit("npm-locked.py: cannot download %s: %s" % (url, error))
            time.sleep(5 * attempt)
    return b""


def verify(data, integrity, name):
    algorithm, _, expected = integrity.partition("-")
    if algorithm not in ("sha512", "sha384", "sha256"):
        raise SystemExit("npm-locked.py: %s: unsupported integrity %s" % (name, algorithm))
    actual = base64.b64encode(hashlib.new(algorithm, data).digest()).decode()
    if actual != expected:
        raise SystemExit("npm-locked.py: %s does not match the lockfile's integrity hash" % name)


def unpack(data, target):
    """The package's files (under package/ in the tarball) into target."""
    staging = target.with_name(target.name + ".partial")
    shutil.rmtree(staging, ignore_errors=True)
    staging.mkdir(parents=True)
    with tarfile.open(fileobj=io.BytesIO(data), mode="r:gz") as archive:
        for member in archive.getmembers():
            parts = pathlib.PurePosixPath(member.name).parts
            if not parts or ".." in parts or member.issym() or member.islnk():
                continue
            if not (member.isfile() or member.isdir()):
                continue
            path = staging.joinpath(*parts[1:]) if len(parts) > 1 else staging
            if member.isdir():
                path.mkdir(parents=True, exist_ok=True)
                continue
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(archive.extractfile(member).read())
    shutil.rmtree(target, ignore_errors=True)
    staging.rename(target)


# The integrity hash of what is unpacked, kept beside it.
MARK = ".lockfile-integrity"


def installed_integrity(target):
    try:
        return (target / MARK).read_text(encoding="utf-8").strip()
    except OSError:
        return None


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    lock = json.loads(pathlib.Path(sys.argv[1]).read_text(encoding="utf-8"))
    dest = pathlib.Path(sys.argv[2])
    for key, package in sorted(lock.get("packages", {}).items()):
        if not key.startswith("node_modules/"):
            continue
        target = dest / key
        if "resolved" not in package or "integrity" not in package:
            raise SystemExit("npm-locked.py: %s has no address or integrity hash in the lockfile" % key)
        if installed_integrity(target) == package["integrity"]:
            continue
        if not package["resolved"].startswith("https://"):
            raise SystemExit("npm-locked.py: %s is not fetched over https: %s" % (key, package["resolved"]))
        data = download(package["resolved"])
        verify(data, package["integrity"], key)
        unpack(data, target)
        (target / MARK).write_text(package["integrity"] + "\n", encoding="utf-8")
        print("npm-locked.py: %s %s" % (key[len("node_modules/"):], package["version"]))


if __name__ == "__main__":
    main()
