"""Where the composite's rows lie in an intact PSD or PSB file, read the way the format defines it.

Every channel row of the merged picture gets its byte range in the file (raw and RLE) or its range in the inflated
stream (ZIP), so that damage given as byte offsets can be mapped to the rows it touches.
"""
import struct
import zlib

import numpy as np

RAW, RLE, ZIP, ZIP_PREDICTED = 0, 1, 2, 3
COMPRESSION_NAMES = {RAW: "raw", RLE: "RLE", ZIP: "ZIP", ZIP_PREDICTED: "ZIP+prediction"}


class LayoutError(Exception):
    pass


class Layout:
    """The intact file's header fields, section length fields and composite rows."""

    def __init__(self, data):
        self.data = data
        if len(data) < 26 or data[:4] != b"8BPS":
            raise LayoutError("not a PSD or PSB file")
        (self.version,) = struct.unpack_from(">H", data, 4)
        self.channels, self.height, self.width, self.depth, self.mode = struct.unpack_from(">HIIHH", data, 12)
        if self.version not in (1, 2) or self.depth not in (8, 16):
            raise LayoutError("version %d, depth %d: not in the benchmark" % (self.version, self.depth))
        large = self.version == 2
        pos = 26
        (color_mode_length,) = struct.unpack_from(">I", data, pos)
        pos += 4 + color_mode_length
        self.resources_length_at = pos
        (resources_length,) = struct.unpack_from(">I", data, pos)
        pos += 4 + resources_length
        self.layers_length_at = pos
        self.layers_length_size = 8 if large else 4
        (layers_length,) = struct.unpack_from(">Q" if large else ">I", data, pos)
        pos += self.layers_length_size + layers_length
        if pos + 2 > len(data):
            raise LayoutError("the sections run past the end")
        (self.compression,) = struct.unpack_from(">H", data, pos)
        self.data_start = pos + 2
        self.row_bytes = self.width * self.depth // 8
        self.channel_rows = self.channels * self.height
        self.count_table = (0, 0)
        if self.compression == RAW:
            self.starts = self.data_start + self.row_bytes * np.arange(self.channel_rows, dtype=np.int64)
            self.ends = self.starts + self.row_bytes
        elif self.compression == RLE:
            count_type = ">u4" if large else ">u2"
            table_size = self.channel_rows * np.dtype(count_type).itemsize
            counts = np.frombuffer(data, count_type, self.channel_rows, self.data_start).astype(np.int64)
            self.count_table = (self.data_start, self.data_start + table_size)
            self.ends = self.data_start + table_size + np.cumsum(counts)
            self.starts = self.ends - counts
        elif self.compression in (ZIP, ZIP_PREDICTED):
            # Positions in the inflated stream, not in the file.
            self.starts = self.row_bytes * np.arange(self.channel_rows, dtype=np.int64)
            self.ends = self.starts + self.row_bytes
        else:
            raise LayoutError("compression %d" % self.compression)
        if not self.is_zip() and self.ends[-1] > len(data):
            raise LayoutError("the composite runs past the end")

    def is_zip(self):
        return self.compression in (ZIP, ZIP_PREDICTED)

    def compression_name(self):
        return COMPRESSION_NAMES[self.compression]

    def rows_region(self):
        """The bytes of the file that hold the rows themselves (for ZIP: the whole stream)."""
        if self.is_zip():
            return self.data_start, len(self.data)
        return int(self.starts[0]), int(self.ends[-1])

    def last_channel_region(self):
        if self.is_zip():
            return self.zip_offset_reaching(self.starts[-self.height]), len(self.data)
        return int(self.starts[-self.height]), int(self.ends[-1])

    def inflated_before(self, offset):
        """How many bytes of the picture inflate from the stream's bytes before `offset` alone."""
        if offset <= self.data_start:
            return 0
        return len(zlib.decompressobj().decompress(self.data[self.data_start : offset]))

    def zip_offset_reaching(self, inflated):
        """The first file offset whose prefix inflates to at least `inflated` bytes (a binary search)."""
        low, high = self.data_start, len(self.data)
        while low < high:
            middle = (low + high) // 2
            if self.inflated_before(middle) >= inflated:
                high = middle
            else:
                low = middle + 1
        return low

    def lost_channel_rows(self, touched, cut_at):
        """Which channel rows damage touches: byte ranges [a, b) of the intact file, and a cut (None: no cut)."""
        lost = np.zeros(self.channel_rows, dtype=bool)
        if self.is_zip():
            first = min([a for a, _ in touched] + ([cut_at] if cut_at is not None else []), default=None)
            if first is not None:
                lost |= self.ends > self.inflated_before(first)
            return lost
        for a, b in touched:
            lost |= (self.starts < b) & (self.ends > a)
        if cut_at is not None:
            lost |= self.ends > cut_at
        return lost

    def lost_picture_rows(self, touched, cut_at):
        """A picture row is lost when any of its channels' rows is."""
        return self.lost_channel_rows(touched, cut_at).reshape(self.channels, self.height).any(axis=0)

    def truth(self):
        """The composite's samples, height x width x channels, uint16 (8-bit samples scaled by 257)."""
        from psd_tools.psd.header import FileHeader
        from psd_tools.psd.image_data import ImageData

        header = FileHeader(
            version=self.version,
            channels=self.channels,
            height=self.height,
            width=self.width,
            depth=self.depth,
            color_mode=self.mode,
        )
        stream = ImageData(compression=self.compression, data=self.data[self.data_start :])
        planes = stream.get_data(header, split=False)
        samples = np.frombuffer(planes, ">u2" if self.depth == 16 else np.uint8)
        samples = samples.reshape(self.channels, self.height, self.width).transpose(1, 2, 0)
        return to_16_bits(samples, self.depth)


def to_16_bits(samples, depth):
    samples = samples.astype(np.uint16)
    return samples * np.uint16(257) if depth == 8 else samples
