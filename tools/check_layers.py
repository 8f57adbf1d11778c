#!/usr/bin/env python3
"""Fails on an #include or a library link that tools/layers.txt does not allow.

Usage: check_layers.py [--root DIR] [--layers FILE] [--links FILE]

Reads the layers from FILE (default: tools/layers.txt of DIR; a line is
"<folder> [ui] : <the layers it may include>") and checks every quoted
#include of the C++ sources under the layers' folders of DIR (default: the
source tree this script lies in). An include of a header of a layer that the
including file's line does not name is printed as
"file:line: includes header (its layer), which layer may not include"; the
exit status is then 1. So are a source folder that no layer holds (apart from
tests/, bench/, fuzz/ and tools/), a line naming a layer that is none, a layer
without "ui" that may include a ui layer, and lines that name a loop. When DIR
holds docs/ARCHITECTURE.md, its copy of the layers (the lines between
"<!-- layers -->" and "<!-- /layers -->") must say what FILE says.

With --links, FILE lists the build's libraries, one a line:
"<folder> <target> static|interface <the targets it links>..." (the build
writes it as layer-links.txt). Each library is then checked against its
folder's line too: a link to a library whose layer the line does not name,
a link to a library none of its sources includes a header of (a library
without sources is spared that one), and an include of a library that it
does not link directly. Targets that are no library of the list (Qt, PROJ
...) are not checked.

Exit status 0 when all is well, 2 for a usage error or a file that cannot be
read as such.
"""

import os
import re
import sys

FREE = ("tests", "bench", "fuzz", "tools")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
DOC = os.path.join("docs", "ARCHITECTURE.md")
DOC_START, DOC_END = "<!-- layers -->", "<!-- /layers -->"


class Layer:
    def __init__(self, folder, ui, line):
        self.folder, self.ui, self.line = folder, ui, line
        self.allowed = []


def usage(stream):
    stream.write(__doc__.split("\n\n", 1)[1])


def parse_layers(text, name):
    """{folder: Layer} in the order of the lines; ValueError on a malformed line."""
    layers, last = {}, None
    for number, raw in enumerate(text.splitlines(), 1):
        body = raw.split("#", 1)[0]
        if not body.strip():
            continue
        if body[0] in " \t":
            if last is None:
                raise ValueError(f"{name}:{number}: a continued list without a layer above it")
            last.allowed += body.split()
            continue
        head, colon, tail = body.partition(":")
        words = head.split()
        if not colon or len(words) not in (1, 2) or (len(words) == 2 and words[1] != "ui"):
            raise ValueError(f"{name}:{number}: expected '<folder> [ui] : <layers it may include>', not '{raw.strip()}'")
        if words[0] in layers:
            raise ValueError(f"{name}:{number}: {words[0]} is named twice")
        last = layers[words[0]] = Layer(words[0], len(words) == 2, number)
        last.allowed = tail.split()
    return layers


def read_layers(path):
    with open(path, encoding="utf-8") as f:
        return parse_layers(f.read(), path)


def check_lines(layers, name, problems):
    """What the lines say must be possible: known layers, ui only from ui, no loop."""
    for layer in layers.values():
        for other in layer.allowed:
            if other not in layers:
                problems.append(f"{name}:{layer.line}: {layer.folder} may include {other}, which is no layer")
            elif layers[other].ui and not layer.ui:
                problems.append(f"{name}:{layer.line}: {layer.folder} may include {other}, a ui layer, but is none")
    state, path = {}, []

    def visit(folder):
        state[folder] = "open"
        path.append(folder)
        for other in layers[folder].allowed:
            if other not in layers or other == folder:
                continue
            if state.get(other) == "open":
                loop = path[path.index(other):] + [other]
                problems.append(f"{name}: the layers name a loop: {' -> '.join(loop)}")
                return True
            if other not in state and visit(other):
                return True
        path.pop()
        state[folder] = "done"
        return False

    for folder in layers:
        if folder not in state and visit(folder):
            break


def folder_of(rel_path, folders):
    """The longest of the folders that holds a path relative to the root."""
    parts = rel_path.replace(os.sep, "/").split("/")
    for n in range(len(parts) - 1, 0, -1):
        folder = "/".join(parts[:n])
        if folder in folders:
            return folder
    return None


def may_include(own, other, layers):
    return own == other or other in layers[own].allowed


def described(layers):
    return [(layer.folder, layer.ui, sorted(set(layer.allowed))) for layer in layers.values()]


