#!/usr/bin/env python3
"""Drives the running program through AT-SPI, as a screen reader or switch
user does, and checks what it hears: makes a reading, finds the score,
percentage, rating and both animals, opens the report and presses the
results window's Back and Exit while it is open (the program must live on).
Prints every control's role, name and description for a person to read."""
import sys
import time

import pyatspi

APP_TITLE = "Lunvex Chinese Zodiac Compatibility v2.10"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, find, seconds=20.0):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.startswith("lunvex-zodiac"):
            return app
    return None


def windows(app):
    return [w for w in app if w is not None and w.getState().contains(pyatspi.STATE_SHOWING)]


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def by_name(root, name):
    for node in walk(root):
        if node.name == name:
            return node
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click"):
            action.doAction(i)
            return
    fail("no press action on " + node.name)


def dump(window):
    print("== " + window.name)
    for node in walk(window):
        if node is window or not node.getState().contains(pyatspi.STATE_SHOWING):
            continue
        role = node.getRoleName()
        if role in ("filler", "unknown", "scroll bar", "page tab list", "list", "list item"):
            continue
        print("  %-12s %-45s %s" % (role, repr(node.name), repr(node.description or "")))


def main():
    app = wait_for("program on the accessibility bus", program)
    input_window = wait_for("input window", lambda: next(iter(windows(app)), None))
    dump(input_window)
    # The partner's name is an address: the report shows it as a link.
    for name, text in (("Your name", "Zoë"), ("Your partner's name", "www.bob.example")):
        box = by_name(input_window, name)
        if box is None:
            fail("no text box " + name)
        box.queryEditableText().setTextContents(text)
    press(by_name(input_window, "Get Our Chinese Zodiac Compatibility"))

    def results():
        for w in windows(app):
            if by_name(w, "Back") is not None:
                return w
        return None

    window = wait_for("results window", results)
    heard = [node.name for node in walk(window)]
    for expected in ("Chinese Compatibility Number: ", "Chinese Compatibility Percentage: ",
                     "Rating: "):
        if not any(name.startswith(expected) for name in heard):
            fail("nothing heard starting " + repr(expected))
    animals = {"Rat", "Ox", "Tiger", "Rabbit", "Dragon", "Snake", "Horse", "Goat", "Monkey",
               "Rooster", "Dog", "Pig"}
    pictures = [n.name for n in walk(window) if n.getRoleName() in ("image", "label")
                and n.name in animals]
    if len(pictures) < 2:
        fail("the pictures are not read as animals: " + repr(pictures))
    dump(window)

    press(by_name(window, "Print"))
    report = wait_for("report window",
                      lambda: next((w for w in windows(app) if by_name(w, "Save")), None))
    dump(report)
    link = by_name(report, "www.bob.example")
    if link is None or link.getRoleName() != "link" or link.queryAction().nActions < 1:
        fail("the report's address is not a link that can be activated")
    # What a mouse cannot reach while the report is open, a switch can.
    for name in ("Back", "Exit"):
        press(by_name(window, name))
        time.sleep(1.0)
        if program() is None:
            fail("the program ended after " + name + " was pressed under the report")
    if not report.getState().contains(pyatspi.STATE_SHOWING):
        fail("the report window closed under the user")
    print("PASS: reading heard (%s); Back and Exit under the report refused" %
          ", ".join(n for n in heard if n.startswith(("Chinese", "Rating"))))


main()
