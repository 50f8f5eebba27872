#!/usr/bin/env python3
"""Installs the npm packages a lockfile pins, exactly as pinned, without npm.

  scripts/npm-locked.py LOCKFILE DEST

Every package of LOCKFILE (package-lock.json, lockfile version 2 or 3) is
downloaded from the address the lockfile holds, checked against the
lockfile's integrity hash, and unpacked into DEST/node_modules. A package
already there in the pinned version is left alone. Nothing runs from a
package: no install script, no dependency resolution of its own.
"""

import base64
import hashlib
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
        except OSError as error:
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


def installed_version(target):
    try:
        return json.loads((target / "package.json").read_text(encoding="utf-8")).get("version")
    except (OSError, ValueError):
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
        if installed_version(target) == package["version"]:
            continue
        if "resolved" not in package or "integrity" not in package:
            raise SystemExit("npm-locked.py: %s has no address or integrity hash in the lockfile" % key)
        data = download(package["resolved"])
        verify(data, package["integrity"], key)
        unpack(data, target)
        print("npm-locked.py: %s %s" % (key[len("node_modules/"):], package["version"]))


if __name__ == "__main__":
    main()
