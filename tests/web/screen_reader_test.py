#!/usr/bin/python3
"""What a screen reader is told: the page in Chromium and Firefox ESR, typed
at with real X key events (xdotool), and the events each browser sends over
AT-SPI, heard as a screen reader hears them (pyatspi). Under Xvfb and a D-Bus
session, which start the accessibility bus:
  xvfb-run -a dbus-run-session -- python3 screen_reader_test.py PAGE.html SCREEN
SCREEN is the worked example's screen as the terminal test expects it.
ENGINE=chrome|firefox runs one browser.

The rules, for the worked example typed at a typist's pace:
- at load the live log gains the first screen, the first prompt once in all
  that a reader says: the log's new text and the focused field's name, said
  at the focus and, by some readers, when it changes;
- while an answer is typed, the field gains the keys as typed, and nothing
  else in the page changes;
- after each Enter the log gains exactly what the program wrote since (the
  echo, then the next prompt or the results), in one piece, each prompt once;
  nothing in the log is ever removed or inserted again;
- the log has no name, which a reader would say before every message.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

PAGE, SCREEN = sys.argv[1:3]
# The worked example's lines: the banner, each prompt with its answer, the
# results and the key wait.
with open(SCREEN, encoding='utf-8') as f:
    EXPECTED = f.read().rstrip().split('\n')
ANSWERED = EXPECTED[17:22]
LABELS = [line.rsplit(' ', 1)[0] for line in ANSWERED]
ANSWERS = [line.rsplit(' ', 1)[1] for line in ANSWERED]
EMBEDDED = '\ufffc'
# A typist's pace, in ms between keys.
KEY_DELAY = 150
# What the browser still reports after the page shows a change, in s.
SETTLE = 0.6
WITHIN = 20

PREFERENCES = '''
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
'''


def chrome(profile, url):
    return ['chromium', '--no-sandbox', '--force-renderer-accessibility',
            '--disable-gpu', '--no-first-run', '--disable-sync',
            '--disable-background-networking', '--disable-component-update',
            f'--user-data-dir={profile}', '--window-position=0,0',
            '--window-size=1000,800', url]


def firefox(profile, url):
    with open(os.path.join(profile, 'user.js'), 'w', encoding='utf-8') as f:
        f.write(PREFERENCES)
    return ['firefox-esr', '--no-remote', '--new-instance',
            '--profile', profile, url]


ENGINES = {'chrome': chrome, 'firefox': firefox}


def key(accessible):
    """What names one accessible object, whichever proxy stands for it."""
    return (accessible.app.bus_name, accessible.path)


def ancestry(accessible):
    """The keys of an object and its ancestors, itself first."""
    keys = []
    while accessible is not None and len(keys) < 64:
        keys.append(key(accessible))
        accessible = accessible.parent
    return keys


def embedded(accessible, offset):
    """The object at `offset` of an object's text, an embedded one."""
    hypertext = accessible.queryHypertext()
    return hypertext.getLink(hypertext.getLinkIndex(offset)).getObject(0)


def flat(accessible):
    """An object's text, each embedded object's text in its place."""
    try:
        text = accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return ''
    out = []
    for offset, character in enumerate(text):
        out.append(flat(embedded(accessible, offset))
                   if character == EMBEDDED else character)
    return ''.join(out)


class Event:
    """One event as a reader takes it, resolved when it came."""

    def __init__(self, event):
        self.type = event.type
        self.keys = ancestry(event.source)
        self.added = []  # keys of the objects an insertion embeds
        self.text = event.any_data if isinstance(event.any_data, str) else ''
        if self.type.startswith('object:text-changed:insert'):
            pieces = []
            for i, character in enumerate(self.text):
                if character != EMBEDDED:
                    pieces.append(character)
                    continue
                child = embedded(event.source, event.detail1 + i)
                self.added.append(key(child))
                pieces.append(flat(child))
            self.text = ''.join(pieces)

    def kind(self):
        for kind in ('text-changed:insert', 'text-changed:delete',
                     'children-changed:remove', 'accessible-name'):
            if kind in self.type:
                return kind
        return 'other'


