#!/usr/bin/env python3
"""scripts/setup.sh against a mirror in the middle of a sync.

Stand-ins for apt-get, dpkg, dpkg-query and sudo on the PATH play the
mirror: an index that fails to download once, or on every try, and an
install that then succeeds or fails. Nothing touches the machine's apt.
"""

import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

SETUP = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "setup.sh"

FAILED_INDEX = ("http://deb.debian.org/debian-security/dists/bookworm-security/"
                "main/binary-i386/Packages.xz")

# apt-get as a mirror mid-sync would make it behave. FAKE_UPDATE_FAILURES
# updates fail (a number, or "always"), each either as an error (exit 100)
# or, with FAKE_UPDATE_WARNS, as a kept old index (a warning, exit 0).
# FAKE_INSTALL_FAILS makes the install fail as missing i386 twins do.
APT_GET = r"""#!/bin/bash
echo "apt-get $*" >>"$FAKE_LOG"
for arg in "$@"; do
  case "$arg" in
    update)
      count=$(($(cat "$FAKE_STATE/updates" 2>/dev/null || echo 0) + 1))
      echo "$count" >"$FAKE_STATE/updates"
      if [ "$FAKE_UPDATE_FAILURES" = always ] || [ "$count" -le "$FAKE_UPDATE_FAILURES" ]; then
        if [ -n "${FAKE_UPDATE_WARNS:-}" ]; then
          echo "W: Failed to fetch $FAKE_INDEX  Hash Sum mismatch"
          echo "W: Some index files failed to download. They have been ignored, or old ones used instead."
          exit 0
        fi
        echo "E: Failed to fetch $FAKE_INDEX  File has unexpected size (40960 != 40912). Mirror sync in progress? [IP: 151.101.2.132 80]"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
      fi
      echo "Reading package lists... Done"
      exit 0 ;;
    install)
      if [ -n "${FAKE_INSTALL_FAILS:-}" ]; then
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi
      exit 0 ;;
  esac
done
exit 0
"""

# Every package is missing, and the i386 architecture is already there.
DPKG_QUERY = "#!/bin/bash\nexit 1\n"
DPKG = "#!/bin/bash\necho \"dpkg $*\" >>\"$FAKE_LOG\"\n[ \"$1\" = --print-foreign-architectures ] && echo i386\nexit 0\n"
SUDO = "#!/bin/bash\nexec \"$@\"\n"


class SetUpAgainstAMirrorMidSync(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="infotest-setup-test-")
        root = pathlib.Path(self.scratch.name)
        bin_dir = root / "bin"
        bin_dir.mkdir()
        for name, text in (("apt-get", APT_GET), ("dpkg-query", DPKG_QUERY), ("dpkg", DPKG), ("sudo", SUDO)):
            (bin_dir / name).write_text(text)
            (bin_dir / name).chmod(0o755)
        (root / "state").mkdir()
        self.log = root / "log"
        self.log.touch()
        self.environment = {
            "PATH": "%s:%s" % (bin_dir, os.environ.get("PATH", "/usr/bin:/bin")),
            "HOME": str(root), "LANG": "C.UTF-8",
            "FAKE_LOG": str(self.log), "FAKE_STATE": str(root / "state"), "FAKE_INDEX": FAILED_INDEX,
            "FAKE_UPDATE_FAILURES": "0",
            "INFOTEST_APT_UPDATE_TRIES": "3", "INFOTEST_APT_UPDATE_PAUSE": "0",
        }

    def tearDown(self):
        self.scratch.cleanup()

    def set_up(self, group="test", **mirror):
        environment = dict(self.environment, **mirror)
        result = subprocess.run(["bash", str(SETUP), group], env=environment, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=60)
        self.output = result.stdout + result.stderr
        return result.returncode

    def apt_calls(self, command):
        return [line for line in self.log.read_text().splitlines()
                if line.startswith("apt-get ") and command in line.split()]

    def test_an_index_that_fails_once_is_fetched_again_without_a_warning(self):
        self.assertEqual(self.set_up(FAKE_UPDATE_FAILURES="1"), 0, self.output)
        self.assertEqual(len(self.apt_calls("update")), 2)
        self.assertEqual(len(self.apt_calls("install")), 1)
        self.assertNotIn("warning", self.output)

    def test_an_index_that_keeps_failing_is_named_and_the_rest_installed(self):
        self.assertEqual(self.set_up(FAKE_UPDATE_FAILURES="always"), 0, self.output)
        self.assertEqual(len(self.apt_calls("update")), 3)
        self.assertEqual(len(self.apt_calls("install")), 1)
        self.assertIn("warning", self.output)
        self.assertIn(FAILED_INDEX, self.output)

    def test_an_old_index_kept_with_only_a_warning_from_apt_counts_as_failed(self):
        self.assertEqual(self.set_up(FAKE_UPDATE_FAILURES="always", FAKE_UPDATE_WARNS="1"), 0, self.output)
        self.assertEqual(len(self.apt_calls("update")), 3)
        self.assertIn(FAILED_INDEX, self.output)

    def test_a_package_that_cannot_be_installed_then_stops_with_the_reason(self):
        status = self.set_up(FAKE_UPDATE_FAILURES="always", FAKE_INSTALL_FAILS="1")
        self.assertNotEqual(status, 0)
        message = self.output.split("could not install", 1)[-1]
        self.assertIn(FAILED_INDEX, message)
        self.assertIn("mid", message)
        self.assertIn("sync", message)
        self.assertIn("Try again later", message)

    def test_an_install_failure_with_every_index_fetched_blames_no_mirror(self):
        status = self.set_up(FAKE_INSTALL_FAILS="1")
        self.assertNotEqual(status, 0)
        self.assertIn("could not install", self.output)
        self.assertNotIn("sync", self.output)

    def test_apt_may_not_remove_packages_to_install_ours(self):
        self.assertEqual(self.set_up("run"), 0, self.output)
        install, = self.apt_calls("install")
        self.assertIn("--no-remove", install.split())

    def test_an_unknown_group_is_refused_before_apt_runs(self):
        self.assertNotEqual(self.set_up("everything"), 0)
        self.assertEqual(self.log.read_text(), "")


if __name__ == "__main__":
    sys.exit(unittest.main())
