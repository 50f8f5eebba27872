#!/usr/bin/python3
"""Runs Debian's Orca screen reader for a test, with every utterance written
down instead of spoken.

  orca_runner.py UTTERANCES

Orca starts as /usr/bin/orca starts it, in the session of the environment
(its display and session bus), except that:
- it starts no speech server: the machine may have no sound, and Orca's own
  speech-dispatcher would wait for one; each text Orca would hand to speech
  is appended to UTTERANCES instead, one JSON string per line, as it comes;
- it runs whatever other Orca runs on the machine, under a process name of
  its own, so that neither stops the other.
Orca 43 (Debian 12) and Orca 48 (Debian 13) alike.

Orca 48 keeps the descriptions it spoke for up to two seconds and speaks
them again meanwhile, even when the program has changed them. So the first
line of UTTERANCES says how Orca takes descriptions, {"descriptions":
"cached"} or {"descriptions": "live"}, and with a cache each time Orca drops
it comes a line {"descriptions": "fresh"}: a test that moves faster than a
pupil waits for one before it expects a new description.
"""

import json
import runpy
import sys

utterances = open(sys.argv[1], "a", buffering=1, encoding="utf-8")

# The launcher imports Orca's modules in the order they need; speech comes
# after them.
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
from orca import speech  # noqa: E402

spoken_by_orca = speech._speak


def write_down(text, acss, interrupt):
    utterances.write(json.dumps(str(text), ensure_ascii=False) + "\n")
    return spoken_by_orca(text, acss, interrupt)


speech._speak = write_down
speech.init = lambda *args, **kwargs: None

from orca import debug, generator  # noqa: E402

if hasattr(generator.Generator, "CACHED_DESCRIPTION"):
    utterances.write(json.dumps({"descriptions": "cached"}) + "\n")
    log_message = debug.print_message

    def watch_the_cache(level, text, *args, **kwargs):
        if str(text).startswith("GENERATOR: Clearing cache"):
            utterances.write(json.dumps({"descriptions": "fresh"}) + "\n")
        return log_message(level, text, *args, **kwargs)

    debug.print_message = watch_the_cache
else:
    utterances.write(json.dumps({"descriptions": "live"}) + "\n")

main = launcher["main"]
names = main.__globals__
set_process_name = names["setProcessName"]
names["setProcessName"] = lambda name: set_process_name("orca-for-tests")
names["otherOrcas"] = lambda: []
sys.argv = ["orca"]
sys.exit(main())
