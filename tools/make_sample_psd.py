#!/usr/bin/env python3
"""Build the damaged Photoshop document used as a recovery sample.

The output is a small RGB PSD whose layer section has been partly overwritten
with junk and whose image data is cut off mid-stream.  It still carries three
recoverable pictures: the JPEG thumbnail resource, and a JPEG and a PNG kept as
embedded smart-object files near the end of the layer section.

Usage:  python3 tools/make_sample_psd.py [OUT]   (default samples/damaged_photo.psd)

ImageMagick 6 (/usr/bin/convert) is needed only to regenerate the committed
sample; the output is identical byte for byte on every run.
"""
import hashlib
import random
import struct
import subprocess
import sys
import tempfile
import uuid
from pathlib import Path

CONVERT = "/usr/bin/convert"
DEFAULT_OUT = Path(__file__).resolve().parent.parent / "samples" / "damaged_photo.psd"
JPEG_START, PNG_START, JPEG_END = b"\xff\xd8\xff\xe0\x00", b"\x89PNG\r", b"\xff\xd9"
MARKS = (b"\x008", b"8B")
DOC_W, DOC_H = 320, 240
LAYERS = (("Tolvane sample 1", 32, 24, 80, 60), ("Shapes", 140, 196, 100, 75))  # name, top, left, w, h
JUNK_SEED, JUNK_LEN, STRAY_AT = 1729, 1536, 1100


def u16(v):
    return struct.pack(">H", v)


def u32(v):
    return struct.pack(">I", v)


def magick(*args):
    return subprocess.run([CONVERT, *map(str, args)], check=True, capture_output=True).stdout


def make_pictures(tmp):
    """Render every picture the document needs: encoded files and raw pixels."""
    jpeg = magick("-size", "320x240", "-seed", 42, "plasma:#204060-#e0a040", "-fill", "white",
                  "-pointsize", 22, "-draw", "text 12,228 'Tolvane sample 1'",
                  "-strip", "-interlace", "none", "-quality", 80, "jpg:-")
    png = magick("-size", "200x150", "gradient:#f4f0e0-#c8d8f0", "-fill", "#d04030",
                 "-draw", "circle 60,70 60,30", "-fill", "#3070c0", "-draw", "rectangle 110,30 180,100",
                 "-fill", "black", "-pointsize", 16, "-draw", "text 20,135 'Tolvane sample 2'",
                 "-depth", 8, "-strip", "-define", "png:exclude-chunks=date,time",
                 "+set", "date:create", "+set", "date:modify", "png:-")
    (tmp / "a.jpg").write_bytes(jpeg)
    (tmp / "b.png").write_bytes(png)
    layer_rgba, comp_args = [], ["-size", f"{DOC_W}x{DOC_H}", "xc:white"]
    for src, (_, top, left, w, h) in zip(("a.jpg", "b.png"), LAYERS):
        placed = tmp / f"placed_{src}.png"
        magick(tmp / src, "-resize", f"{w}x{h}!", "-depth", 8, placed)
        layer_rgba.append(magick(placed, "-depth", 8, "rgba:-"))
        comp_args += [placed, "-geometry", f"+{left}+{top}", "-composite"]
    magick(*comp_args, tmp / "merged.png")
    merged_rgb = magick(tmp / "merged.png", "-depth", 8, "rgb:-")
    thumb = magick(tmp / "merged.png", "-resize", "160x120!", "-strip", "-interlace", "none",
                   "-quality", 70, "jpg:-")
    return {"thumb": thumb, "jpeg": jpeg, "png": png, "layers": layer_rgba, "merged": merged_rgb}


def packbits(row):
    out, i, n = bytearray(), 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 128 and row[i + run] == row[i]:
            run += 1
        if run > 1:
            out += bytes((257 - run, row[i]))
            i += run
            continue
        j = i + 1
        while j < n and j - i < 128 and (j + 1 >= n or row[j] != row[j + 1]):
            j += 1
        out += bytes((j - i - 1,)) + row[i:j]
        i = j
    return bytes(out)


def rle(chans, w, h):
    """Row byte counts and packed rows, channel after channel, as PSD stores them."""
    rows = [packbits(ch[y * w:(y + 1) * w]) for ch in chans for y in range(h)]
    return b"".join(u16(len(r)) for r in rows), b"".join(rows)


def pad(data, align):
    return data + b"\0" * (-len(data) % align)


def pascal(text, align):
    raw = text.encode("ascii")
    return pad(bytes((len(raw),)) + raw, align)


def unicode(text):
    return u32(len(text)) + text.encode("utf-16-be")


def resource(rid, data):
    return b"8BIM" + u16(rid) + pascal("", 2) + u32(len(data)) + pad(data, 2)


def image_resources(thumb):
    resolution = (u32(72 << 16) + u16(1) + u16(1)) * 2
    thumb_head = struct.pack(">6I2H", 1, 160, 120, 480, 480 * 120, len(thumb), 24, 1)
    version = u32(1) + b"\x01" + unicode("Tolvane sample writer") * 2 + u32(1)
    blocks = [resource(1005, resolution), resource(1036, thumb_head + thumb),
              resource(1057, version), resource(1044, u32(7))]
    body = b"".join(blocks)
    return u32(len(body)) + body


def info_block(key, data):
    data = pad(data, 4)
    return b"8BIM" + key + u32(len(data)) + data


