"""Prints, as JSON, what the accessibility bus shows of one program: its
top-level windows and every object below them (role, name, states, place
on the screen), the way a screen reader reads it.
    atspi_dump.py PID
Run afresh for each look: the library keeps its picture of the desktop
current only through events, which a short-lived reader has no need of."""
import json
import sys

import pyatspi

STATES = {
    "focused": pyatspi.STATE_FOCUSED, "showing": pyatspi.STATE_SHOWING,
    "enabled": pyatspi.STATE_ENABLED, "checked": pyatspi.STATE_CHECKED,
    "focusable": pyatspi.STATE_FOCUSABLE, "active": pyatspi.STATE_ACTIVE,
    "selected": pyatspi.STATE_SELECTED,
}


def node(acc, depth, window):
    state = acc.getState()
    item = {"role": acc.getRoleName(), "name": acc.name or "", "depth": depth, "window": window,
            "states": [k for k, v in STATES.items() if state.contains(v)]}
    try:
        box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        item["box"] = [box.x, box.y, box.width, box.height]
    except NotImplementedError:
        item["box"] = None
    try:
        item["value"] = acc.queryValue().currentValue
    except NotImplementedError:
        pass
    try:
        text = acc.queryText()
        item["text"] = text.getText(0, text.characterCount)
    except NotImplementedError:
        pass
    return item


def walk(acc, depth, window, out):
    if depth > 40:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None:
            continue
        out.append(node(child, depth, window))
        if child.getState().contains(pyatspi.STATE_SHOWING):
            walk(child, depth + 1, window, out)


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    out = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None or app.get_process_id() != pid:
            continue
        for k in range(app.childCount):
            window = app.getChildAtIndex(k)
            out.append(node(window, 0, k))
            if window.getState().contains(pyatspi.STATE_SHOWING):
                walk(window, 1, k, out)
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    main()
