#!/usr/bin/env python3
"""Builds the 87 carried skins from palettes.txt into a C++ file of block constants.

make_skins.py FIELDS PALETTES OUTPUT.cpp [SKIN_DIR]
  FIELDS    skinengine/skin_fields.inc (the ids of the format's colours and metrics)
  PALETTES  skin/palettes.txt
  OUTPUT    the generated skin table (kSkinBlocks)
  SKIN_DIR  optional: also writes each skin as NN.she there (seeds for the fuzzer)
"""
import colorsys
import os
import re
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
import byte_block  # noqa: E402

SKIN_COUNT = 87

# Metrics per shape. Caption buttons are never taller than the caption band.
SHAPES = {
    'soft':  dict(BorderWidth=2, CaptionHeight=26, CaptionButtonWidth=34, CaptionButtonHeight=22,
                  CaptionButtonRadius=3, ButtonRadius=3, TitleBold=0, TitleCentred=0, CaptionGloss=25),
    'flat':  dict(BorderWidth=1, CaptionHeight=24, CaptionButtonWidth=38, CaptionButtonHeight=24,
                  CaptionButtonRadius=0, ButtonRadius=0, TitleBold=0, TitleCentred=0, CaptionGloss=0),
    'round': dict(BorderWidth=3, CaptionHeight=28, CaptionButtonWidth=30, CaptionButtonHeight=20,
                  CaptionButtonRadius=6, ButtonRadius=6, TitleBold=0, TitleCentred=0, CaptionGloss=12),
    'gloss': dict(BorderWidth=2, CaptionHeight=26, CaptionButtonWidth=30, CaptionButtonHeight=20,
                  CaptionButtonRadius=4, ButtonRadius=4, TitleBold=1, TitleCentred=0, CaptionGloss=70),
    'bold':  dict(BorderWidth=4, CaptionHeight=30, CaptionButtonWidth=32, CaptionButtonHeight=22,
                  CaptionButtonRadius=2, ButtonRadius=2, TitleBold=1, TitleCentred=1, CaptionGloss=30),
}

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def read_fields(path):
    text = open(path, encoding='utf-8').read()
    colours = {name: int(i) for i, name in re.findall(r'^SKIN_COLOUR\((\d+), (\w+)\)', text, re.M)}
    metrics = {}
    for i, name, low, high in re.findall(r'^SKIN_METRIC\((\d+), (\w+), (-?\d+), (-?\d+)\)', text, re.M):
        metrics[name] = (int(i), int(low), int(high))
    return colours, metrics


def read_palettes(path):
    rows = []
    for line in open(path, encoding='utf-8'):
        line = line.split('#', 1)[0].strip()
        if not line:
            continue
        no, caption, accent, window, text, shape, name = line.split(None, 6)
        rows.append(dict(no=int(no), caption=hex_rgb(caption), accent=hex_rgb(accent),
                         window=hex_rgb(window), text=hex_rgb(text), shape=shape, name=name))
    return rows


