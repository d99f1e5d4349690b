#!/usr/bin/env python3
"""Turns the command tables (commands/tables/*.txt) into C++ arrays.

Each file holds one table, one row a line, cells separated by tabs; '#'
lines and blank lines are ignored. Lists of numbers are separated by blanks
and may hold ranges "a-b". The words that name enum values (PICK_*, AUTO_*,
CONSTRUCT_*, MARGIN_*, INTERNAL_*) are checked against the enums of
command_tables.h. The build fails when an invariant does not hold:
- a template has at most 8 steps, a known mode and kinds 1 to 144;
- no command number is listed by two templates;
- the reference "p" (the previous step) stands only in open-ended lists
  (mode 6); every other reference is none or a construction point below the
  point limit;
- every command number lies in exactly one range, and once in the command
  table; every number a template lists is in the command table (or among the
  symbol-insertion numbers);
- every range handler is built or marked as not yet built;
- the ranges, the internal ranges and the point kinds cover their numbers
  without gaps or overlaps.

usage: gen_tables.py <command_tables.h> <tables dir> <out .cpp>
"""
import os
import re
import sys

POINT_LIMIT = 2000
MAX_STEPS = 8
TEMPLATE_COUNT = 142
MAP_SIZE = 5340
SYMBOL_FIRST, SYMBOL_LAST = 5340, 5439
KIND_LIMIT = 145
NUMBER_END = 7904
# References at or beyond their own step index (constructions fill those
# points before the step is entered): a count, so that a changed table is
# noticed.
FORWARD_REFERENCES = 30


def fail(msg):
    sys.stderr.write("gen_tables: " + msg + "\n")
    sys.exit(1)