def layer_record(name, top, left, w, h, chan_lengths):
    rec = struct.pack(">4iH", top, left, top + h, left + w, len(chan_lengths))
    rec += b"".join(struct.pack(">hI", cid, n) for cid, n in zip((-1, 0, 1, 2), chan_lengths))
    extra = u32(0) + u32(40) + b"\0\0\xff\xff" * 10 + pascal(name, 4) + info_block(b"luni", unicode(name))
    return rec + b"8BIMnorm" + bytes((255, 0, 0, 0)) + u32(len(extra)) + extra


def layer_channels(rgba, w, h):
    """Transparency first, then red, green, blue: the order the layer record lists them."""
    return [u16(1) + b"".join(rle([rgba[c::4]], w, h)) for c in (3, 0, 1, 2)]


def linked_file(name, ftype, payload):
    uid = str(uuid.UUID(hashlib.sha256(payload).hexdigest()[:32]))
    body = (b"liFD" + u32(2) + pascal(uid, 1) + unicode(name) + ftype + b"    "
            + struct.pack(">Q", len(payload)) + b"\0" + payload)
    return pad(struct.pack(">Q", len(body)) + body, 4)


def layer_section(pics):
    """Returns the section and where, inside it, the second layer record begins."""
    chans = [layer_channels(rgba, *layer[3:]) for rgba, layer in zip(pics["layers"], LAYERS)]
    recs = [layer_record(*layer, [len(c) for c in ch]) for layer, ch in zip(LAYERS, chans)]
    info = pad(u16(len(recs)) + b"".join(recs) + b"".join(b"".join(c) for c in chans), 2)
    links = linked_file("sample1.jpg", b"JPEG", pics["jpeg"]) + linked_file("shapes.png", b"PNGf", pics["png"])
    body = u32(len(info)) + info + u32(0) + info_block(b"lnk2", links)
    return u32(len(body)) + body, 10 + len(recs[0])


def truncated_image_data(merged):
    counts, rows = rle([merged[c::3] for c in range(3)], DOC_W, DOC_H)
    return u16(1) + counts + rows[:len(rows) * 2 // 5]


def break_pair(buf, at, bad):
    while any(buf.find(s, at) == at for s in bad):
        buf[at + 1] ^= 0x5A


def damage(buf, start):
    """Overwrite a run with junk.  One stray end marker inside it, clear of resource
    marks, stops a carve of the thumbnail from swallowing the embedded files after it."""
    junk = bytearray(random.Random(JUNK_SEED).randbytes(JUNK_LEN))
    for i in range(len(junk)):
        break_pair(junk, i, (JPEG_START, PNG_START))
        if STRAY_AT - 1024 <= i < STRAY_AT:
            break_pair(junk, i, MARKS)
    junk[STRAY_AT:STRAY_AT + 2] = JPEG_END
    break_pair(junk, STRAY_AT + 2, MARKS)
    buf[start:start + JUNK_LEN] = junk
    return start + STRAY_AT


def carve_jpeg(data, start):
    p = start + 2
    while (p := data.find(JPEG_END, p)) >= 0:
        if not any(m in data[p - p % 1024:p] for m in MARKS) and data[p + 2:p + 4] not in MARKS:
            return p + 2
        p += 1
    return len(data)


def require(ok, what):
    if not ok:
        sys.exit(f"sample is unusable: {what}")


def check(data, planted, stray):
    """Refuse a sample on which a carver would not meet exactly the starts we planted,
    or would carve the embedded files differently from how they were stored."""
    found = sorted(i for sig in (JPEG_START, PNG_START) for i in range(len(data)) if data.startswith(sig, i))
    require(found == sorted(o for o, _ in planted.values()), f"start signatures at {found}")
    thumb, jpeg, png = planted["thumb"], planted["jpeg"], planted["png"]
    thumb_end = carve_jpeg(data, thumb[0])
    require(sum(thumb) < thumb_end <= stray + 2 < jpeg[0], f"thumbnail carve ends at {thumb_end}")
    end = sum(jpeg)
    require(carve_jpeg(data, jpeg[0]) == end, "embedded JPEG end is not accepted")
    # Checked over a whole window too, so the result holds however blocks are aligned.
    require(not any(m in data[end - 1026:end - 2] for m in MARKS), "resource mark near JPEG end")
    require(data.find(b"IEND", png[0]) + 8 == sum(png), "PNG end not where it was stored")
    return thumb_end


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_OUT
    if not Path(CONVERT).exists():
        sys.exit(f"{CONVERT} not found; ImageMagick is needed to regenerate the sample")
    with tempfile.TemporaryDirectory() as tmp:
        pics = make_pictures(Path(tmp))
    header = b"8BPS" + u16(1) + b"\0" * 6 + u16(3) + u32(DOC_H) + u32(DOC_W) + u16(8) + u16(3)
    head = header + u32(0) + image_resources(pics["thumb"])
    section, rec2 = layer_section(pics)
    data = bytearray(head + section + truncated_image_data(pics["merged"]))
    junk_at = len(head) + rec2 + 30
    stray = damage(data, junk_at)
    planted = {k: (data.find(pics[k]), len(pics[k])) for k in ("thumb", "jpeg", "png")}
    thumb_end = check(bytes(data), planted, stray)
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(data)
    for k, (off, n) in planted.items():
        print(f"{k:6} offset {off:6} size {n:6} ends {off + n}")
    print(f"junk {junk_at}..{junk_at + JUNK_LEN}, stray end marker at {stray}, "
          f"thumbnail carve ends at {thumb_end}")
    print(f"image data from {len(head) + len(section)}, file cut at {len(data)}: {out}")


if __name__ == "__main__":
    main()
