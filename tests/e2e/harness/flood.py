"""The bytes that the stand-in Java writes for CORVANE_E2E_JAVA_FLOOD
(helpers/fake_java.c makes the same), and how a log that rotated is read
back: the log and its rotated files together, oldest first."""
import re
from dataclasses import dataclass
from functools import lru_cache

SIZES = (7, 1, 100, 65549, 3, 250000, 40, 4096)
LETTERS = b"abcdefghijklmnopqrstuvwxyz" * (max(SIZES) // 26 + 2)


def flood_write(i: int) -> bytes:
    """Write i: to standard error every third time, else to standard output."""
    size = SIZES[i % len(SIZES)]
    head = f"{'E' if i % 3 == 2 else 'O'}{i:08d}|".encode()
    start = (i + len(head)) % 26
    body = (head + LETTERS[start:start + max(0, size - len(head))])[:size]
    return body[:-1] + b"\n" if size > 1 else body


@lru_cache(maxsize=2)
def flood(total: int) -> bytes:
    """Every write, in the order written, until total bytes are written."""
    writes, made, i = [], 0, 0
    while made < total:
        writes.append(flood_write(i))
        made += len(writes[-1])
        i += 1
    return b"".join(writes)


@dataclass(frozen=True)
class Rotated:
    """Expected of a log: it and its rotated files (<name>.1 the newest of
    them) hold content, oldest first; none more than limit bytes."""
    content: bytes
    limit: int


def rotated_parts(name: str, files: dict[str, bytes]) -> list[str]:
    """The log's files among files, oldest first: <name>.N ... <name>.1, <name>."""
    numbered = [(int(match.group(1)), found) for found in files
                if (match := re.fullmatch(re.escape(name) + r"\.(\d+)", found))]
    return [found for _, found in sorted(numbered, reverse=True)] + \
        ([name] if name in files else [])
