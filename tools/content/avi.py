"""Door clips as AVI files of 8-bit frames compressed with Microsoft RLE8.

Every frame is a key frame, stored bottom-up with the shared colour table, so
the first frame decodes to exactly the door's thumbnail and the platform's
msrle32 codec plays it.
"""
import struct


def rle8(rows):
    """BI_RLE8 data for bottom-up rows (each a bytes of the image width)."""
    out = bytearray()
    for row in rows:
        i, n = 0, len(row)
        while i < n:
            run = 1
            while i + run < n and run < 255 and row[i + run] == row[i]:
                run += 1
            if run >= 3:
                out += bytes((run, row[i]))
                i += run
                continue
            # A literal stretch up to the next run of three (absolute mode needs >= 3).
            j = i
            while j < n and j - i < 255 and not (j + 2 < n and row[j] == row[j + 1] == row[j + 2]):
                j += 1
            if j - i < 3:
                for k in range(i, j):
                    out += bytes((1, row[k]))
            else:
                out += bytes((0, j - i)) + row[i:j] + (b"\0" if (j - i) % 2 else b"")
            i = j
        out += b"\0\0"
    out[-2:] = b"\0\1"
    return bytes(out)


def chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def riff_list(kind, body):
    return chunk(b"LIST", kind + body)


def avi_file(frames, colours, fps):
    """frames: 'P' images with the shared indexes, all of one size."""
    w, h = frames[0].size
    packed = []
    for im in frames:
        raw = im.tobytes()
        packed.append(rle8([raw[y * w:(y + 1) * w] for y in range(h - 1, -1, -1)]))
    biggest = max(len(p) for p in packed)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    avih = struct.pack("<10I4I", 1000000 // fps, biggest * fps, 0, 0x10, len(frames), 0, 1,
                       biggest, w, h, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"mrle", 0, 0, 0, 0, 1, fps, 0,
                       len(frames), biggest, 0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, w * h, 0, 0, 256, 256) + table
    hdrl = riff_list(b"hdrl", chunk(b"avih", avih)
                     + riff_list(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body, index, offset = b"", b"", 4
    for p in packed:
        c = chunk(b"00dc", p)
        index += struct.pack("<4sIII", b"00dc", 0x10, offset, len(p))
        movi_body += c
        offset += len(c)
    body = b"AVI " + hdrl + riff_list(b"movi", movi_body) + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body
