"""Reads kestrow's rows back from OUTPUT.tsv, OUTPUT.csv and OUTPUT.json with
real parsers and checks that the three hold the same rows, and the files and
bytes they should.

  rows.py make-tree FOLDER | check-scan FOLDER OUTPUT
  rows.py make-pair FILE_A FILE_B | check-compare OUTPUT
  rows.py check-groups FOLDER OUTPUT (scan --groups of make-tree's FOLDER)
  rows.py same-sets FOLDER OUTPUT.tsv FDUPES_LISTING|- (scan --groups against fdupes -r -H)
"""
import csv
import io
import json
import os
import sys

# A tab, quote, comma, line breaks, a backslash, valid UTF-8, and bytes that
# are not UTF-8 (a lone byte, an overlong form, a surrogate).
NAMES = [b"tab\there", b'quote"d', b"comma,name", b"new\nline", b"cr\rname", b"back\\slash", b"caf\xc3\xa9",
         b"lone\xffbyte", b"\x80start", b"overlong\xc0\xaf", b"surrogate\xed\xa0\x80", b"plain"]
NESTED = b'sub, "dir"\t'
# Runs of awkward differing bytes, one byte outside UTF-8, and a run longer
# than the 20 bytes a row quotes.
PAIR_A = b'head\x00\x80\xff,"\n\t\r\\xmidZtail' + bytes(range(100, 125)) + b"end"
PAIR_B = b"head\x01\x81\xfe;'\r\x0b\n/ymid\xe9tail" + bytes(range(200, 225)) + b"end"
PAIR_RUNS = [(4, 10), (17, 1), (22, 25)]
LABELS = {"start": b"Start", "end": b"End", "aborted": b"Aborted"}


def fail(message):
    print("FAIL " + message)
    sys.exit(1)


def make_tree(folder):
    folder = os.fsencode(folder)
    os.makedirs(os.path.join(folder, NESTED))
    for number, name in enumerate(NAMES):
        for place in (folder, os.path.join(folder, NESTED)):
            with open(os.path.join(place, name), "wb") as file:
                file.write(b"content of pair %d\n" % number)


def make_pair(path_a, path_b):
    for path, content in ((path_a, PAIR_A), (path_b, PAIR_B)):
        with open(path, "wb") as file:
            file.write(content)


def unescape_tsv(cell):
    out, position = bytearray(), 0
    while position < len(cell):
        if cell[position] != ord("\\"):
            out.append(cell[position])
            position += 1
        elif cell[position + 1] == ord("x"):
            out.append(int(cell[position + 2:position + 4], 16))
            position += 4
        else:
            out += {b"t": b"\t", b"n": b"\n", b"r": b"\r", b"\\": b"\\"}[cell[position + 1:position + 2]]
            position += 2
    return bytes(out)


def read_tsv(path):
    with open(path, "rb") as file:
        lines = file.read().split(b"\n")
    if lines[-1] != b"":
        fail("tsv: the last row has no line end")
    rows = [tuple(unescape_tsv(cell) for cell in line.split(b"\t")) for line in lines[:-1]]
    if any(len(row) != 3 for row in rows):
        fail("tsv: a row without three cells in %r" % rows)
    return rows


def read_csv(path):
    with open(path, "rb") as file:
        data = file.read()
    records = list(csv.reader(io.StringIO(data.decode("utf-8", "surrogateescape"), newline=""), strict=True))
    # RFC 4180 with CRLF line ends and minimal quoting: written again, the records give the same bytes.
    again = io.StringIO(newline="")
    csv.writer(again, lineterminator="\r\n").writerows(records)
    if again.getvalue().encode("utf-8", "surrogateescape") != data:
        fail("csv: not RFC 4180 with CRLF line ends and minimal quoting")
    return [tuple(field.encode("utf-8", "surrogateescape") for field in record) for record in records]


def read_json(path):
    rows = []
    with open(path, "rb") as file:
        for line in file:
            try:
                rows.append(json.loads(line.decode("utf-8")))
            except ValueError as error:
                fail("json: %r is no JSON object in UTF-8: %s" % (line, error))
            if not line.endswith(b"\n"):
                fail("json: the last row has no line end")
    return rows


def read_all(output):
    tsv, csv_rows, json_rows = read_tsv(output + ".tsv"), read_csv(output + ".csv"), read_json(output + ".json")
    if csv_rows != tsv or len(json_rows) != len(tsv):
        fail("the formats differ:\n  tsv %r\n  csv %r\n  json %r" % (tsv, csv_rows, json_rows))
    return tsv, json_rows


def text(row, key):
    """A text field as bytes: KEY holds valid UTF-8, KEY_hex any other bytes."""
    if key + "_hex" not in row:
        return row.get(key, "").encode("utf-8")
    data = bytes.fromhex(row[key + "_hex"])
    if key in row or data.decode("utf-8", "replace").encode("utf-8") == data:
        fail("json: %s_hex where %s was due in %r" % (key, key, row))
    return data


def number(row, key):
    if type(row[key]) is not int:
        fail("json: %s is not a number in %r" % (key, row))
    return row[key]