class Failure(Exception):
    pass


class Listener:
    """The events of every application on the bus, as they come."""

    def __init__(self):
        self.events = []
        self.errors = []
        pyatspi.Registry.registerEventListener(
            self.on_event, 'object:text-changed',
            'object:children-changed',
            'object:property-change:accessible-name')

    def on_event(self, event):
        try:
            self.events.append(Event(event))
        except Exception as error:  # an object gone before it was read
            self.errors.append(f'{event.type}: {error}')

    def take(self):
        """The events since the last take."""
        events, self.events = self.events, []
        return events


def pump(seconds):
    """Delivers the bus's events for `seconds`."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(what, found):
    """Delivers events until `found()` gives something, then settles."""
    end = time.monotonic() + WITHIN
    while time.monotonic() < end:
        pump(0.05)
        got = found()
        if got:
            pump(SETTLE)
            return got
    raise Failure(f'waited in vain for {what}')


def find(accessible, wanted, depth=0):
    """The first object under `accessible` for which `wanted` holds."""
    if wanted(accessible):
        return accessible
    if depth > 40:
        return None
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            got = find(child, wanted, depth + 1)
            if got is not None:
                return got
    return None


def is_log(accessible):
    try:
        return accessible.getAttributes() and \
            'xml-roles:log' in accessible.getAttributes()
    except Exception:
        return False


def page_objects():
    """The page's document, log and field, once the browser shows them."""
    for application in pyatspi.Registry.getDesktop(0):
        if application is None:
            continue
        document = find(application, lambda a: a.getRole() ==
                        pyatspi.ROLE_DOCUMENT_WEB and
                        a.name.startswith('morvantic'))
        if document is None:
            continue
        log = find(document, is_log)
        field = find(document, lambda a: a.getRole() == pyatspi.ROLE_ENTRY)
        if log is not None and field is not None:
            return document, log, field
    return None


def lines(text):
    return [line.rstrip() for line in text.split('\n')]


class Page:
    """The page in one browser, and what its events say."""

    def __init__(self, listener, document, log, field):
        self.listener = listener
        self.document, self.log, self.field = document, log, field
        self.keys = {name: key(obj) for name, obj in
                     (('document', document), ('log', log), ('field', field))}
        self.shown = ''  # the log's text at the last step
        self.faults = []  # what broke a rule, each step's on its own

    def fault(self, text):
        self.faults.append(text)

    def within(self, event, name):
        return self.keys[name] in event.keys

    def step(self, what, screen):
        """Waits until the log shows `screen`, a list of lines; returns the
        page's events since the last step and what the log gained."""
        wait_for(f'{what}: {screen[-1]!r}',
                 lambda: lines(flat(self.log)) == screen)
        events = [e for e in self.listener.take()
                  if self.within(e, 'document')]
        now = flat(self.log)
        if not now.startswith(self.shown):
            self.fault(f'{what}: the log lost text it showed')
        gained, self.shown = now[len(self.shown):], now
        return events, gained

    def check_output(self, what, events, gained, prompt, focused=()):
        """After an Enter (or at load): the log gained `gained` in one
        piece, nothing removed, and `prompt` once in what a reader says,
        `focused` (the field's name as it is focused) included."""
        in_log = [e for e in events if self.within(e, 'log')]
        removed = [e for e in in_log if e.kind() in
                   ('text-changed:delete', 'children-changed:remove')]
        if removed:
            self.fault(f'{what}: {removed[0].type} '
                       f'{removed[0].text[:60]!r}: the log removes text')
        # An insertion into an object the same events embed is that object
        # arriving (Chromium tells both), not a second piece.
        added = {k for e in in_log for k in e.added}
        inserted = [e for e in in_log if e.kind() == 'text-changed:insert'
                    and not added.intersection(e.keys[:e.keys.index(
                        self.keys['log'])])]
        text = ''.join(e.text for e in inserted)
        if text != gained:
            self.fault(f'{what}: the log was told {text[:200]!r}, '
                       f'not what it gained, {gained!r}')
        # A browser may tell several new objects in one insertion.
        pieces = sum(max(1, len(e.added)) for e in inserted)
        if pieces != 1:
            self.fault(f'{what}: {pieces} pieces, not one: '
                       'a reader given several at once reads the last')
        names = [e.text for e in events if e.kind() == 'accessible-name'
                 and self.within(e, 'field')]
        said = '\n'.join([*focused, *names, text])
        if said.count(prompt) != 1:
            self.fault(f'{what}: {prompt!r} said {said.count(prompt)} '
                       f'times in {said[:80]!r}...')

    def check_typing(self, what, events, answer):
        """While `answer` was typed: the field gained it key by key, and
        nothing else in the page changed."""
        typed = [e for e in events if self.within(e, 'field') and
                 not self.within(e, 'log') and
                 e.kind() == 'text-changed:insert']
        others = [e for e in events if e.kind() != 'other' and
                  e not in typed]
        if others:
            self.fault(f'{what}: besides the typing, {others[0].type} '
                       f'{others[0].text[:60]!r}')
        # Keys that come close together the browser may tell at once.
        if ''.join(e.text for e in typed) != answer:
            self.fault(f'{what}: the field told {[e.text for e in typed]}')


