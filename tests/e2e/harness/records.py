"""Reads the record files that the helper programs write (see helpers/record.h).

Each field is "<name> <length>:<bytes>\\n"; a field named "end" closes a record.
Texts that a helper read through a call ending in A are in the ANSI code page
(the Java command line and arguments as Java's own launcher sees them); every
other text is UTF-8.
"""
from pathlib import Path

from .code_page import ansi_text

ANSI_FIELDS = {"commandLine", "arg", "argfilePath", "argfile"}
# Fields that occur once for each argument, and the list each becomes.
REPEATED = {"arg": "args", "found": "found"}


def decode(name: str, value: bytes) -> str:
    if name in ANSI_FIELDS:
        return ansi_text(value)
    return value.decode("utf-8", "backslashreplace")


def parse_records(data: bytes) -> list[dict]:
    """Returns one dict per record; a field that occurs several times ("arg")
    becomes a list under its REPEATED name, the others are plain strings."""
    records, fields, position = [], {}, 0
    while position < len(data):
        blank = data.index(b" ", position)
        colon = data.index(b":", blank)
        name = data[position:blank].decode("ascii")
        length = int(data[blank + 1:colon])
        value = decode(name, data[colon + 1:colon + 1 + length])
        position = colon + 1 + length + 1  # the value's closing line feed
        if name == "end":
            records.append(fields)
            fields = {}
        elif name in REPEATED:
            fields.setdefault(REPEATED[name], []).append(value)
        else:
            fields[name] = value
    if fields:
        raise ValueError(f"record without its end: {fields}")
    return records


def read_records(path: Path) -> list[dict]:
    return parse_records(path.read_bytes()) if path.exists() else []
