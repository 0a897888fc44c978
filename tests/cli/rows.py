"""Reads the rows kestrow wrote as tsv, csv and json back with real parsers
and checks that all three hold the same rows, and that those rows name the
files and bytes they should.

  rows.py make-tree FOLDER              files with awkward names, in pairs of equal content
  rows.py check-scan FOLDER OUTPUT      OUTPUT.tsv, OUTPUT.csv, OUTPUT.json of `kestrow scan FOLDER`
  rows.py make-pair FILE_A FILE_B       two files with runs of awkward differing bytes
  rows.py check-compare FILE_A FILE_B OUTPUT
"""
import csv
import io
import json
import os
import sys

# Names with a tab, quote, comma, line breaks, a backslash, valid UTF-8, and
# bytes that are not UTF-8 (a lone byte, an overlong form, a surrogate).
AWKWARD_NAMES = [
    b"tab\there", b'quote"d', b"comma,name", b"new\nline", b"cr\rname", b"back\\slash",
    b"caf\xc3\xa9", b"lone\xffbyte", b"\x80start", b"overlong\xc0\xaf", b"surrogate\xed\xa0\x80",
    b"plain",
]


def fail(message):
    print("FAIL " + message)
    sys.exit(1)


def make_tree(folder):
    folder = os.fsencode(folder)
    nested = os.path.join(folder, b'sub, "dir"\t')
    os.makedirs(nested)
    for number, name in enumerate(AWKWARD_NAMES):
        # Pairs of equal content: each name's file has a twin in the nested folder.
        content = b"content of pair %d\n" % number
        for place in (folder, nested):
            with open(os.path.join(place, name), "wb") as file:
                file.write(content)


def unescape_tsv_cell(cell):
    out = bytearray()
    position = 0
    while position < len(cell):
        if cell[position:position + 1] != b"\\":
            out += cell[position:position + 1]
            position += 1
            continue
        code = cell[position + 1:position + 2]
        if code == b"x":
            out.append(int(cell[position + 2:position + 4], 16))
            position += 4
        else:
            out += {b"t": b"\t", b"n": b"\n", b"r": b"\r", b"\\": b"\\"}[code]
            position += 2
    return bytes(out)


def read_tsv(path):
    with open(path, "rb") as file:
        data = file.read()
    if data and not data.endswith(b"\n"):
        fail("tsv: the last row has no line end")
    rows = []
    for line in data.split(b"\n")[:-1]:
        cells = line.split(b"\t")
        if len(cells) != 3:
            fail("tsv: row %r has %d cells" % (line, len(cells)))
        rows.append(tuple(unescape_tsv_cell(cell) for cell in cells))
    return rows


def read_csv(path):
    with open(path, "rb") as file:
        data = file.read()
    text = data.decode("utf-8", "surrogateescape")
    records = list(csv.reader(io.StringIO(text, newline=""), strict=True))
    # RFC 4180 with CRLF line ends and minimal quoting: writing the records
    # again must give the same bytes.
    again = io.StringIO(newline="")
    csv.writer(again, lineterminator="\r\n").writerows(records)
    if again.getvalue().encode("utf-8", "surrogateescape") != data:
        fail("csv: not written as RFC 4180 with CRLF line ends and minimal quoting")
    for record in records:
        if len(record) != 3:
            fail("csv: record %r has %d fields" % (record, len(record)))
    return [tuple(field.encode("utf-8", "surrogateescape") for field in record) for record in records]


def text_field(row, key):
    """A text field of a json row as bytes: KEY holds UTF-8, KEY_hex any other bytes."""
    if key in row and key + "_hex" in row:
        fail("json: both %s and %s_hex in %r" % (key, key, row))
    if key + "_hex" in row:
        data = bytes.fromhex(row[key + "_hex"])
        try:
            data.decode("utf-8")
            fail("json: %r is UTF-8 but written as hex" % data)
        except UnicodeDecodeError:
            return data
    value = row.get(key, "")
    if not isinstance(value, str):
        fail("json: %s is not a string in %r" % (key, row))
    return value.encode("utf-8")


def whole_number(row, key):
    value = row[key]
    if type(value) is not int:
        fail("json: %s is not a number in %r" % (key, row))
    return value


def read_json(path):
    rows = []
    with open(path, "rb") as file:
        for line in file:
            if not line.endswith(b"\n"):
                fail("json: the last row has no line end")
            try:
                rows.append(json.loads(line.decode("utf-8")))
            except ValueError as error:
                fail("json: %r is no JSON object of valid UTF-8: %s" % (line, error))
    return rows


