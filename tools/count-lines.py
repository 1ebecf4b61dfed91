#!/usr/bin/env python3
"""Prints the size of the test code against the program code, counted as
non-blank, non-comment lines.

Program code: every C++ file outside tests/ and bench/. Test code: every
C++ file and shell script under tests/. Usage: count-lines.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

CPP = {".cpp", ".h", ".hpp", ".cc"}
SKIP = {"tests", "bench", ".git"}


def code_lines(path):
    text = path.read_text(encoding="utf-8", errors="replace")
    if path.suffix in CPP:
        # Drop block comments, then whole-line // comments.
        text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
        comment = "//"
    else:
        comment = "#"
    return sum(1 for line in text.splitlines()
               if line.strip() and not line.strip().startswith(comment))


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    files = [p for p in root.rglob("*") if p.is_file()
             and not any(part.startswith("build") for part in p.relative_to(root).parts)]
    program = sum(code_lines(p) for p in files if p.suffix in CPP
                  and p.relative_to(root).parts[0] not in SKIP)
    tests = sum(code_lines(p) for p in files if p.relative_to(root).parts[0] == "tests"
                and (p.suffix in CPP or p.suffix == ".sh"))
    percent = 100.0 * tests / program if program else 0.0
    print(f"program: {program} lines")
    print(f"tests: {tests} lines = {percent:.0f}% of program code (goal <= 33%)")


if __name__ == "__main__":
    main()
