#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads the running editor through the accessibility bus, as a screen reader does: the window,
# the roles and names of its controls, and the card boxes' words, which follow a change made
# through the bus itself (the top number set to 7).
import sys
import time

import pyatspi


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def find_application(name):
    # Up to a minute: a sanitizer build on a loaded machine takes many seconds to start.
    for _ in range(600):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name and name in app.name.lower():
                return app
        time.sleep(0.1)
    fail("the editor is not on the accessibility bus")


def controls(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from controls(child)


def by_name(app, name):
    for control in controls(app):
        if control.name == name:
            return control
    fail("no control named %r" % name)


def wait_for(what, read):
    for _ in range(200):
        if read() == what:
            return
        time.sleep(0.1)
    fail("expected %r, read %r" % (what, read()))


app = find_application("orvane")
frames = [c for c in app if c is not None and c.getRoleName() == "frame"]
if not frames or frames[0].name != "Orvane 4.0 by Kestrow":
    fail("the main window is not read: %r" % [f.name for f in frames])

expected = [
    ("Top number", "text"),
    ("Main picture X", "scroll bar"),
    ("Arrow upper left", "check box"),
    ("Fire", "radio button"),
    ("Load Main Picture...", "push button"),
    ("Save Card", "push button"),
    ("Main picture", "image"),
    ("Blue card", "image"),
    ("Red card", "image"),
]
for name, role in expected:
    found = by_name(app, name)
    if found.getRoleName() != role:
        fail("%r is read as %r, not %r" % (name, found.getRoleName(), role))

# No control a user can reach is left without a name.
for control in controls(app):
    states = control.getState()
    if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING) and not control.name:
        fail("a %s without a name" % control.getRoleName())

blue = by_name(app, "Blue card")
wait_for("Blue card: A up, A left, A right, A down; None; no arrows; Character frame",
         lambda: blue.description)
top = by_name(app, "Top number")
top.queryEditableText().setTextContents("7")
wait_for("Blue card: 7 up, A left, A right, A down; None; no arrows; Character frame",
         lambda: blue.description)
print("the window read through the accessibility bus: all checks pass")
