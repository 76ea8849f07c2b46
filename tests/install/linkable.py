#!/usr/bin/env python3
"""Checks that the installed engine headers promise only what the installed
library gives: every function an installed header declares (outside a class,
without a body) and every class it defines with members of its own out of
line is among the library's exported dynamic symbols, so a program that
uses any of them links. Also that every installed header is part of the
interface: it declares something exported, or an installed header includes
it.

usage: linkable.py INCLUDE_DIR LIBRARY
Prints one line per problem and exits 1 when there is one; 0 and a summary
line otherwise."""

import re
import subprocess
import sys
from pathlib import Path

# Words before a declaration's name that make it need no exported symbol.
INLINE_WORDS = {"inline", "constexpr", "template", "typedef", "using", "static_assert", "friend"}


def strip(text):
    """The header without comments, string literals and preprocessor lines."""
    text = re.sub(r"//[^\n]*|/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r'"(\\.|[^"\\])*"', '""', text)
    return "\n".join("" if line.lstrip().startswith("#") else line for line in text.split("\n"))


def declarations(text):
    """(functions, classes): names of the functions declared without a body
    outside classes, and of the outermost classes whose bodies declare a
    member function without a body."""
    functions, classes = set(), set()
    scopes = []  # [kind, name, has out-of-line members]; kind "ns", "class" or "skip"
    statement = ""
    for c in text:
        if c == "{":
            head = " ".join(statement.split())
            statement = ""
            m = re.search(r"\b(class|struct)\s+(?:KX_API\s+)?(\w+)\s*(?:final\s*)?(?::[^{]*)?$", head)
            if scopes and scopes[-1][0] == "skip":
                scopes.append(["skip", "", False])
            elif m and not re.search(r"\benum\b", head):
                scopes.append(["class", m.group(2), False])
            elif head.startswith("namespace") or head.startswith('extern "C"'):
                scopes.append(["ns", "", False])
            else:  # a function's body, an enumeration, an initialiser
                scopes.append(["skip", "", False])
        elif c == "}":
            statement = ""
            if scopes:
                kind, name, out_of_line = scopes.pop()
                if kind == "class" and out_of_line and not any(k == "class" for k, _, _ in scopes):
                    classes.add(name)
        elif c == ";":
            head = " ".join(statement.split())
            statement = ""
            if scopes and scopes[-1][0] == "skip":
                continue
            words = set(re.findall(r"\w+", head.split("(")[0]))
            if "(" not in head or words & INLINE_WORDS or re.match(r"^[A-Z_]+\s*\(", head):
                continue
            if re.search(r"\)\s*(const\s*)?(override\s*)?=\s*(default|delete|0)\s*$", head):
                continue
            if re.search(r"\(\s*\*", head) and not re.search(r"\w\s*\(", re.split(r"\(\s*\*", head)[0]):
                continue  # a pointer to an array or a function: data, not a function
            if scopes and scopes[-1][0] == "class":
                scopes[-1][2] = True
            else:
                m = re.search(r"(\w+)\s*\(", head)
                if m:
                    functions.add(m.group(1))
        else:
            statement += c
    return functions, classes


def main():
    if len(sys.argv) != 3:
        print(__doc__.split("\n\n")[1].strip(), file=sys.stderr)
        return 2
    include_dir, library = Path(sys.argv[1]), sys.argv[2]
    nm = subprocess.run(["nm", "-DC", "--defined-only", library], capture_output=True, text=True)
    if nm.returncode != 0:
        print(f"linkable: nm cannot read {library}: {nm.stderr.strip()}")
        return 1
    symbols = [line.split(" ", 2)[-1] for line in nm.stdout.splitlines() if line.strip()]
    free = {s.split("(")[0] for s in symbols if "::" not in s.split("(")[0]}
    scoped = {s.split("::")[0] for s in symbols if "::" in s.split("(")[0]}

    headers = sorted(include_dir.rglob("*.h"))
    included = set()
    problems = []
    checked = 0
    for header in headers:
        raw = header.read_text(encoding="utf-8", errors="replace")
        included.update(re.findall(r'#include\s+"([^"]+)"', raw))
        functions, classes = declarations(strip(raw))
        for name in sorted(functions):
            checked += 1
            if name not in free:
                problems.append(f"{header.relative_to(include_dir)}: {name}() is declared but not exported")
        for name in sorted(classes):
            checked += 1
            if name not in scoped:
                problems.append(f"{header.relative_to(include_dir)}: class {name} has members "
                                "declared out of line but none is exported")
    for header in headers:
        relative = str(header.relative_to(include_dir))
        if "KX_API" not in header.read_text(encoding="utf-8", errors="replace") and relative not in included:
            problems.append(f"{relative}: exports nothing and no installed header includes it")
    for problem in problems:
        print(f"linkable: {problem}")
    if problems:
        return 1
    print(f"linkable: {checked} declarations of {len(headers)} headers are exported")
    return 0


if __name__ == "__main__":
    sys.exit(main())
