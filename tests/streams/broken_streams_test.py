"""The built program against broken streams and hostile input.

Each case must end with status 0, write nothing to stderr and not hang;
where its output can be read, the output must be exactly the transcript
that the reading rules give; memory must stay bounded.
  python3 broken_streams_test.py PROGRAM TRANSCRIPTS_DIR
"""
import os
import random
import re
import subprocess
import sys
import tempfile

PROGRAM, TRANSCRIPTS = sys.argv[1], sys.argv[2]
TEMPLATE = open(os.path.join(TRANSCRIPTS, "worked_example.out"), "rb").read()
RESULT_LINE = re.compile(rb"^((?:Gain|Gain \(dB\)|Impedance \(Z\)): )\S+$", re.M)
WORKED = open(os.path.join(TRANSCRIPTS, "worked_example.in"), "rb").read()
EIGHT_MB = 8 * 1024 * 1024


def transcript(*numbers):
    """The dialogue's fixed texts with these six numbers."""
    numbers = iter(numbers)
    return RESULT_LINE.sub(lambda m: m.group(1) + next(numbers).encode(),
                           TEMPLATE)


EXAMPLE = TEMPLATE  # the worked example's own transcript
NOTHING_READ = transcript("-NaN", "-NaN", "0", "-NaN", "-NaN", "0")
THREE_READ = transcript("0", "-Infinity", "0", "0", "-Infinity", "0")
ALL_INFINITE = transcript("-NaN", "-NaN", "Infinity", "-NaN", "-NaN",
                          "Infinity")


TIME = "/usr/bin/time"  # GNU time: the peak memory of the program alone
STRACE = "/usr/bin/strace"  # the writes the program tries
# Both are measuring instruments of these checks: without one a check
# would look at nothing, so a missing one fails the test by its package.
for tool, package in ((TIME, "time"), (STRACE, "strace")):
    if not os.path.exists(tool):
        sys.exit("FAIL: %s is missing: install Debian's package %s"
                 % (tool, package))


def run(stdin_data=None, stdout="pipe", stdin=None):
    """Runs the program; gives (status, stdout bytes, stderr, peak KB or 0).

    The peak is measured by GNU time, whose own small process starts the
    program: a process started from this one would carry its peak along.
    Cases that close standard streams are not measured: time's report file
    would take the closed descriptor's place."""
    command = [PROGRAM]
    report = None
    env = None
    if stdout in ("full", "traced"):
        report = tempfile.NamedTemporaryFile()
        command = [STRACE, "-e", "trace=write", "-o", report.name, PROGRAM]
        # LeakSanitizer cannot run under a tracer.
        env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    elif stdout == "pipe" and stdin is None:
        report = tempfile.NamedTemporaryFile()
        command = [TIME, "-f", "%M", "-o", report.name, PROGRAM]
    out_r = out_w = None
    kwargs = {}
    if stdout in ("pipe", "traced"):
        out_r, out_w = os.pipe()
    elif stdout == "full":
        out_w = os.open("/dev/full", os.O_WRONLY)
    elif stdout == "gone":  # a pipe whose reader has gone
        r, out_w = os.pipe()
        os.close(r)
    elif stdout == "closed":
        kwargs["preexec_fn"] = lambda: os.close(1)
    in_fd = None
    if stdin == "closed":
        previous = kwargs.get("preexec_fn")
        kwargs["preexec_fn"] = lambda: (previous and previous(), os.close(0))
    elif stdin == "directory":
        in_fd = os.open("/", os.O_RDONLY)
    proc = subprocess.Popen(
        command,
        stdin=in_fd if in_fd is not None else
        (subprocess.PIPE if stdin_data is not None else subprocess.DEVNULL),
        stdout=out_w, stderr=subprocess.PIPE, env=env, **kwargs)
    for fd in (out_w, in_fd):
        if fd is not None:
            os.close(fd)
    if stdin_data is not None:
        try:
            proc.stdin.write(stdin_data)
        except BrokenPipeError:
            pass  # the program stopped reading early, as it may
        proc.stdin.close()
    out = b""
    if out_r is not None:
        with os.fdopen(out_r, "rb") as f:
            out = f.read()
    err = proc.stderr.read()
    status = proc.wait()
    if stdout in ("full", "traced"):
        return status, out, err, open(report.name).read() if report else ""
    peak = int(open(report.name).read().split()[-1]) if report else 0
    return status, out, err, peak


rng = random.Random(20261209)
CASES = [
    # name, input, stdout, stdin, expected transcript (None: not readable)
    ("stdout on a full device", WORKED, "full", None, None),
    ("stdout closed", WORKED, "closed", None, None),
    ("stdout a pipe whose reader is gone", WORKED, "gone", None, None),
    ("stdin closed", None, "pipe", "closed", NOTHING_READ),
    ("stdin a directory", None, "pipe", "directory", NOTHING_READ),
    # The first read fails on the x; nothing after it is read.
    ("8 MB of random bytes", b"x" + rng.randbytes(EIGHT_MB), "pipe", None,
     NOTHING_READ),
    ("8 MB of random bytes after the five numbers",
     WORKED + rng.randbytes(EIGHT_MB), "pipe", None, EXAMPLE),
    # Each read takes 349 digits, an infinity as a float.
    ("8 MB of digits", b"1" * EIGHT_MB, "pipe", None, ALL_INFINITE),
    ("8 MB of blank lines, then the numbers", b"\n" * EIGHT_MB + WORKED,
     "pipe", None, EXAMPLE),
    # The input ends right after the third number: the fourth read must
    # know it without waiting, so the last two prompts go out in one write
    # with the first result line (strace counts the writes).
    ("the end of input right after a number", b"100 100000 62500", "traced",
     None, THREE_READ),
    ("8 MB of blanks between the numbers",
     b"100" + b" " * EIGHT_MB + b"100000 62500\t1000000\r\n1500", "pipe", None,
     EXAMPLE),
]

failures = 0
_, _, _, baseline = run(WORKED)
for name, data, stdout, stdin, want in CASES:
    status, out, err, peak = run(data, stdout, stdin)
    problems = []
    if stdout == "full":
        # The first write fails the output stream: from then on only the
        # line ends of the six result lines are tried.
        writes = re.findall(r'^write\(1, "(.*?)"', peak, re.M)
        if writes[1:] != ["\\n"] * 6:
            problems.append("writes tried after the failure: %r" % writes[1:])
        peak = 0
    if stdout == "traced":
        writes = re.findall(r'^write\(1, "(.*?)"', peak, re.M)
        # The banner and three prompts, each flushed as its read waits;
        # then the last two prompts with the first result line; five more
        # result lines; the rest at exit.
        if (len(writes) != 10 or
                not writes[3].startswith("Type Load Impedance (ohms): Type")):
            problems.append("writes: %r" % writes)
        peak = 0
    if status != 0:
        problems.append("status %d" % status)
    if err:
        problems.append("stderr: %r" % err[:200])
    if want is not None and out != want:
        problems.append("transcript differs: %r" % out[-300:])
    if peak > baseline + 512:  # KB
        problems.append("peak memory %d KB, a normal run %d KB" % (peak, baseline))
    print(("FAIL: " if problems else "ok: ") + name, *problems, sep="\n  ")
    failures += bool(problems)
print("%d passed, %d failed" % (len(CASES) - failures, failures))
sys.exit(1 if failures else 0)
