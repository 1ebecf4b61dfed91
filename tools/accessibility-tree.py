#!/usr/bin/python3
"""Prints what a screen reader (Orca) is told of a running program: its
AT-SPI tree, one object to a line, indented by depth, as "role: name".

Usage: accessibility-tree.py APPLICATION

APPLICATION is the program's name on the accessibility bus (a Qt program's
application name: zorbanu, zorbanu-recorder). The program must run with
accessibility on: on a desktop with a screen reader it is; elsewhere start
it with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 inside a session bus
(dbus-run-session), which starts the accessibility bus on demand. Needs
Debian's python3-pyatspi and at-spi2-core. Exits 1 when no such program is
on the bus.
"""
import sys

import pyatspi


def walk(node, depth=0):
    print(f"{'  ' * depth}{node.getRoleName()}: {node.name}")
    for child in node:
        if child is not None:
            walk(child, depth + 1)


def main():
    found = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == sys.argv[1]]
    for app in found:
        walk(app)
    return 0 if found else 1


if __name__ == "__main__":
    sys.exit(main())
