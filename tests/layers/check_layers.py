#!/usr/bin/env python3
"""Holds every source folder to the layers it may use.

Reads each `#include "<folder>/..."` in the program's folders and fails on an
include of a folder that the including folder may not use. A folder may use
the folders listed for it and, through them, everything they may use.
Widgets are kept out by the build: only app/, view/ and labeleditor/ link
Qt Widgets.

Usage: check_layers.py SOURCE_ROOT      check the tree
       check_layers.py --self-test      check that an upward include is caught
"""
import os
import re
import sys
import tempfile

MAY_USE = {
    "markup": [],
    "records": ["markup"],
    "pdfbinding": ["markup", "records"],
    "engine": ["markup", "records", "pdfbinding"],
    "labels": ["markup", "records", "pdfbinding", "engine"],
    "press": ["markup", "records", "pdfbinding", "engine", "labels"],
    "registration": ["markup", "records", "engine"],
    "planner": ["markup", "records", "engine"],
    "shop": ["markup", "records", "pdfbinding", "engine", "labels", "press", "registration",
             "planner"],
    "demo": ["records", "pdfbinding", "shop"],
    "labeleditor": ["demo"],
    "view": ["demo", "labeleditor"],
    "app": ["view", "labeleditor", "demo"],
    "cli": ["demo"],
    # The composition library knows nothing of the program.
    "pdfcompose": [],
}

# The composition library's C header is the one file of it the program sees,
# and only through its binding.
PUBLIC_FILES = {
    "pdfcompose/pdfcompose.h": {"pdfbinding"},
    # The naming helpers every window carries are header-only and include
    # nothing of the program: the label windows below the view use them too.
    "view/controlnames.h": {"labeleditor"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".hpp", ".c", ".cpp", ".inc")


def allowed(folder):
    seen = set()
    todo = list(MAY_USE.get(folder, []))
    while todo:
        used = todo.pop()
        if used not in seen:
            seen.add(used)
            todo.extend(MAY_USE.get(used, []))
    return seen


def violations(root):
    found = []
    for folder in sorted(MAY_USE):
        top = os.path.join(root, folder)
        if not os.path.isdir(top):
            continue
        may = allowed(folder)
        for base, _, files in os.walk(top):
            for name in sorted(files):
                if not name.endswith(SOURCES):
                    continue
                path = os.path.join(base, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for match in INCLUDE.finditer(text):
                    target = match.group(1)
                    if "/" not in target:
                        continue
                    used = target.split("/", 1)[0]
                    if used == folder or used not in MAY_USE:
                        continue
                    if used in may or folder in PUBLIC_FILES.get(target, ()):
                        continue
                    line = text.count("\n", 0, match.start()) + 1
                    found.append("%s:%d: %s/ may not include \"%s\" (it may use: %s)" % (
                        os.path.relpath(path, root), line, folder, target,
                        ", ".join(sorted(may)) or "nothing of the program"))
    return found


def self_test():
    with tempfile.TemporaryDirectory() as root:
        for folder, name, text in [
            ("engine", "doc.cpp", '#include "records/zeljob.h"\n#include "doc.h"\n'),
            ("records", "zeljob.cpp", '#include "engine/tesseldoc.h"\n'),
            ("pdfbinding", "server.h", '#include "pdfcompose/pdfcompose.h"\n'),
            ("pdfbinding", "leak.cpp", '#include "pdfcompose/session.h"\n'),
            ("demo", "shop.cpp", '#include "labels/labelset.h"\n'),
            ("pdfcompose", "x.cpp", '#include "markup/cp949.h"\n'),
            ("labeleditor", "dlg.cpp",
             '#include "view/controlnames.h"\n#include "view/tesselview.h"\n'),
        ]:
            os.makedirs(os.path.join(root, folder), exist_ok=True)
            with open(os.path.join(root, folder, name), "w") as f:
                f.write(text)
        got = sorted(v.split(":")[0] for v in violations(root))
        want = sorted(["labeleditor/dlg.cpp", "pdfbinding/leak.cpp", "pdfcompose/x.cpp",
                       "records/zeljob.cpp"])
        if got != want:
            print("self-test failed: flagged %s, expected %s" % (got, want))
            return 1
    print("self-test passed")
    return 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    found = violations(argv[1])
    for v in found:
        print(v)
    if found:
        print("%d include(s) against the layers" % len(found))
        return 1
    print("every include keeps to the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