def check_doc(root, layers, problems):
    doc = os.path.join(root, DOC)
    if not os.path.isfile(doc):
        return
    with open(doc, encoding="utf-8") as f:
        text = f.read()
    start, end = text.find(DOC_START), text.find(DOC_END)
    if start < 0 or end < start:
        problems.append(f"{DOC}: the layers are missing (between {DOC_START} and {DOC_END})")
        return
    block = "\n".join(line for line in text[start + len(DOC_START):end].splitlines() if not line.startswith("```"))
    try:
        shown = parse_layers(block, DOC)
    except ValueError:
        shown = None
    if shown is None or described(shown) != described(layers):
        problems.append(f"{DOC}: the copy of the layers differs from the layers file")


def read_links(path):
    """{folder: (target, has_sources, [targets linked])} from the build's list."""
    libraries = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split()
            if not words:
                continue
            if len(words) < 3 or words[2] not in ("static", "interface"):
                raise ValueError(f"{path}:{number}: expected '<folder> <target> static|interface <links>...'")
            libraries[words[0]] = (words[1], words[2] == "static", words[3:])
    return libraries


def scan_sources(root, layers, order_name, problems):
    """[(rel path, line, header, layer of the file, rel path of the header)] of every quoted include."""
    includes = []
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
                own = folder_of(rel, layers)
                if own is None:
                    problems.append(f"{rel}: no layer holds this folder (name it in {order_name})")
                    continue
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, text in enumerate(f, 1):
                        m = INCLUDE.match(text)
                        if not m:
                            continue
                        header = m.group(1)
                        beside = os.path.relpath(os.path.join(folder, header), root).replace(os.sep, "/")
                        target = beside if os.path.exists(os.path.join(root, beside)) else header
                        includes.append((rel, number, header, own, target))
    return includes


def check_includes(includes, layers, problems):
    for rel, number, header, own, target in includes:
        other = folder_of(target, layers)
        if other is not None and not may_include(own, other, layers):
            problems.append(f"{rel}:{number}: includes {header} ({other}), which {own} may not include")


def check_links(includes, layers, libraries, problems):
    targets = {target: folder for folder, (target, _, _) in libraries.items()}
    used = {}  # library folder -> {library folder it includes: first place}
    for rel, number, header, _, target in includes:
        own, other = folder_of(rel, libraries), folder_of(target, libraries)
        if own is not None and other is not None and own != other:
            used.setdefault(own, {}).setdefault(other, f"{rel}:{number}")
    for folder, (target, has_sources, links) in sorted(libraries.items()):
        if folder not in layers:
            problems.append(f"{folder}: the library {target} is no layer (name its folder in the layers file)")
            continue
        linked = [targets[link] for link in links if link in targets and targets[link] != folder]
        for other in linked:
            if not may_include(folder, other, layers):
                problems.append(f"{folder}: links {libraries[other][0]}, which the layers file does not allow")
            elif has_sources and other not in used.get(folder, {}):
                problems.append(f"{folder}: links {libraries[other][0]}, but includes none of its headers")
        for other, place in sorted(used.get(folder, {}).items()):
            # An include the line does not allow is told once, as such.
            if other not in linked and may_include(folder, other, layers):
                problems.append(f"{folder}: includes {other} without linking {libraries[other][0]} ({place})")


def main(argv):
    script_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    root, order_file, links_file = script_root, None, None
    args = list(argv)
    while args:
        arg = args.pop(0)
        if arg in ("-h", "--help"):
            usage(sys.stdout)
            return 0
        if arg in ("--root", "--layers", "--links") and args:
            value = os.path.abspath(args.pop(0))
            if arg == "--root":
                root = value
            elif arg == "--layers":
                order_file = value
            else:
                links_file = value
            continue
        sys.stderr.write(f"check_layers.py: unexpected argument '{arg}'\n")
        usage(sys.stderr)
        return 2
    if order_file is None:
        order_file = os.path.join(root, "tools", "layers.txt")
    order_name = os.path.relpath(order_file, root)
    try:
        layers = read_layers(order_file)
        libraries = read_links(links_file) if links_file else None
    except (OSError, ValueError) as error:
        sys.stderr.write(f"check_layers.py: {error}\n")
        return 2

    problems = []
    check_lines(layers, order_name, problems)
    includes = scan_sources(root, layers, order_name, problems)
    check_includes(includes, layers, problems)
    if libraries is not None:
        check_links(includes, layers, libraries, problems)
    check_doc(root, layers, problems)
    for problem in problems:
        print(problem)
    if problems:
        sys.stderr.write(f"check_layers.py: {len(problems)} problem(s); {order_name} says what each layer may include "
                         "and link\n")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
