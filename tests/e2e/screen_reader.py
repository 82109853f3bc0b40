#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""The running program as a screen reader reads it over AT-SPI, from the chooser to game over.

It presses the picture buttons through their Press action, as a screen reader does, sends Space
as a keyboard does, and listens for the game's text being announced. DISPLAY and the session bus of the
program's accessibility bus are set by the caller; the program's data.ini asks for the chooser.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def fail(message):
    print(f"FAIL (screen_reader): {message}", file=sys.stderr)
    sys.exit(1)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def wait_for(what, check, seconds=10):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            found = check()
        except Exception:  # objects go away while windows change; look again
            found = None
        if found:
            return found
        time.sleep(0.05)
    fail(f"{what} never came")


def window(name):
    """The program's showing window of that name, if there is one."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "kelvo-snake":
            continue
        for node in app:
            if node is not None and node.name == name and node.getState().contains(
                    pyatspi.STATE_SHOWING):
                return node
    return None


def find(win, role, name):
    return next((n for n in walk(win) if n.getRole() == role and n.name == name), None)


def expect_named_focusables(win):
    for node in walk(win):
        state = node.getState()
        if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(
                pyatspi.STATE_SHOWING) and not node.name:
            fail(f"{win.name}: a focusable {node.getRoleName()} without a name")


def press(win, name):
    button = find(win, pyatspi.ROLE_PUSH_BUTTON, name)
    if button is None:
        fail(f"{win.name}: no push button \"{name}\"")
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail(f"\"{name}\" has no Press action, only {names}")
    action.doAction(names.index("Press"))


def expect_keys_said(win, keys):
    if not all(key in win.description for key in keys):
        fail(f"{win.name} describes itself as \"{win.description}\", naming not all of {keys}")


def chooser():
    win = wait_for("the chooser", lambda: window("Select Resolution :"))
    expect_named_focusables(win)
    expect_keys_said(win, ["Enter goes on"])
    sizes = find(win, pyatspi.ROLE_PANEL, "Screen size")
    if sizes is None or [n.name for n in sizes] != ["640 * 480", "800 * 600", "1024 * 768"]:
        fail("the sizes are not a group named \"Screen size\"")
    focused = [n.name for n in sizes if n.getState().contains(pyatspi.STATE_FOCUSED)]
    if focused != ["800 * 600"]:  # the stored size
        fail(f"the chooser opens with the focus on {focused}")
    press(win, "Next!")


def menu():
    win = wait_for("the menu", lambda: window("Snake Menu"))
    expect_named_focusables(win)
    lists = [n for n in walk(win) if n.getRole() == pyatspi.ROLE_COMBO_BOX]
    names = [n.name for n in lists]
    if names != ["Level", "Snake colour", "Border colour"]:
        fail(f"the lists are named {names}")
    for node in lists:
        items = [item.name for item in walk(node) if item.getRole() == pyatspi.ROLE_LIST_ITEM]
        value = node.queryText().getText(0, -1)
        if node.name in items or value not in items:
            fail(f"the list \"{node.name}\" shows \"{value}\" of {items}")
    labels = [r.getTarget(0).name for r in lists[0].getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if labels != ["Level :"] or not lists[0].description.startswith("1 is the Easiest"):
        fail(f"the level list is labelled by {labels}, described as \"{lists[0].description}\"")
    hints = [n for n in walk(win) if "1 is the Easiest" in (n.name or "")]
    if hints:
        fail("the level hint is read twice: as the list's description and as text")
    expect_keys_said(win, ["Enter goes on", "Ctrl+H", "Esc quits"])
    press(win, "HighScore")
    box = wait_for("the HighScore box", lambda: window("Kelvo Snake"))
    if not any(n.name.startswith("HighScore is : ") for n in walk(box)):
        fail("the HighScore box does not say the high score")
    press(box, "OK")
    wait_for("the HighScore box to close", lambda: window("Kelvo Snake") is None)
    press(win, "Next")


def game():
    win = wait_for("the game", lambda: window("Kelvo Snake"))
    expect_named_focusables(win)
    said = wait_for("the prompt", lambda: next(
        (n for n in walk(win) if n.name == "Press Spacebar TO Start . . ."), None))
    wait_for("the game's focus", lambda: win.getState().contains(pyatspi.STATE_ACTIVE))
    heard = []  # what was shown as a notification, which screen readers read out

    def on_showing(event):
        if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            event.source.clear_cache()  # its name, as it is now
            heard.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    subprocess.run(["xdotool", "key", "m", "space"], check=True)

    def game_over_heard():
        return [words for words in heard if "Press F2 To Restart !" in words]

    def stop_after_game_over():  # and a second and a half, in which it must not be said again
        if game_over_heard():
            GLib.timeout_add(1500, pyatspi.Registry.stop)
            return False
        return True

    GLib.timeout_add(50, stop_after_game_over)
    GLib.timeout_add_seconds(30, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    over = game_over_heard()
    if len(over) != 1 or "Snake Length" in over[0]:
        fail(f"game over was not said once, without the score's flash; heard {heard}")
    if "Music off" not in heard:
        fail(f"M said nothing; heard {heard}")
    if "Your Score Is: " not in said.name or "High Score" not in said.name:
        fail(f"the game-over text reads \"{said.name}\"")


chooser()
menu()
game()
