#!/usr/bin/env python3
"""Generates the language module's text tables and its .def file.

Each table is one file tables/<name>.txt: one entry a line, "<index><TAB><text>"
or "<index> <Name><TAB><text>" for an entry the program uses by name,
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

Named entries: the generator writes a header (language_entries.h) that gives
every entry of every table a name in the namespace lang::<table>: e<index> for
each entry present, and its own name where the table file gives one. The
program reaches a text as LANG(eDialogText, ReadOnlyMark), or, for a printf
format, as LANG_FORMAT(eAlertErrorText, SaveLocked, "%s") with the conversions
it passes; an entry the table does not have does not compile.

Cited entries derived from use: with --uses, the generator reads the program's
sources, finds every LANG and LANG_FORMAT, and checks those entries as if
cited.txt listed them (LANG: present and not empty; LANG_FORMAT: also its
conversions). cited.txt still lists the uses that index a table directly.

usage: gen_tables.py <language.h> <tables dir> <cited.txt> <out tables.cpp> <out .def> [<out entries.h>]
       gen_tables.py --uses <language.h> <tables dir> <cited.txt> <stamp> <source dir>...
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


NUMBERED_NAME = re.compile(r"e\d+$")


def read_table(path, names=None):
    """The entries by index; the names the file gives go to names (name -> index)."""
    entries = {}
    for lineno, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#") or (lineno == 1 and TABLE_DIRECTIVE.match(line)):
            continue
        where = f"{path}:{lineno}"
        m = re.match(r"(\d+)(?: ([A-Za-z_]\w*))?\t(.*)$", line)
        if not m:
            fail(f"{where}: expected '<index><TAB><text>' or '<index> <Name><TAB><text>'")
        index = int(m.group(1))
        if index in entries:
            fail(f"{where}: entry {index} given twice")
        entries[index] = unescape(m.group(3), where)
        name = m.group(2)
        if name is not None and names is not None:
            if NUMBERED_NAME.match(name):
                fail(f"{where}: the name {name} is kept for the numbered names")
            if name in names:
                fail(f"{where}: the name {name} is given twice")
            names[name] = index
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


# A use in the program: LANG(table, name) or LANG_FORMAT(table, name, "conversions").
USE = re.compile(r'\bLANG(_FORMAT)?\(\s*(e\w+)\s*,\s*(\w+)\s*(?:,\s*"([^"]*)"\s*)?\)')
SOURCE_SUFFIXES = (".cpp", ".h")


# A use by number: eTable[12], or eTable[NAME] with NAME a constant the same
# file gives a number ("constexpr int NAME = 12" or in a list of such).
INDEXED = re.compile(r'\b(e[A-Z]\w*)\[\s*(\d+|[A-Z][A-Z0-9_]*)\s*\]')
CONSTANT = re.compile(r'\b([A-Z][A-Z0-9_]*)\s*=\s*(\d+)\b')
CONSTANT_LINE = re.compile(r'^\s*(?:static\s+)?constexpr\s+(?:int|int32_t|uint32_t|size_t)\s+(.*)$', re.M)


def file_constants(text):
    """The integer constants a source file declares, by name."""
    constants = {}
    for line in CONSTANT_LINE.finditer(text):
        for m in CONSTANT.finditer(line.group(1).split("//")[0]):
            constants[m.group(1)] = int(m.group(2))
    return constants


def read_indexed_uses(path, text, known):
    """The entries a source reads by a number or a numbered constant."""
    constants = file_constants(text)
    cited = []
    for m in INDEXED.finditer(text):
        table, index = m.groups()
        if table not in known:
            continue
        value = int(index) if index.isdigit() else constants.get(index)
        if value is None:
            continue
        where = f"{path}:{text.count(chr(10), 0, m.start()) + 1}"
        cited.append((table, value, None, where))
    return cited


def read_uses(dirs, known, names):
    """The entries the sources use by name or number, in the form read_cited gives."""
    cited = []
    for d in dirs:
        for f in sorted(os.listdir(d)):
            if not f.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(d, f)
            text = open(path, encoding="utf-8", errors="replace").read()
            cited += read_indexed_uses(path, text, known)
            for m in USE.finditer(text):
                is_format, table, name, want = m.groups()
                where = f"{path}:{text.count(chr(10), 0, m.start()) + 1}"
                if table not in known:
                    fail(f"{where}: no table {table} in language.h")
                index = names[table].get(name)
                if index is None and NUMBERED_NAME.match(name):
                    index = int(name[1:])
                if index is None:
                    fail(f"{where}: {table} has no entry named {name}")
                if is_format and want is None:
                    fail(f"{where}: LANG_FORMAT needs the conversions the caller passes")
                cited.append((table, index, want.split() if is_format else None, where))
    return cited


def entries_header(names, tables, table_names_in_order):
    out = ["// Generated by gen_tables.py from tables/*.txt: do not edit.",
           "// Every entry of every language table by name: LANG(eDialogText, ReadOnlyMark)",
           "// is that entry's text; an entry the table does not have does not compile.",
           "#pragma once", "", '#include "language/language.h"', "",
           "#define LANG(table, entry) (table[::lang::table::entry])",
           "// A printf format, with the conversions its caller passes; the build checks them.",
           "#define LANG_FORMAT(table, entry, conversions) (table[::lang::table::entry])", "",
           "namespace lang {"]
    for table in table_names_in_order:
        members = [f"e{i} = {i}" for i in sorted(tables[table])]
        members += [f"{n} = {i}" for n, i in sorted(names[table].items(), key=lambda x: x[1])]
        out.append(f"namespace {table} {{")
        out.append("enum : int {")
        out += [f"    {m}," for m in members]
        out.append("};")
        out.append(f"}} // namespace {table}")
    out.append("} // namespace lang")
    return "\n".join(out) + "\n"


def write_if_changed(path, text):
    if not os.path.exists(path) or open(path, encoding="utf-8").read() != text:
        open(path, "w", encoding="utf-8").write(text)


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


def load(header, tables_dir):
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
    entry_names = {}
    for name in names:
        path = files.get(name, os.path.join(tables_dir, name + ".txt"))
        entry_names[name] = {}
        tables[name] = read_table(path, entry_names[name]) if name in files else {}
        for index, text in tables[name].items():
            if text.startswith(END_ENTRY):
                fail(f"{path}: entry {index} begins with the end mark; the end entry is added by itself")
    return names, known, tables, entry_names


def check_uses(args):
    if len(args) < 5:
        fail(__doc__)
    header, tables_dir, cited_path, stamp = args[:4]
    names, known, tables, entry_names = load(header, tables_dir)
    check_cited(read_cited(cited_path, known) + read_uses(args[4:], known, entry_names), tables)
    open(stamp, "w").write("checked\n")


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--uses":
        check_uses(sys.argv[2:])
        return
    if len(sys.argv) not in (6, 7):
        fail(__doc__)
    header, tables_dir, cited_path, out_cpp, out_def = sys.argv[1:6]
    names, known, tables, entry_names = load(header, tables_dir)
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
    write_if_changed(out_cpp, "\n".join(cpp))
    if len(sys.argv) == 7:
        write_if_changed(sys.argv[6], entries_header(entry_names, tables, names))

    lines = ["LIBRARY language.dll", "EXPORTS",
             "    ZVI_LanguageInit = ZVI_LanguageInit@16",
             "    ZVI_LanguageExit = ZVI_LanguageExit@0"]
    lines += [f"    {name} DATA" for name in names]
    new_def = "\n".join(lines) + "\n"
    if not os.path.exists(out_def) or open(out_def).read() != new_def:
        open(out_def, "w").write(new_def)


main()
