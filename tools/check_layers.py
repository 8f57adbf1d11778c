#!/usr/bin/env python3
"""Fails on an #include that runs up the layers of the code.

Usage: check_layers.py [--root DIR] [--layers FILE]

Reads the order of the layers from FILE (default: tools/layers.txt of the
source tree) and checks every quoted #include of the C++ sources under the
layers' folders of DIR (default: the source tree this script lies in). Each
include that names a header of a higher layer, of a layer on the same line,
or of a ui layer from a layer that is none, is printed as
"file:line: includes header (its layer) above layer"; the exit status is then
1. A source folder that no layer holds (apart from tests/, bench/, fuzz/ and
tools/) is reported too. When DIR holds docs/ARCHITECTURE.md, its copy of the
order (the lines between "<!-- layers -->" and "<!-- /layers -->") must
equal FILE's. Exit status 0 when all is well, 2 for a usage error.
"""

import os
import re
import sys

FREE = ("tests", "bench", "fuzz", "tools")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
DOC = os.path.join("docs", "ARCHITECTURE.md")
DOC_START, DOC_END = "<!-- layers -->", "<!-- /layers -->"


def usage(stream):
    stream.write(__doc__.split("\n\n", 1)[1])


def order_lines(text):
    """The lines of the order: without comments and blank lines."""
    return [line.strip() for line in text.splitlines() if line.strip() and not line.lstrip().startswith("#")]


def read_order(path):
    """{folder: (level, is_ui)} from the order file."""
    with open(path, encoding="utf-8") as f:
        lines = order_lines(f.read())
    layers = {}
    for level, line in enumerate(lines):
        for word in line.split():
            folder, _, mark = word.partition(":")
            if mark not in ("", "ui"):
                raise ValueError(f"{path}: unknown mark '{mark}' of {folder}")
            layers[folder] = (level, mark == "ui")
    return layers, lines


def layer_of(rel_path, layers):
    """The layer folder of a path relative to the root: the longest that holds it."""
    parts = rel_path.replace(os.sep, "/").split("/")
    for n in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:n])
        if folder in layers:
            return folder
    return None


def may_include(own, other, layers):
    if own == other:
        return True
    own_level, own_ui = layers[own]
    other_level, other_ui = layers[other]
    if other_ui and not own_ui:
        return False
    return other_level < own_level


def check_doc(root, order_file_lines, problems):
    doc = os.path.join(root, DOC)
    if not os.path.isfile(doc):
        return
    with open(doc, encoding="utf-8") as f:
        text = f.read()
    start, end = text.find(DOC_START), text.find(DOC_END)
    if start < 0 or end < start:
        problems.append(f"{DOC}: the order of the layers is missing (between {DOC_START} and {DOC_END})")
        return
    shown = [line.strip("`").strip() for line in order_lines(text[start + len(DOC_START):end])]
    shown = [line for line in shown if line]
    if shown != order_file_lines:
        problems.append(f"{DOC}: the order of the layers differs from the order file")


def main(argv):
    script_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    root, order_file = script_root, None
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg in ("-h", "--help"):
            usage(sys.stdout)
            return 0
        if arg in ("--root", "--layers") and args:
            value = args.pop(0)
            if arg == "--root":
                root = os.path.abspath(value)
            else:
                order_file = os.path.abspath(value)
            continue
        sys.stderr.write(f"check_layers.py: unexpected argument '{arg}'\n")
        usage(sys.stderr)
        return 2
    if order_file is None:
        order_file = os.path.join(root, "tools", "layers.txt")
    try:
        layers, lines = read_order(order_file)
    except (OSError, ValueError) as error:
        sys.stderr.write(f"check_layers.py: {error}\n")
        return 2

    problems = []
    for top in sorted(os.listdir(root)):
        top_path = os.path.join(root, top)
        # Build folders ("build", "build-fuzz", ...; ignored by git) hold no sources.
        if not os.path.isdir(top_path) or top.startswith(".") or top in FREE or top.startswith("build"):
            continue
        for folder, dirs, files in os.walk(top_path):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                own = layer_of(rel, layers)
                if own is None:
                    problems.append(f"{rel}: no layer holds this folder (name it in {os.path.relpath(order_file, root)})")
                    continue
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, text in enumerate(f, 1):
                        m = INCLUDE.match(text)
                        if not m:
                            continue
                        header = m.group(1)
                        beside = os.path.relpath(os.path.join(folder, header), root).replace(os.sep, "/")
                        target = beside if os.path.exists(os.path.join(root, beside)) else header
                        other = layer_of(target, layers)
                        if other is not None and not may_include(own, other, layers):
                            problems.append(f"{rel}:{number}: includes {header} ({other}) above {own}")
    check_doc(root, lines, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