def xdotool(*args):
    subprocess.run(['xdotool', *args], check=True)


def worked_example(page):
    events, gained = page.step('load', EXPECTED[:17] + [LABELS[0]])
    # The field is focused at load, and a reader says its name.
    page.check_output('load', events, gained, LABELS[0], [page.field.name])
    for i, answer in enumerate(ANSWERS):
        xdotool('type', '--delay', str(KEY_DELAY), answer)
        wait_for(f'the field to hold {answer}',
                 lambda: page.field.queryText().getText(0, -1) == answer)
        page.check_typing(f'typing {answer}', [
            e for e in page.listener.take()
            if page.within(e, 'document')], answer)
        xdotool('key', 'Return')
        after = EXPECTED[:18 + i] + ([LABELS[i + 1]] if i + 1 < len(LABELS)
                                      else EXPECTED[22:])
        what = f'Enter after {answer}'
        events, gained = page.step(what, after)
        page.check_output(what, events, gained, after[-1])
    if page.log.name:
        page.fault(f'the log is named {page.log.name!r}, which a reader '
                   'says before every message')
    if page.faults:
        raise Failure('\n  '.join(page.faults))


def run(name, url):
    listener = Listener()
    profile = tempfile.mkdtemp(prefix=f'screen-reader-{name}-')
    environment = dict(os.environ, GNOME_ACCESSIBILITY='1',
                       ACCESSIBILITY_ENABLED='1')
    browser = subprocess.Popen(ENGINES[name](profile, url), env=environment,
                               stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        document, log, field = wait_for(
            'the page', page_objects)
        # Keys go to the window under the pointer (no window manager).
        xdotool('mousemove', '400', '400')
        wait_for('the field to have the focus', lambda: field.getState()
                 .contains(pyatspi.STATE_FOCUSED))
        worked_example(Page(listener, document, log, field))
        if listener.errors:
            raise Failure(listener.errors[0])
    finally:
        browser.terminate()
        browser.wait()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    url = 'file://' + os.path.abspath(PAGE)
    passed = failed = 0
    for name in ENGINES:
        if os.environ.get('ENGINE', name) != name:
            continue
        started = time.monotonic()
        try:
            run(name, url)
            print(f'ok: {name}: the worked example, each text told once '
                  f'({time.monotonic() - started:.1f} s)', flush=True)
            passed += 1
        except Failure as error:
            print(f'FAIL: {name}: {error}', flush=True)
            failed += 1
    print(f'{passed} passed, {failed} failed')
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == '__main__':
    sys.exit(main())
