#!/usr/bin/env python3
"""Writes the fuzz seeds (corpus/) and the inputs that once hurt (regressions/)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(kind, target, name, data):
    folder = os.path.join(HERE, kind, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def words(*values):
    return b''.join(struct.pack('<h' if v < 0 else '<H', v) for v in values)


def mlt_entry(tid, x, y, z=0, visible=1, hue=0):
    return struct.pack('<Hhhhhh', tid, x, y, z, visible, hue)


def qstring(text):
    raw = text.encode('utf-16-le')
    return struct.pack('<I', len(raw)) + raw


def two_files(first, second):
    """The fuzz targets' split: the first two bytes count 12-byte units of the first file."""
    assert len(first) % 12 == 0
    return struct.pack('<H', len(first) // 12) + first + second


# .mlt
put('corpus', 'mlt', 'empty', b'\0' * 4)
put('corpus', 'mlt', 'two-tiles', b'\0' * 4 + mlt_entry(3, 5, -7, 2) + mlt_entry(65535, -200, 199, -5, 0, 1))
put('corpus', 'mlt', 'version-1', b'\1\0\0\0' + mlt_entry(3, 1, 2))
put('corpus', 'mlt', 'partial-entry', b'\0' * 4 + mlt_entry(3, 1, 2) + b'\7\0\1')
put('regressions', 'mlt', 'tiles-outside-the-area',
    b'\0' * 4 + mlt_entry(5, 300, -300) + mlt_entry(6, 300, -300, 2) + mlt_entry(7, -32768, 32767)
    + mlt_entry(8, 1, 1))

# clipboard payload
payload = qstring('1.0') + qstring('0:0:0') + qstring('1234:0:0:0:0:1:1') + qstring('3:1:-1:5:0:1:0')
put('corpus', 'clipboard', 'two-tiles', payload)
put('corpus', 'clipboard', 'null-string', qstring('1.0') + b'\xff\xff\xff\xff')
put('corpus', 'clipboard', 'cut-short', payload[:-3])

# art: the target uses each index record for terrain id n and for art id n
def art_index(entries):
    records = [(-1, 0, 0)] * (max(entries) + 1)
    data = b''
    for record, entry in entries.items():
        records[record] = (len(data), len(entry), 0)
        data += entry
    return b''.join(struct.pack('<iiI', *r) for r in records), data


def static_art(w, h, rows):
    table = []
    runs = b''
    for row in rows:
        table.append(len(runs) // 2)
        runs += row
    return struct.pack('<IHH', 0, w, h) + words(*table) + runs


small = static_art(3, 2, [words(0, 3, 0x7c00, 0x03e0, 0x001f, 0, 0), words(1, 1, 0x7fff, 0, 0)])
land = words(*([0x1234] * (22 * 23 * 2)))
idx, data = art_index({0: small, 1: land})
put('corpus', 'art', 'one-static-one-land', two_files(idx, data))
# Every row of a tall entry points at one run list that never ends.
endless = struct.pack('<IHH', 0, 44, 2048) + words(*([0] * 2048)) + words(0, 1, 0x0421) * (1024 * 1024 // 6)
idx, data = art_index({0: endless})
put('regressions', 'art', 'rows-share-an-endless-run', two_files(idx, data))
# Runs that step back over their row.
back = struct.pack('<IHH', 0, 2, 1) + words(0) + words(-2, 2, 0x11, 0x12) * 20000
idx, data = art_index({0: back})
put('regressions', 'art', 'runs-stepping-back', two_files(idx, data))

# tile data: the start of the terrain section (flags, texture, name) and a cut record
land_record = struct.pack('<IH', 0x40, 12) + b'grass'.ljust(20, b'\0')
put('corpus', 'tiledata', 'terrain-start', (struct.pack('<I', 0) + land_record * 32) * 2)
put('corpus', 'tiledata', 'cut-record', struct.pack('<I', 0) + land_record[:7])

# hues: groups of a header and 8 hues (32 colours, start, end, 20-byte name)
hue = words(*range(1, 33)) + words(1, 32) + b'red'.ljust(20, b'\0')
put('corpus', 'hues', 'one-group', struct.pack('<I', 0) + hue * 8)
put('corpus', 'hues', 'cut-group', struct.pack('<I', 0) + hue * 3 + hue[:11])

# multi index and data: 12-byte records (id, x, y, z, flags) and 16-byte ones
def multi_record(tid, x, y, z, flags, size=12):
    r = struct.pack('<Hhhhi', tid, x, y, z, flags)
    return r + b'\0' * (size - 12)


entry0 = multi_record(0, 0, 0, 0, 0) + multi_record(100, 1, -1, 5, 1)
entry2 = multi_record(200, -3, 4, 0, 1) * 3
index = struct.pack('<iiI', 0, len(entry0), 0) + struct.pack('<iiI', -1, 0, 0) + \
    struct.pack('<iiI', len(entry0), len(entry2), 0)
put('corpus', 'multi', 'classic', two_files(index, entry0 + entry2))
wide = multi_record(5, 1, 1, 0, 1, 16) * 2
put('corpus', 'multi', 'extended', two_files(struct.pack('<iiI', 0, len(wide), 0), wide))
put('corpus', 'multi', 'past-the-end', two_files(struct.pack('<iiI', 8, 4000, 0), entry0))

# palette.xml and multi.xml
put('corpus', 'palette_xml', 'palette',
    b'<palette><tilesets><statics><tileset name="Walls"><group name="Stone"><tile>100</tile>'
    b'<tile>101</tile></group></tileset></statics><!-- stop --><land/></tilesets></palette>')
put('regressions', 'palette_xml', 'nested-16000', b'<palette>' + b'<tilesets>' * 16000 + b'</tilesets>' * 16000 + b'</palette>')
put('regressions', 'palette_xml', 'unclosed-200000', b'<palette>' + b'<group>' * 200000)
put('corpus', 'multi_xml', 'names',
    b'<root><multiset><Multi Index="0x64">Tower</Multi><Multi Index="7"><b/></Multi>'
    b'</multiset><MultiVisible> 1 </MultiVisible></root>')
put('regressions', 'multi_xml', 'nested-16000', b'<root>' + b'<multiset>' * 16000 + b'</multiset>' * 16000 + b'</root>')

# recovery files
def recovery(name, msecs, tiles, mlt):
    return b'TMERCVR1' + qstring(name) + struct.pack('<qi', msecs, tiles) + struct.pack('<I', len(mlt)) + mlt


put('corpus', 'recovery', 'house', recovery('/home/someone/house.mlt', 1765000000000, 1, b'\0' * 4 + mlt_entry(3, 1, 2)))
put('corpus', 'recovery', 'untitled', recovery('', 0, 0, b'\0' * 4))

# world map: size byte, one block of terrain, its index record, two statics
put('corpus', 'world', 'block', bytes([0x10]) + b'\0' * 4 + (struct.pack('<Hb', 3, 0) * 64)
    + struct.pack('<iii', 0, 14, 0) + struct.pack('<HBBbH', 1000, 1, 2, 5, 0) + struct.pack('<HBBbH', 1001, 7, 7, -3, 33))
put('corpus', 'world', 'empty', bytes([0x05]) + (b'\0' * 4 + struct.pack('<Hb', 4, 1) * 64) * 4
    + struct.pack('<iii', -1, 0, 0) * 4)