def hex_rgb(h):
    return tuple(int(h[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    """a moved the fraction t toward b."""
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def luminance(c):
    return (0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]) / 255


def desaturate(c, amount):
    h, l, s = colorsys.rgb_to_hls(*(x / 255 for x in c))
    return tuple(round(x * 255) for x in colorsys.hls_to_rgb(h, l, s * (1 - amount)))


def derive_colours(p):
    cap, acc, win, txt = p['caption'], p['accent'], p['window'], p['text']
    light_caption = luminance(cap) > 0.6
    cap_text = txt if light_caption else WHITE
    inactive = desaturate(mix(cap, win, 0.55), 0.35)
    close_red = (0xC4, 0x2B, 0x1C)
    dark_window = luminance(win) < 0.45
    face_top = mix(win, WHITE, 0.25 if dark_window else 0.7)
    return dict(
        FrameActive=mix(cap, BLACK, 0.25),
        FrameInactive=mix(mix(cap, BLACK, 0.25), win, 0.5),
        CaptionActiveTop=mix(cap, WHITE, 0.14),
        CaptionActiveBottom=mix(cap, BLACK, 0.08),
        CaptionInactiveTop=mix(inactive, WHITE, 0.12),
        CaptionInactiveBottom=inactive,
        CaptionTextActive=cap_text,
        CaptionTextInactive=mix(cap_text, inactive, 0.45),
        CaptionButtonHot=mix(cap, cap_text, 0.22),
        CaptionButtonPressed=mix(cap, BLACK, 0.3),
        CloseButtonHot=mix(close_red, cap, 0.1),
        CloseButtonPressed=mix(close_red, BLACK, 0.3),
        CloseGlyphHot=WHITE,
        WindowBackground=win,
        WindowText=txt,
        ButtonFaceTop=face_top,
        ButtonFaceBottom=mix(win, txt, 0.04),
        ButtonBorder=mix(txt, win, 0.62),
        ButtonText=txt,
        ButtonHotTop=mix(acc, WHITE, 0.86),
        ButtonHotBottom=mix(acc, WHITE, 0.72),
        ButtonHotBorder=acc,
        ButtonPressedTop=mix(acc, WHITE, 0.6),
        ButtonPressedBottom=mix(acc, WHITE, 0.74),
        ButtonPressedBorder=mix(acc, BLACK, 0.25),
        ButtonDisabledFace=mix(win, (160, 160, 160), 0.12),
        ButtonDisabledBorder=mix(txt, win, 0.8),
        ButtonDisabledText=mix(txt, win, 0.6),
        FocusRing=acc,
        EditBorder=mix(txt, win, 0.6),
        EditBorderFocused=acc,
    )


def section(tag, body):
    return struct.pack('<HI', tag, len(body)) + body


def encode_skin(p, colour_ids, metric_ids):
    colours = derive_colours(p)
    metrics = SHAPES[p['shape']]
    if set(colours) != set(colour_ids) or set(metrics) != set(metric_ids):
        sys.exit('make_skins.py: the derived fields do not match skin_fields.inc')
    colour_body = struct.pack('<H', len(colours)) + b''.join(
        struct.pack('<HBBB', colour_ids[name], *colours[name]) for name in sorted(colours, key=colour_ids.get))
    metric_body = struct.pack('<H', len(metrics))
    for name in sorted(metrics, key=lambda n: metric_ids[n][0]):
        mid, low, high = metric_ids[name]
        if not low <= metrics[name] <= high:
            sys.exit('make_skins.py: %s of shape %s is out of range' % (name, p['shape']))
        metric_body += struct.pack('<HH', mid, metrics[name])
    sections = section(1, p['name'].encode('ascii')) + section(2, colour_body) + section(3, metric_body)
    total = 12 + len(sections) + 4
    body = b'.SHE' + struct.pack('<BBHI', 1, 0, 3, total) + sections
    return body + struct.pack('<I', zlib.crc32(body) & 0xFFFFFFFF)


def main(argv):
    if len(argv) not in (4, 5):
        sys.exit(__doc__)
    colour_ids, metric_ids = read_fields(argv[1])
    rows = read_palettes(argv[2])
    if [r['no'] for r in rows] != list(range(1, SKIN_COUNT + 1)):
        sys.exit('make_skins.py: palettes.txt must list skins 1 to %d in order' % SKIN_COUNT)
    skins = [encode_skin(r, colour_ids, metric_ids) for r in rows]

    out = ['// Generated by skin/make_skins.py from skin/palettes.txt. Do not edit.',
           '#include "skin/skin_table.h"', '', 'namespace {', '']
    for r, data in zip(rows, skins):
        out.append('// %d %s' % (r['no'], r['name']))
        out.append(byte_block.format_array('kSkin%d' % r['no'], data, linkage=''))
    out.append('}  // namespace')
    out.append('')
    out.append('const uint8_t* const kSkinBlocks[kSkinCount] = {')
    out.append(''.join('kSkin%d,%s' % (r['no'], '\n' if r['no'] % 10 == 0 else ' ') for r in rows).rstrip())
    out.append('};')
    byte_block.write_text(argv[3], '\n'.join(out) + '\n')

    if len(argv) == 5:
        os.makedirs(argv[4], exist_ok=True)
        for r, data in zip(rows, skins):
            with open(os.path.join(argv[4], '%02d.she' % r['no']), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main(sys.argv)
