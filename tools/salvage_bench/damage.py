"""Seeded damage, and which rows of the composite each kind leaves recoverable.

Each kind takes the intact file's layout and a seeded random source and returns the damaged bytes with the byte
ranges of the intact file it touched and, for a truncation, where the file now ends. Damage that touches no row
(the header, a section length, the RLE count table, which can be rebuilt from the rows) returns no ranges.
"""
import random
from dataclasses import dataclass, field

BLOCK = 4096


@dataclass
class Damage:
    data: bytes
    touched: list = field(default_factory=list)  # [start, end) byte ranges of the intact file
    cut_at: int = None  # the intact file's bytes from here on are gone


def place(rng, region, size=1):
    """An offset in [start, end - size]."""
    start, end = region
    return rng.randrange(start, max(start + 1, end - size + 1))


def truncated(layout, rng):
    # Inside the last channel's rows: a cut earlier than that takes a channel of every row, leaving nothing to count.
    cut = place(rng, layout.last_channel_region())
    return Damage(layout.data[:cut], cut_at=cut)


def overwritten_block(make_bytes):
    def damage(layout, rng):
        at = place(rng, layout.rows_region(), BLOCK)
        data = bytearray(layout.data)
        data[at : at + BLOCK] = make_bytes(rng)
        return Damage(bytes(data), [(at, at + BLOCK)])

    return damage


def inserted(layout, rng):
    at = place(rng, layout.rows_region())
    junk = rng.randbytes(rng.randint(1, 32))
    return Damage(layout.data[:at] + junk + layout.data[at:], [(at, at + 1)])


def deleted(layout, rng):
    count = rng.randint(1, 32)
    at = place(rng, layout.rows_region(), count)
    return Damage(layout.data[:at] + layout.data[at + count :], [(at, at + count)])


def zeroed_header(layout, rng):
    return Damage(bytes(26) + layout.data[26:])


def zeroed_front(layout, rng):
    # A lost first block: the header and whatever sections and rows began within it.
    return Damage(bytes(BLOCK) + layout.data[BLOCK:], [(0, BLOCK)])


def broken_section_length(layout, rng):
    if rng.random() < 0.5:
        at, size = layout.resources_length_at, 4
    else:
        at, size = layout.layers_length_at, layout.layers_length_size
    garbage = rng.randbytes(size)
    while garbage == layout.data[at : at + size]:
        garbage = rng.randbytes(size)
    return Damage(layout.data[:at] + garbage + layout.data[at + size :])


def zeroed_count_table(layout, rng):
    start, end = layout.count_table
    if start == end:
        return None  # no count table: not RLE
    return Damage(layout.data[:start] + bytes(end - start) + layout.data[end:])


def bit_flips(layout, rng):
    data = bytearray(layout.data)
    touched = []
    for _ in range(4):
        at = place(rng, layout.rows_region())
        data[at] ^= 1 << rng.randrange(8)
        touched.append((at, at + 1))
    return Damage(bytes(data), touched)


KINDS = (
    ("truncated", truncated),
    ("zeroed 4 KiB", overwritten_block(lambda rng: bytes(BLOCK))),
    ("random 4 KiB", overwritten_block(lambda rng: rng.randbytes(BLOCK))),
    ("inserted bytes", inserted),
    ("deleted bytes", deleted),
    ("zeroed header", zeroed_header),
    ("zeroed first 4 KiB", zeroed_front),
    ("broken section length", broken_section_length),
    ("zeroed RLE counts", zeroed_count_table),
    ("bit flips", bit_flips),
)


def damaged_versions(name, layout):
    """(kind, Damage, recoverable picture rows as a boolean array) for each kind that applies to the file."""
    for kind, make in KINDS:
        damage = make(layout, random.Random("%s/%s" % (name, kind)))
        if damage is not None:
            yield kind, damage, ~layout.lost_picture_rows(damage.touched, damage.cut_at)