def rows(path, cells):
    out = []
    for lineno, raw in enumerate(open(path, encoding="utf-8"), 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.startswith("#"):
            continue
        parts = line.split("\t")
        if len(parts) != cells:
            fail(f"{path}:{lineno}: {len(parts)} cells, {cells} expected")
        out.append((f"{os.path.basename(path)}:{lineno}", parts))
    return out


def number(text, where):
    try:
        return int(text, 0)
    except ValueError:
        fail(f"{where}: not a number: {text!r}")


def number_list(text, where):
    if text.strip() == "-":
        return []
    out = []
    for item in text.split():
        m = re.fullmatch(r"(\d+)-(\d+)", item)
        if m:
            a, b = int(m.group(1)), int(m.group(2))
            if a > b:
                fail(f"{where}: empty range {item}")
            out.extend(range(a, b + 1))
        else:
            out.append(number(item, where))
    return out


def enum_names(header, enum, prefix):
    text = open(header, encoding="utf-8").read()
    m = re.search(r"enum " + enum + r"\s*:\s*\w+\s*\{(.*?)\};", text, re.S)
    if not m:
        fail(f"enum {enum} not found in {header}")
    body = re.sub(r"//[^\n]*", "", m.group(1))
    names = [n.strip().split("=")[0].strip() for n in body.split(",") if n.strip()]
    return {n[len(prefix):]: n for n in names if n.startswith(prefix)}


def enum_word(names, word, where):
    if word not in names:
        fail(f"{where}: unknown word {word!r}")
    return names[word]


def read_templates(path):
    templates = {}
    users = {}
    forward = 0
    for where, (t, mode, steps, commands) in rows(path, 4):
        t, mode = number(t, where), number(mode, where)
        if t in templates:
            fail(f"{where}: template {t} twice")
        if not 0 <= t < TEMPLATE_COUNT:
            fail(f"{where}: template {t} outside 0..{TEMPLATE_COUNT - 1}")
        if not 0 <= mode <= 6:
            fail(f"{where}: mode {mode}")
        kinds, refs = [], []
        if steps != "-":
            for i, step in enumerate(steps.split()):
                m = re.fullmatch(r"(\d+)\(([-p]|\d+)\)", step)
                if not m:
                    fail(f"{where}: step {step!r}")
                kind = int(m.group(1))
                if not 1 <= kind < KIND_LIMIT:
                    fail(f"{where}: kind {kind}")
                ref = {"-": -1, "p": -2}.get(m.group(2))
                if ref is None:
                    ref = int(m.group(2))
                    if ref >= POINT_LIMIT:
                        fail(f"{where}: reference {ref} beyond the point limit")
                    if ref >= i:
                        forward += 1
                if ref == -2 and mode != 6:
                    fail(f"{where}: the previous step as reference outside an open-ended list")
                kinds.append(kind)
                refs.append(ref)
        if len(kinds) > MAX_STEPS:
            fail(f"{where}: {len(kinds)} steps")
        if mode != 0 and not kinds:
            fail(f"{where}: mode {mode} without steps")
        for n in number_list(commands, where):
            if n in users:
                fail(f"{where}: command {n} also in template {users[n]}")
            users[n] = t
        templates[t] = (mode, kinds, refs)
    if sorted(templates) != list(range(TEMPLATE_COUNT)):
        fail(f"{path}: templates 0..{TEMPLATE_COUNT - 1} expected")
    if forward != FORWARD_REFERENCES:
        fail(f"{path}: {forward} references at or beyond their step, {FORWARD_REFERENCES} expected")
    return templates, users


def read_ranges(path):
    ranges = []
    for where, (first, last, handler, state) in rows(path, 4):
        first, last = number(first, where), number(last, where)
        if state not in ("built", "todo"):
            fail(f"{where}: state {state!r}")
        if handler in ("beep", "none") and state != "built":
            fail(f"{where}: {handler} is always built")
        if ranges and first <= ranges[-1][1]:
            fail(f"{where}: ranges overlap or are not sorted")
        if last < first or last >= NUMBER_END:
            fail(f"{where}: range {first}-{last}")
        ranges.append((first, last, handler, state))
    return ranges


def range_index(ranges, n):
    for i, (first, last, _, _) in enumerate(ranges):
        if first <= n <= last:
            return i
    return -1


def flags_of(text, where):
    bits = {"n": "COMMAND_FLAG_NO_LIST", "t": "COMMAND_FLAG_TRANSPARENT", "o": "COMMAND_FLAG_ONCE"}
    if text == "-":
        return "0"
    out = []
    for c in text:
        if c not in bits:
            fail(f"{where}: flag {c!r}")
        out.append(bits[c])
    return " | ".join(out)


def main():
    if len(sys.argv) != 4:
        fail(__doc__)
    header, tables, out_path = sys.argv[1:]
    path = lambda name: os.path.join(tables, name)

    templates, users = read_templates(path("templates.txt"))
    ranges = read_ranges(path("ranges.txt"))

    commands = []
    seen = set()
    for where, (n, flags, help_) in rows(path("commands.txt"), 3):
        n = number(n, where)
        if n in seen:
            fail(f"{where}: command {n} twice")
        if commands and n < commands[-1][0]:
            fail(f"{where}: commands not sorted")
        seen.add(n)
        r = range_index(ranges, n)
        if r < 0:
            fail(f"{where}: command {n} lies in no range")
        if SYMBOL_FIRST <= n <= SYMBOL_LAST:
            fail(f"{where}: the symbol-insertion numbers are a range, not rows")
        help_ = n if help_ == "=" else number(help_, where)
        commands.append((n, r, users.get(n, 0), flags_of(flags, where), help_))
    for n, t in users.items():
        if n not in seen and not SYMBOL_FIRST <= n <= SYMBOL_LAST:
            fail(f"template {t} lists command {n}, which the command table lacks")
        if SYMBOL_FIRST <= n <= SYMBOL_LAST and t != 121:
            fail(f"symbol insertion {n} in template {t}")

    ops = enum_names(header, "InputPickOp", "PICK_")
    classes = {"coordinate": "KIND_COORDINATE", "element": "KIND_ELEMENT", "object": "KIND_OBJECT",
               "plain": "KIND_PLAIN", "followup": "KIND_FOLLOWUP", "selection": "KIND_SELECTION",
               "points": "KIND_POINTS"}
    kinds = {}
    for where, (ks, cls, op, mask) in rows(path("kinds.txt"), 4):
        for k in number_list(ks, where):
            if k in kinds:
                fail(f"{where}: kind {k} twice")
            if cls not in classes:
                fail(f"{where}: class {cls!r}")
            kinds[k] = (classes[cls], enum_word(ops, op, where), number(mask, where))
    if sorted(kinds) != list(range(1, KIND_LIMIT)):
        fail("kinds.txt: kinds 1..144 expected, each once")

    conds = enum_names(header, "AutoCondition", "AUTO_")
    autos = []
    for where, (step, cmds, cond) in rows(path("automatic.txt"), 3):
        s = -1 if step == "any" else number(step, where)
        if s >= MAX_STEPS:
            fail(f"{where}: step {s}")
        for c in number_list(cmds, where):
            autos.append((s, c, enum_word(conds, cond, where)))

    families = enum_names(header, "ConstructFamily", "CONSTRUCT_")
    constructs = {}
    for where, (cmds, idx, fam) in rows(path("constructions.txt"), 3):
        bits = 0
        for i in number_list(idx, where):
            if not 0 <= i < 32:
                fail(f"{where}: index {i}")
            bits |= 1 << i
        for c in number_list(cmds, where):
            if c in constructs:
                fail(f"{where}: command {c} twice")
            constructs[c] = (bits, enum_word(families, fam, where))

    actions = enum_names(header, "MarginAction", "MARGIN_")
    buttons = []
    for where, (b, left, right, option, windows) in rows(path("buttons.txt"), 5):
        if number(b, where) != len(buttons):
            fail(f"{where}: buttons out of order")
        if re.fullmatch(r"\d+", left):
            action, cmd = "MARGIN_COMMAND", int(left)
        else:
            action, cmd = enum_word(actions, left, where), number(right, where)
        opt = "SIZE_MAX" if option == "-" else f"offsetof(ProgramOptions, {option})"
        if windows not in ("all", "main"):
            fail(f"{where}: windows {windows!r}")
        buttons.append((action, cmd, number(right, where), opt, 1 if windows == "main" else 0))
    if len(buttons) != 14:
        fail("buttons.txt: 14 buttons expected")

    keys = [(k, number(c, where)) for where, (k, c) in rows(path("keys.txt"), 2)]
    for k, _ in keys:
        if not re.fullmatch(r"VK_\w+", k):
            fail(f"keys.txt: key {k!r}")

    internal_actions = enum_names(header, "InternalAction", "INTERNAL_")
    internals = []
    expect = 5340
    for where, (first, count, action, help_) in rows(path("internal.txt"), 4):
        first, count = number(first, where), number(count, where)
        help_ = 0 if help_ == "=" else number(help_, where)
        if first != expect or count < 1:
            fail(f"{where}: the internal ranges must follow each other from 5340")
        expect = first + count
        internals.append((first, count, enum_word(internal_actions, action, where), help_))
    if expect != NUMBER_END:
        fail("internal.txt: the internal ranges must end at 7903")

    o = []
    w = o.append
    w("// Generated by commands/tables/gen_tables.py from commands/tables/*.txt: do not edit.")
    w('#include "commands/command_tables.h"')
    w('#include "commands/menu.h"')
    w('#include "app/system.h"')
    w("#include <cstdint>")
    w("")
    w("const InputTemplate g_InputTemplates[TEMPLATE_COUNT] = {")
    for t in range(TEMPLATE_COUNT):
        mode, ks, rs = templates[t]
        pad = lambda a, fill: a + [fill] * (MAX_STEPS - len(a))
        w(f"    {{{mode}, {len(ks)}, {{{', '.join(map(str, pad(ks, 0)))}}}, "
          f"{{{', '.join(map(str, pad(rs, -1)))}}}, {{}}}}, // {t}")
    w("};")
    w("")
    mapping = [0] * MAP_SIZE
    for n, t in users.items():
        if n < MAP_SIZE:
            mapping[n] = t
    w("const int16_t g_CommandTemplateMap[TEMPLATE_MAP_SIZE] = {")
    for i in range(0, MAP_SIZE, 20):
        w("    " + ", ".join(str(v) for v in mapping[i:i + 20]) + ",")
    w("};")
    w("")
    w("CommandRange g_CommandRanges[] = {")
    for first, last, handler, state in ranges:
        if handler == "beep":
            w(f"    {{{first}, {last}, RANGE_BEEP, nullptr, nullptr}},")
        elif handler == "none":
            w(f"    {{{first}, {last}, RANGE_NOTHING, nullptr, nullptr}},")
        else:
            fn = handler if state == "built" else "nullptr"
            w(f'    {{{first}, {last}, RANGE_HANDLER, {fn}, "{handler}"}},')
    w("};")
    w(f"const int g_CommandRangeCount = {len(ranges)};")
    w("")
    w("const CommandEntry g_CommandTable[] = {")
    for n, r, t, f, h in commands:
        w(f"    {{{n}, {r}, {t}, {f}, {h}}},")
    w("};")
    w(f"const int g_CommandTableSize = {len(commands)};")
    w("")
    w("const PointKindInfo g_PointKinds[POINT_KIND_LIMIT] = {")
    w("    {KIND_UNUSED, PICK_NONE, 0},")
    for k in range(1, KIND_LIMIT):
        c, op, mask = kinds[k]
        w(f"    {{{c}, {op}, 0x{mask:X}}}, // {k}")
    w("};")
    w("")
    w("const AutoStepRule g_AutoStepRules[] = {")
    for s, c, cond in autos:
        w(f"    {{{s}, {c}, {cond}}},")
    w("};")
    w(f"const int g_AutoStepRuleCount = {len(autos)};")
    w("")
    w("const ConstructRule g_ConstructRules[] = {")
    for c in sorted(constructs):
        bits, fam = constructs[c]
        w(f"    {{{c}, 0x{bits:X}, {fam}}},")
    w("};")
    w(f"const int g_ConstructRuleCount = {len(constructs)};")
    w("")
    w("const MarginButton g_MarginButtons[MARGIN_BUTTONS] = {")
    for action, cmd, right, opt, main_only in buttons:
        w(f"    {{{action}, {cmd}, {right}, {opt}, {main_only}}},")
    w("};")
    w("")
    w("const CommandKey g_CommandKeys[] = {")
    for k, c in keys:
        w(f"    {{{k}, {c}}},")
    w("};")
    w(f"const int g_CommandKeyCount = {len(keys)};")
    w("")
    w("const InternalRange g_InternalRanges[] = {")
    for first, count, action, help_ in internals:
        w(f"    {{{first}, {count}, {action}, {help_}}},")
    w("};")
    w(f"const int g_InternalRangeCount = {len(internals)};")
    text = "\n".join(o) + "\n"
    if not os.path.exists(out_path) or open(out_path, encoding="utf-8").read() != text:
        with open(out_path, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
