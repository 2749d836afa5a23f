#!/usr/bin/python3
"""Walks the editor window of a running varnholt through the AT-SPI bus, as a
screen reader sees it, and checks what it would say:
- every control a user can reach (enabled or not, focusable or not) has a name;
- no two controls of one role share a name;
- no drop-down list is named by an item (the value it shows), and the lists
  are named after what they set, in the window's language;
- each list's value is heard after its name ("Campaign difficulty, Hard"):
  the item shown is the list's text and the one selected item among its
  children, the two places a screen reader looks for it;
- a text box is labelled by the static text whose name it takes, or, with no
  static text of that name, by the group box around it.

Usage: accessibility_tree.py PID VALUES [CATALOGUE.mo]
PID is the varnholt process, its window showing a loaded saved game. VALUES
gives each list's item for that save, in English: "Campaign difficulty=Hard,
Battle difficulty=Easy,Unit scale=Normal". The catalogue is the compiled
language the window speaks (none for English).
"""

import gettext
import sys
import time

import pyatspi
from gi.repository import Atspi

CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_TEXT,
    pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER,
    # The arrows of a spin: a plain widget that steps the box beside it.
    pyatspi.ROLE_FILLER,
}
TEXT_BOXES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}
# Each of these appears in the editor; finding none means the walk saw nothing.
EXPECTED_ROLES = [pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
                  pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT]
# What the three lists set, in English, as the catalogue holds the words.
LIST_NAMES = ["Campaign difficulty", "Battle difficulty", "Unit scale"]
WAIT_SECONDS = 30


def spoken(name):
    """A label's text as it names a box: without the ":" (and the space some
    languages put before it)."""
    return name.rstrip().rstrip(":").rstrip(" \u00a0\u202f")


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app.get_process_id() == pid:
            return app
    return None


def find_loaded_window(pid):
    """The editor window once a saved game is loaded: its "new game file name"
    box (a read-only text box) then shows a name. None while it is not."""
    app = find_application(pid)
    if app is None:
        return None
    app.set_cache_mask(Atspi.Cache.NONE)
    app.clear_cache()
    for window in children(app):
        boxes = [node for node in walk(window) if node.getRole() in TEXT_BOXES]
        shown = [text_of(box) for box in boxes]
        if len([s for s in shown if s.lower().endswith(".sav")]) >= 2:
            return window
    return None


def main():
    pid = int(sys.argv[1])
    values = dict(pair.split("=", 1) for pair in sys.argv[2].split(","))
    catalogue = gettext.NullTranslations()
    if len(sys.argv) > 3:
        with open(sys.argv[3], "rb") as mo:
            catalogue = gettext.GNUTranslations(mo)

    window = None
    deadline = time.monotonic() + WAIT_SECONDS
    while window is None and time.monotonic() < deadline:
        try:
            window = find_loaded_window(pid)
        except Exception as error:  # the bridge may not answer while starting
            print(f"waiting: {error}")
        if window is None:
            time.sleep(0.5)
    if window is None:
        print(f"FAIL: no window of process {pid} with a loaded saved game on the AT-SPI bus "
              f"within {WAIT_SECONDS} s")
        return 1

    failures = []
    nodes = list(walk(window))
    controls = [n for n in nodes if n.getRole() in CONTROLS]
    label_names = {spoken(n.name) for n in nodes if n.getRole() == pyatspi.ROLE_LABEL}
    group_names = {n.name for n in nodes if n.getRole() == pyatspi.ROLE_PANEL}
    print(f"{window.name}: {len(nodes)} objects, {len(controls)} controls")

    for role in EXPECTED_ROLES:
        if not any(n.getRole() == role for n in controls):
            failures.append(f"no {Atspi.role_get_name(role)} in the window")

    seen = {}
    for control in controls:
        role, name = control.getRoleName(), control.name
        print(f"  {role}: {name!r}")
        if not name:
            failures.append(f"a {role} without a name (showing {text_of(control)!r})")
            continue
        if (role, name) in seen:
            failures.append(f"two of role {role} named {name!r}")
        seen[(role, name)] = control

    lists = [n for n in controls if n.getRole() == pyatspi.ROLE_COMBO_BOX]
    for box in lists:
        items = [item.name for item in walk(box) if item.getRole() == pyatspi.ROLE_LIST_ITEM]
        if not items:
            failures.append(f"combo box {box.name!r}: its items cannot be read")
        elif box.name in items:
            failures.append(f"combo box {box.name!r} is named by its value, one of {items}")
    for box in lists:
        items = [item for item in walk(box) if item.getRole() == pyatspi.ROLE_LIST_ITEM]
        selected = [item.name for item in items
                    if item.getState().contains(pyatspi.STATE_SELECTED)]
        value = text_of(box)
        heard = f"{box.name}, {value}"
        print(f"  heard: {heard!r}")
        english = next((name for name in LIST_NAMES if catalogue.gettext(name) == box.name), None)
        if english is not None and english in values:
            expected = f"{box.name}, {catalogue.gettext(values[english])}"
            if heard != expected:
                failures.append(f"combo box {box.name!r} is heard as {heard!r}, not {expected!r}")
        if selected != [value]:
            failures.append(f"combo box {box.name!r} shows {value!r}, its selected items are "
                            f"{selected}")
    wanted = sorted(catalogue.gettext(name) for name in LIST_NAMES)
    if sorted(box.name for box in lists) != wanted:
        failures.append(f"the lists are named {sorted(b.name for b in lists)}, not {wanted}")

    for box in (n for n in controls if n.getRole() in TEXT_BOXES):
        labels = [relation.getTarget(i)
                  for relation in box.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(relation.getNTargets())]
        if labels:
            for label in labels:
                if spoken(label.name) != box.name:
                    failures.append(f"text box {box.name!r} is labelled by {label.name!r}")
        elif box.name in label_names:
            failures.append(f"text box {box.name!r}: the label of that name is not its "
                            "labelled-by relation")
        elif box.name not in group_names:
            failures.append(f"text box {box.name!r}: no label and no group of that name")

    for failure in failures:
        print(f"FAIL: {failure}")
    print("PASS" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
