#!/usr/bin/python3
"""Drops one file on the window at a point of the X screen, as a Linux file
manager does: the XDND protocol, offering the file as text/uri-list. Wine
hands such a drop to a Windows program as WM_DROPFILES, but only to a window
that called DragAcceptFiles.

Usage: drop-from-x11.py X Y PATH   (X and Y on the root window; PATH a Unix path)
Exit status: 0 once the window took the drop, 1 if it refused it or gave no
answer (said on standard error too: a Windows program that starts this under
Wine gets no handle to wait on, and reads the outcome from the window).
Needs python3-xlib, a package of Debian's python3, hence the interpreter above.
"""

import pathlib
import sys
import time

from Xlib import X, display
from Xlib.protocol import event

VERSION = 5


def main():
    x, y, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    screen = display.Display()
    atom = lambda name: screen.intern_atom(name)  # noqa: E731
    uri_list = atom("text/uri-list")
    root = screen.screen().root

    # The target: the outermost window under the point that speaks XDND.
    target, window = None, root
    while not target:
        child = window.translate_coords(root, x, y).child
        if not child or child.id == X.NONE:
            print(f"no XDND window at {x},{y}", file=sys.stderr)
            return 1
        window = child
        if window.get_full_property(atom("XdndAware"), X.AnyPropertyType):
            target = window

    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    data = (pathlib.Path(path).absolute().as_uri() + "\r\n").encode()

    def send(name, values):
        message = event.ClientMessage(window=target, client_type=atom(name),
                                      data=(32, [source.id] + values + [0] * (4 - len(values))))
        target.send_event(message)
        screen.flush()

    send("XdndEnter", [VERSION << 24, uri_list])
    send("XdndPosition", [0, (x << 16) | y, X.CurrentTime, atom("XdndActionCopy")])
    status, finished = None, False
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline and not finished:
        if not screen.pending_events():
            time.sleep(0.01)
            continue
        e = screen.next_event()
        if e.type == X.SelectionRequest:
            # Wine reads every offered type as soon as the drag enters.
            answered = e.target == uri_list
            if answered:
                e.requestor.change_property(e.property, uri_list, 8, data)
            e.requestor.send_event(event.SelectionNotify(
                time=e.time, requestor=e.requestor, selection=e.selection, target=e.target,
                property=e.property if answered else X.NONE))
            screen.flush()
        elif e.type == X.ClientMessage and e.client_type == atom("XdndStatus") and status is None:
            status = e.data[1][1] & 1
            if status:
                send("XdndDrop", [0, X.CurrentTime])
            else:
                send("XdndLeave", [])
                break
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            finished = True
    if not finished:
        print("the window refused the drop" if status == 0 else "the window did not answer",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
