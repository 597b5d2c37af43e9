#!/usr/bin/env python3
"""Reads a tolvane --report file strictly, with Python's own JSON parser, and prints one tab-separated line per
object for the tests to compare (names in hex, so that any byte survives):

    image    SOURCE FILE KIND OFFSET LENGTH END
    summary  SOURCE IMAGES ABORTED FAILED COMPOUND_FILE BYTES_SCANNED

Exits with a message when a line is not a JSON object of exactly one of the two shapes."""
import json
import os
import sys

IMAGE = {"source": str, "file": str, "kind": str, "offset": int, "length": int, "end": str}
SUMMARY = {"source": str, "images": int, "aborted": bool, "failed": bool, "compound_file": bool, "bytes_scanned": int}
WORDS = {"kind": ("jpeg", "png"), "end": ("marker", "source-end", "failed")}


def name(text):
    return os.fsencode(text).hex()  # \udc80..\udcff become the bytes they stand for


with open(sys.argv[1], encoding="utf-8") as report:
    for number, line in enumerate(report, 1):
        record = json.loads(line)
        shape = IMAGE if "file" in record else SUMMARY
        well_formed = set(record) == set(shape) and all(type(record[k]) is t for k, t in shape.items())
        if not well_formed or any(record.get(k, words[0]) not in words for k, words in WORDS.items()):
            sys.exit(f"line {number} is not a report object: {line!r}")
        if shape is IMAGE:
            fields = ["image", name(record["source"]), name(record["file"]), record["kind"], record["offset"],
                      record["length"], record["end"]]
        else:
            fields = ["summary", name(record["source"]), record["images"]]
            fields += [str(record[k]).lower() for k in ("aborted", "failed", "compound_file")]
            fields.append(record["bytes_scanned"])
        print(*fields, sep="\t")
