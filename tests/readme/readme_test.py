"""The README's own examples, run as written against the built program.

- Every indented block of README.md that starts with a "$ " line is run: in
  a fresh folder, each "$ " line by sh with the built program first on the
  PATH as `morvantic`, its status 0 and its output the lines shown under
  it. Trailing spaces are not compared: a Markdown page does not show them.
- The session at the top is the terminal test's screen, line for line
  (trailing spaces again aside), with any version in the banner and any
  addresses in the credit lines.
- Every package name and banner in the README carries one version, whatever
  this build's (a packager may set another; scripts/package checks that a
  release's README carries its own).
- No sentence stands in two of the README and doc/*.md: each document has
  one job and links to another instead.
- Every file of the tree they name in backticks, and every link to a file,
  exists: a document that names a renamed file fails.
  python3 readme_test.py README.md PROGRAM SCREEN_TEMPLATE
"""
import glob
import itertools
import os
import re
import subprocess
import sys
import tempfile

README, PROGRAM, SCREEN = sys.argv[1:4]
TEXT = open(README, encoding="utf-8").read()
failures = []


def lines_of(text):
    return [line.rstrip() for line in text.split("\n")]


def shell_blocks():
    """Each indented block that starts with "$ ": [(command, [output])]."""
    blocks, block, in_fence = [], None, False
    for line in TEXT.split("\n"):
        if line.startswith("```"):
            in_fence = not in_fence
        if in_fence or not line.startswith("    "):
            block = None
            continue
        body = line[4:]
        if body.startswith("$ "):
            if block is None:
                block = []
                blocks.append(block)
            block.append((body[2:], []))
        elif block is not None:
            block[-1][1].append(body.rstrip())
    return blocks


def run_blocks():
    env = dict(os.environ, LC_ALL="C")
    env["PATH"] = os.path.dirname(os.path.abspath(PROGRAM)) + ":" + env["PATH"]
    count = 0
    for block in shell_blocks():
        with tempfile.TemporaryDirectory() as folder:
            for command, expected in block:
                count += 1
                done = subprocess.run(["sh", "-c", command], cwd=folder,
                                      env=env, capture_output=True,
                                      timeout=60)
                got = lines_of(done.stdout.decode("utf-8", "replace"))
                if got and got[-1] == "":
                    got.pop()
                if done.returncode != 0 or got != expected:
                    failures.append(
                        "$ %s\n  status %d, stderr %r\n  shown:  %r\n  got:    %r"
                        % (command, done.returncode, done.stderr, expected, got))
    return count


def check_session():
    fence = re.search(r"^```\n(.*?)^```$", TEXT, re.S | re.M)
    if not fence:
        failures.append("no session block in the README")
        return
    shown = lines_of(fence.group(1))
    template = lines_of(open(SCREEN, encoding="utf-8").read())
    while template and template[-1] == "":
        template.pop()
    while shown and shown[-1] == "":
        shown.pop()
    if len(shown) != len(template):
        failures.append("session: %d lines, the screen %d"
                        % (len(shown), len(template)))
    for number, (s, t) in enumerate(zip(shown, template), 1):
        pattern = re.sub(r"@(PROJECT_VERSION|MORVANTIC_(WEB|EMAIL))@", r"\\S+",
                         re.escape(t))
        if not re.fullmatch(pattern, s):
            failures.append("session line %d: %r, the screen %r"
                            % (number, s, t))


def check_versions():
    names = set(re.findall(r"morvantic[-_](\d[\w.]*?)[-_]", TEXT) +
                re.findall(r"MORVANTIC (\S+) ::", TEXT))
    if len(names) != 1:
        failures.append("versions in the README: %s" % sorted(names))


def sentences(path):
    """The sentences of six words or more outside fenced blocks."""
    text = open(path, encoding="utf-8").read()
    text = re.sub(r"\s+", " ", re.sub(r"```.*?```", "", text, flags=re.S))
    return {s.strip() for s in re.split(r"(?<=[.!?:])\s", text)
            if len(s.split()) >= 6}


def check_one_job_each():
    folder = os.path.join(os.path.dirname(os.path.abspath(README)), "doc")
    documents = [README] + sorted(glob.glob(os.path.join(folder, "*.md")))
    if len(documents) < 2:
        failures.append("no documents in %s" % folder)
    held = {path: sentences(path) for path in documents}
    for a, b in itertools.combinations(documents, 2):
        for sentence in sorted(held[a] & held[b]):
            failures.append("in both %s and %s: %r"
                            % (os.path.basename(a), os.path.basename(b),
                               sentence))


TREE_PATH = re.compile(r"(src|tests|scripts|cmake|web|doc|bench|\.ci)/[^<>*]*")


def check_named_files():
    top = os.path.dirname(os.path.abspath(README))
    for path in [README] + sorted(glob.glob(os.path.join(top, "doc", "*.md"))):
        text = open(path, encoding="utf-8").read()
        named = [os.path.join(top, name) for name in
                 re.findall(r"`([^`\s]+)`", text)
                 if TREE_PATH.fullmatch(name) and "NAME" not in name
                 and "ARCH" not in name]
        named += [os.path.join(os.path.dirname(path), link) for link in
                  re.findall(r"\]\(([^)#:\s]+)\)", text)]
        for name in named:
            if not os.path.exists(name):
                failures.append("%s names %s, which is not there"
                                % (os.path.basename(path),
                                   os.path.relpath(name, top)))


commands = run_blocks()
if commands == 0:
    failures.append("no $ lines found in the README")
check_session()
check_versions()
check_one_job_each()
check_named_files()
for failure in failures:
    print("FAIL:", failure)
print("%d commands run, %d failures" % (commands, len(failures)))
sys.exit(1 if failures else 0)
