"""Reads the record files that the helper programs write (see helpers/record.h).

Each field is "<name> <length>:<bytes>\\n"; a field named "end" closes a record.
Texts are decoded as Latin-1, so every byte maps to one character unchanged.
"""
from pathlib import Path


def parse_records(data: bytes) -> list[dict]:
    """Returns one dict per record; a field that occurs several times ("arg")
    becomes a list under its name, the others are plain strings."""
    records, fields, position = [], {}, 0
    while position < len(data):
        blank = data.index(b" ", position)
        colon = data.index(b":", blank)
        name = data[position:blank].decode("ascii")
        length = int(data[blank + 1:colon])
        value = data[colon + 1:colon + 1 + length].decode("latin-1")
        position = colon + 1 + length + 1  # the value's closing line feed
        if name == "end":
            records.append(fields)
            fields = {}
        elif name == "arg":
            fields.setdefault("args", []).append(value)
        else:
            fields[name] = value
    if fields:
        raise ValueError(f"record without its end: {fields}")
    return records


def read_records(path: Path) -> list[dict]:
    return parse_records(path.read_bytes()) if path.exists() else []