def check_scan(folder, output):
    tsv, json_rows = read_all(output)
    twins = set()
    for cells, row in zip(tsv, json_rows):
        if row["row"] == "twin":
            shown = (text(row, "path_a"), text(row, "path_b"), b"%d" % number(row, "percent"))
            twins.add(frozenset(shown[:2]))
        elif "files" in row:
            shown = (LABELS[row["row"]], b"%d files found." % number(row, "files"), b"")
        else:
            shown = (LABELS[row["row"]], b"%d twins found" % number(row, "twins"), b"")
        if shown != cells:
            fail("json row %r is not tsv row %r" % (row, cells))
    if [row["row"] for row in json_rows] != ["start"] + ["twin"] * len(NAMES) + ["end"]:
        fail("json rows of the wrong kinds: %r" % json_rows)
    if json_rows[0]["files"] != 2 * len(NAMES) or json_rows[-1]["twins"] != len(NAMES):
        fail("json counts: %r, %r" % (json_rows[0], json_rows[-1]))
    folder = os.fsencode(folder)
    made = {frozenset((os.path.join(folder, name), os.path.join(folder, NESTED, name))) for name in NAMES}
    if twins != made:
        fail("twins found %r, not the pairs made %r" % (twins, made))


def check_compare(output):
    tsv, json_rows = read_all(output)
    runs = []
    for cells, row in zip(tsv, json_rows):
        if row["row"] == "run":
            offset, length = number(row, "offset"), number(row, "length")
            quoted = slice(offset, offset + min(length, 20))
            if (b"%d" % offset, b"%d" % length) != cells[:2] or \
                    (row["bytes_a"], row["bytes_b"]) != (list(PAIR_A[quoted]), list(PAIR_B[quoted])):
                fail("json run %r is not tsv row %r or not the files' bytes" % (row, cells))
            runs.append((offset, length))
        elif (LABELS[row["row"]], b"", text(row, "note" if row["row"] == "start" else "verdict")) != cells:
            fail("json row %r is not tsv row %r" % (row, cells))
    if [row["row"] for row in json_rows] != ["start"] + ["run"] * len(runs) + ["end"] or runs != PAIR_RUNS:
        fail("json rows %r, not the runs made %r" % (json_rows, PAIR_RUNS))


def read_groups(output, formats=("tsv", "csv", "json")):
    """The sets of files in OUTPUT.FORMAT as [[path, ...], ...] and their sizes, alike in every format."""
    with open(output + ".tsv", "rb") as file:
        blocks = file.read().split(b"\n\n")
    sets = [[unescape_tsv(line) for line in block.split(b"\n")] for block in blocks[1:-1]]
    sizes = None
    if "csv" in formats:
        records = read_csv(output + ".csv")[1:-1]
        numbers = sorted({int(record[0]) for record in records})
        if numbers != list(range(1, len(sets) + 1)):
            fail("csv: sets numbered %r" % numbers)
        if [[record[2] for record in records if int(record[0]) == n] for n in numbers] != sets:
            fail("csv sets %r are not the tsv sets %r" % (records, sets))
        sizes = [int(next(record[1] for record in records if int(record[0]) == n)) for n in numbers]
    if "json" in formats:
        groups = [row for row in read_json(output + ".json") if row["row"] == "group"]
        paths = [[bytes.fromhex(p) for p in row["paths_hex"]] if "paths_hex" in row
                 else [p.encode("utf-8") for p in row["paths"]] for row in groups]
        if paths != sets or [number(row, "size") for row in groups] != sizes:
            fail("json sets %r are not the tsv sets %r of sizes %r" % (groups, sets, sizes))
    return sets, sizes


def check_groups(folder, output):
    sets, sizes = read_groups(output)
    folder = os.fsencode(folder)
    made = {frozenset((os.path.join(folder, name), os.path.join(folder, NESTED, name))) for name in NAMES}
    if {frozenset(group) for group in sets} != made or any(len(group) != 2 for group in sets):
        fail("sets found %r, not the pairs made %r" % (sets, made))
    if sizes != [os.path.getsize(group[0]) for group in sets]:
        fail("sizes %r are not the files'" % sizes)


def walk_order(folder):
    """Files below FOLDER in the order the walk meets them: names in byte order, depth first."""
    files = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        files += walk_order(path) if os.path.isdir(path) and not os.path.islink(path) else [path]
    return files


def same_sets(folder, tsv_output, fdupes_listing):
    """The sets agree with fdupes's once two names of one file count as that file, and come in walk order."""
    sets, _ = read_groups(tsv_output[:-len(".tsv")], ("tsv",))
    identity = lambda path: (os.stat(path).st_dev, os.stat(path).st_ino)
    place = {path: at for at, path in enumerate(walk_order(os.fsencode(folder)))}
    for group in sets:
        if len({identity(path) for path in group}) != len(group):
            fail("a set names one file twice: %r" % group)
        if [place[path] for path in group] != sorted(place[path] for path in group):
            fail("a set not in walk order: %r" % group)
    if [place[group[0]] for group in sets] != sorted(place[group[0]] for group in sets):
        fail("sets not in the walk order of their first files: %r" % sets)
    if fdupes_listing == "-":
        return
    with open(fdupes_listing, "rb") as file:
        listed = [block.split(b"\n") for block in file.read().strip(b"\n").split(b"\n\n") if block]
    fdupes = {frozenset(map(identity, group)) for group in listed} - {frozenset([identity(g[0])]) for g in listed}
    if {frozenset(map(identity, group)) for group in sets} != fdupes:
        fail("sets %r differ from fdupes's %r" % (sets, listed))


if __name__ == "__main__":
    {"make-tree": make_tree, "check-scan": check_scan,
     "make-pair": make_pair, "check-compare": check_compare, "check-groups": check_groups,
     "same-sets": same_sets}[sys.argv[1]](*sys.argv[2:])