def read_all(output):
    tsv = read_tsv(output + ".tsv")
    csv_rows = read_csv(output + ".csv")
    if csv_rows != tsv:
        fail("csv and tsv differ:\n  csv %r\n  tsv %r" % (csv_rows, tsv))
    json_rows = read_json(output + ".json")
    if len(json_rows) != len(tsv):
        fail("json has %d rows, tsv %d" % (len(json_rows), len(tsv)))
    return tsv, json_rows


def count_cell(row):
    if "files" in row:
        return b"%d files found." % whole_number(row, "files")
    if "twins" in row:
        return b"%d twins found" % whole_number(row, "twins")
    return b""


LABELS = {"start": b"Start", "end": b"End", "aborted": b"Aborted"}


def check_scan(folder, output):
    tsv, json_rows = read_all(output)
    twins = set()
    for cells, row in zip(tsv, json_rows):
        if row["row"] == "twin":
            path_a, path_b = text_field(row, "path_a"), text_field(row, "path_b")
            shown = (path_a, path_b, b"%d" % whole_number(row, "percent"))
            twins.add(frozenset((path_a, path_b)))
        else:
            shown = (LABELS[row["row"]], count_cell(row), b"")
        if shown != cells:
            fail("json row %r is not tsv row %r" % (row, cells))
    if [row["row"] for row in json_rows] != ["start"] + ["twin"] * len(AWKWARD_NAMES) + ["end"]:
        fail("json rows of the wrong kinds: %r" % json_rows)
    if json_rows[0]["files"] != 2 * len(AWKWARD_NAMES) or json_rows[-1]["twins"] != len(AWKWARD_NAMES):
        fail("json counts: %r, %r" % (json_rows[0], json_rows[-1]))
    folder = os.fsencode(folder)
    nested = os.path.join(folder, b'sub, "dir"\t')
    expected = {frozenset((os.path.join(folder, name), os.path.join(nested, name))) for name in AWKWARD_NAMES}
    if twins != expected:
        fail("twins found %r, not the pairs made %r" % (twins, expected))


# Runs of differing bytes: quote, comma, tab, line breaks, backslash, zero and
# bytes outside UTF-8; a single byte outside UTF-8; a run longer than the 20
# bytes a row quotes.
PAIR_A = b"head" + b'\x00\x80\xff,"\n\t\r\\x' + b"mid" + b"Z" + b"tail" + bytes(range(100, 125)) + b"end"
PAIR_B = b"head" + b"\x01\x81\xfe;'\r\x0b\n/y" + b"mid" + b"\xe9" + b"tail" + bytes(range(200, 225)) + b"end"


def make_pair(path_a, path_b):
    for path, content in ((path_a, PAIR_A), (path_b, PAIR_B)):
        with open(path, "wb") as file:
            file.write(content)


def differing_runs(a, b):
    runs, start = [], None
    for position in range(len(a) + 1):
        differs = position < len(a) and a[position] != b[position]
        if differs and start is None:
            start = position
        elif not differs and start is not None:
            runs.append((start, position - start))
            start = None
    return runs


def check_compare(path_a, path_b, output):
    tsv, json_rows = read_all(output)
    with open(path_a, "rb") as file:
        a = file.read()
    with open(path_b, "rb") as file:
        b = file.read()
    runs = []
    for cells, row in zip(tsv, json_rows):
        if row["row"] == "run":
            offset, length = whole_number(row, "offset"), whole_number(row, "length")
            if (b"%d" % offset, b"%d" % length) != cells[:2]:
                fail("json run %r is not tsv row %r" % (row, cells))
            quoted = min(length, 20)
            if row["bytes_a"] != list(a[offset:offset + quoted]) or row["bytes_b"] != list(b[offset:offset + quoted]):
                fail("json run %r does not hold the files' bytes" % row)
            runs.append((offset, length))
        else:
            key = "note" if row["row"] == "start" else "verdict"
            if (LABELS[row["row"]], b"", text_field(row, key)) != cells:
                fail("json row %r is not tsv row %r" % (row, cells))
    if runs != differing_runs(a, b):
        fail("runs %r, not the runs made %r" % (runs, differing_runs(a, b)))
    if [row["row"] for row in json_rows] != ["start"] + ["run"] * len(runs) + ["end"]:
        fail("json rows of the wrong kinds: %r" % json_rows)


if __name__ == "__main__":
    command, arguments = sys.argv[1], sys.argv[2:]
    {"make-tree": make_tree, "check-scan": check_scan,
     "make-pair": make_pair, "check-compare": check_compare}[command](*arguments)
