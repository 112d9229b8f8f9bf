#!/usr/bin/env python3
"""Drives the running program through AT-SPI, as a screen reader or switch
user does, and checks what it hears: makes a reading, finds the score,
percentage, rating and both animals, opens the report and presses the
results window's Back and Exit while it is open (the program must live on).
Asks every text for its words, sentences and lines at every offset (each
request must answer), and tries edits that must change nothing or stay
within the text.
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


BOUNDARIES = (pyatspi.TEXT_BOUNDARY_WORD_START, pyatspi.TEXT_BOUNDARY_SENTENCE_START,
              pyatspi.TEXT_BOUNDARY_LINE_START)


def sweep(node, everything):
    """Each word, sentence and line request at each offset answers, with
    the text between the offsets it gives."""
    text = node.queryText()
    length = text.characterCount
    whole = text.getText(0, -1)
    asks = 0
    for offset in range(-1, length + 2):
        for boundary in BOUNDARIES:
            requests = [text.getTextAtOffset]
            if everything or offset in (-1, 0, length - 1, length, length + 1):
                requests += [text.getTextBeforeOffset, text.getTextAfterOffset]
            for request in requests:
                try:
                    got, start, end = request(offset, boundary)
                except Exception as error:  # a timeout: the program did not answer
                    fail("%r: %s(%d, %d) did not answer: %s" %
                         (node.name, request.__name__, offset, boundary, error))
                asks += 1
                if start >= 0 and got != whole[start:end]:
                    fail("%r: %s(%d, %d) gave %r for %d..%d" %
                         (node.name, request.__name__, offset, boundary, got, start, end))
    return asks


def texts(window):
    return [n for n in walk(window) if n.getRoleName() in ("text", "entry", "paragraph")
            and "Text" in pyatspi.utils.listInterfaces(n)]


def refused(node, edit, *args):
    """A read-only text takes no edit from assistive technology."""
    before = node.queryText().getText(0, -1)
    getattr(node.queryEditableText(), edit)(*args)
    if node.queryText().getText(0, -1) != before:
        fail("%r took %s%r although it is read-only" % (node.name, edit, args))


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
        asks = sweep(box, True)
        # An insert far past the end appends at the end, at once.
        started = time.time()
        box.queryEditableText().insertText(2147483647, "x", 1)
        if box.queryText().getText(0, -1) != text + "x" or time.time() - started > 2:
            fail("an insert past the end of %r gave %r" % (name, box.queryText().getText(0, -1)))
        box.queryEditableText().setTextContents(text)
        print("  %s: %d text requests answered; a far insert appended" % (name, asks))
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
    fields = texts(window)
    if len(fields) < 29:
        fail("only %d texts in the results window" % len(fields))
    asks = sum(sweep(field, True) for field in fields)
    for field in fields:
        refused(field, "setTextContents", "FORGED GEM")
        refused(field, "insertText", 0, "INJECTED ", 9)
    print("  results window: %d texts, %d text requests answered, edits refused" %
          (len(fields), asks))

    press(by_name(window, "Print"))
    report = wait_for("report window",
                      lambda: next((w for w in windows(app) if by_name(w, "Save")), None))
    dump(report)
    for field in texts(report):
        asks = sweep(field, False)
        refused(field, "insertText", 0, "INJECTED LINE ", 14)
        refused(field, "deleteText", 0, 20)
        print("  %s: %d text requests answered, edits refused" % (field.name, asks))
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
    # The report closes without a keyboard or title bar (Wayland), the
    # results window stays.
    action = report.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Close" not in names:
        fail("the report window offers no close action: " + repr(names))
    action.doAction(names.index("Close"))
    wait_for("the report window to close",
             lambda: not any(by_name(w, "Save") for w in windows(app)))
    if results() is None:
        fail("the results window went with the report")
    print("PASS: reading heard (%s); Back and Exit under the report refused; the report closed" %
          ", ".join(n for n in heard if n.startswith(("Chinese", "Rating"))))


main()
