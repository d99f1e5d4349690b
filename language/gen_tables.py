#!/usr/bin/env python3
"""Generates the language module's text tables and its .def file.

Each table is one file tables/<name>.txt: one entry a line, "<index><TAB><text>",
'#' lines and blank lines ignored. A file whose name is not its table's names
the table in a first line "@table <name>". Texts are UTF-8 here and become Windows-1252
in the module; \\n, \\t, \\\\ and \\xNN are escapes. Indexes below the highest
one that no line gives are empty strings. Every table is closed by its end
entry, a text made of the character 4, added after its highest entry; lists
built from a table stop there, so no other entry may begin with it.

cited.txt lists every entry the program uses, one a line:
"<table><TAB><index or first-last><TAB><conversions>", where conversions is
"-" for a plain text, or the printf conversions that the caller passes, in
order, separated by blanks (e.g. "%s %d"). The build fails when a cited entry
is missing or empty, or when a format's conversions differ from its line.

usage: gen_tables.py <language.h> <tables dir> <cited.txt> <out tables.cpp> <out .def>
"""
import os
import re
import sys


def fail(msg):
    sys.stderr.write("gen_tables: " + msg + "\n")
    sys.exit(1)


def table_names(header):
    text = open(header, encoding="utf-8").read()
    body = text[text.index("#define LANGUAGE_TABLES"):]
    body = body[: body.index("\n\n")]
    return re.findall(r"X\((e\w+)\)", body)


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        if i + 1 >= len(text):
            fail(f"{where}: lone backslash at the end")
        n = text[i + 1]
        if n == "n":
            out.append("\n"); i += 2
        elif n == "t":
            out.append("\t"); i += 2
        elif n == "\\":
            out.append("\\"); i += 2
        elif n == "x" and re.match(r"[0-9A-Fa-f]{2}", text[i + 2:i + 4]):
            out.append(chr(int(text[i + 2:i + 4], 16))); i += 4
        else:
            fail(f"{where}: unknown escape \\{n}")
    return "".join(out)


TABLE_DIRECTIVE = re.compile(r"@table\s+(e\w+)\s*$")


def table_of_file(path):
    """The table a file holds: its "@table" line, else its file name."""
    with open(path, encoding="utf-8") as f:
        m = TABLE_DIRECTIVE.match(f.readline())
    return m.group(1) if m else os.path.basename(path)[:-4]


def read_table(path):
    entries = {}
    for lineno, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#") or (lineno == 1 and TABLE_DIRECTIVE.match(line)):
            continue
        where = f"{path}:{lineno}"
        m = re.match(r"(\d+)\t(.*)$", line)
        if not m:
            fail(f"{where}: expected '<index><TAB><text>'")
        index = int(m.group(1))
        if index in entries:
            fail(f"{where}: entry {index} given twice")
        entries[index] = unescape(m.group(2), where)
    return entries


END_ENTRY = "\x04"

# One printf conversion: flags, width, precision, length, conversion letter.
CONVERSION = re.compile(r"%([-+ #0]*)(\*|\d+)?(\.(\*|\d+))?(hh|h|ll|l|L|I64|I32)?([diouxXeEfgGcsp%])")


def conversions(text):
    """The conversions of a format, '%%' left out, each reduced to '%' + length + letter."""
    out = []
    for m in CONVERSION.finditer(text):
        if m.group(6) == "%":
            continue
        out.append("%" + (m.group(5) or "") + m.group(6))
    return out


def read_cited(path, known):
    cited = []
    for lineno, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#"):
            continue
        where = f"{path}:{lineno}"
        parts = line.split("\t")
        if len(parts) != 3:
            fail(f"{where}: expected '<table><TAB><index><TAB><conversions>'")
        table, index, expected = parts
        if table not in known:
            fail(f"{where}: no table {table} in language.h")
        m = re.fullmatch(r"(\d+)(?:-(\d+))?", index)
        if not m:
            fail(f"{where}: bad index '{index}'")
        first = int(m.group(1))
        last = int(m.group(2)) if m.group(2) else first
        if last < first:
            fail(f"{where}: empty range {index}")
        want = None if expected.strip() == "-" else expected.split()
        for i in range(first, last + 1):
            cited.append((table, i, want, where))
    return cited


def check_cited(cited, tables):
    errors = []
    for table, index, want, where in cited:
        entries = tables[table]
        text = entries.get(index)
        if not text:
            errors.append(f"{where}: {table} entry {index} is cited but missing or empty")
            continue
        if want is not None:
            have = conversions(text)
            # Compare letters and length modifiers; flags, width and precision are the text's own.
            if have != [w if w.startswith("%") else "%" + w for w in want]:
                errors.append(f"{where}: {table} entry {index} has conversions {' '.join(have) or '(none)'},"
                              f" its caller passes {' '.join(want)}: {text!r}")
    if errors:
        fail("\n  ".join(["cited entries do not match the tables:"] + errors))


def c_literal(text, where):
    try:
        data = text.encode("cp1252")
    except UnicodeEncodeError as e:
        fail(f"{where}: not in Windows-1252: {e}")
    out = []
    for b in data:
        ch = chr(b)
        if ch == '"' or ch == "\\":
            out.append("\\" + ch)
        elif 32 <= b < 127 and ch != "?":
            out.append(ch)
        else:
            out.append("\\%03o" % b)
    return '"' + "".join(out) + '"'


def main():
    if len(sys.argv) != 6:
        fail(__doc__)
    header, tables_dir, cited_path, out_cpp, out_def = sys.argv[1:]
    names = table_names(header)
    known = set(names)
    files = {}
    for f in sorted(os.listdir(tables_dir)):
        if not f.endswith(".txt"):
            continue
        path = os.path.join(tables_dir, f)
        name = table_of_file(path)
        if name not in known:
            fail(f"{f}: no such table in language.h")
        if name in files:
            fail(f"{f}: table {name} is given by {files[name]} already")
        files[name] = path

    tables = {}
    for name in names:
        path = files.get(name, os.path.join(tables_dir, name + ".txt"))
        tables[name] = read_table(path) if name in files else {}
        for index, text in tables[name].items():
            if text.startswith(END_ENTRY):
                fail(f"{path}: entry {index} begins with the end mark; the end entry is added by itself")
    check_cited(read_cited(cited_path, known), tables)

    cpp = ['// Generated by gen_tables.py from tables/*.txt: do not edit.',
           '#define LANGUAGE_BUILDING_MODULE',
           '#include "language.h"', '']
    for name in names:
        entries = dict(tables[name])
        end = max(entries) + 1 if entries else 0
        entries[end] = END_ENTRY
        count = end + 1
        cpp.append(f"extern \"C\" const char *const {name}[{count}] = {{")
        for i in range(count):
            cpp.append("    " + c_literal(entries.get(i, ""), f"{name}[{i}]") + ",")
        cpp.append("};")
        cpp.append("")
    new_cpp = "\n".join(cpp)
    if not os.path.exists(out_cpp) or open(out_cpp, encoding="utf-8").read() != new_cpp:
        open(out_cpp, "w", encoding="utf-8").write(new_cpp)

    lines = ["LIBRARY language.dll", "EXPORTS",
             "    ZVI_LanguageInit = ZVI_LanguageInit@16",
             "    ZVI_LanguageExit = ZVI_LanguageExit@0"]
    lines += [f"    {name} DATA" for name in names]
    new_def = "\n".join(lines) + "\n"
    if not os.path.exists(out_def) or open(out_def).read() != new_def:
        open(out_def, "w").write(new_def)


main()
