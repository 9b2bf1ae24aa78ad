#!/usr/bin/python3
# Prints one application's accessible objects as screen readers get them over AT-SPI,
# one a line: role, name, description, states, and a text box's text (tabs and line
# ends escaped). Usage: atspi_dump.py APPLICATION-NAME
import sys
import time

import pyatspi

STATES = ((pyatspi.STATE_FOCUSABLE, "focusable"), (pyatspi.STATE_FOCUSED, "focused"))


def clean(text):
    return (text or "").replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def walk(node):
    states = node.getState()
    text = ""
    try:
        box = node.queryText()
        text = box.getText(0, min(box.characterCount, 4000))
    except NotImplementedError:
        pass
    print("\t".join([node.getRoleName(), clean(node.name), clean(node.description),
                     ",".join(word for state, word in STATES if states.contains(state)), clean(text)]))
    for child in (node.getChildAtIndex(i) for i in range(min(node.childCount, 500))):
        if child is not None:
            walk(child)


for _ in range(30):  # the application registers a moment after its window shows
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [app for app in desktop if app is not None and app.name == sys.argv[1] and app.childCount > 0]
    if apps:
        walk(apps[0])
        sys.exit(0)
    time.sleep(0.3)
sys.exit("no application named %r on the accessibility bus" % sys.argv[1])
