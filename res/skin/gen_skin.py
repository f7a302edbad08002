#!/usr/bin/env python3
"""Generates the launcher's skin: every PNG image of res/skin/ and the icons res/app.ico and
res/fav.ico. Needs only Python 3; the output is committed, so a build never runs this.

    python3 res/skin/gen_skin.py [group...]     (groups: see STEPS at the end)

The look: a dark slate caption band with an amber accent line, light dialog bodies, light
buttons with amber highlights. Images that sit on a known part of the skin are drawn
against it (see paint.Canvas), so they need no partial transparency.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from paint import (Canvas, clamp, hexrgb, ico_bytes, mix, png_bytes, sd_circle,  # noqa: E402
                   sd_intersect, sd_polygon, sd_polyline, sd_rbox, sd_ring, sd_segment,
                   sd_subtract, sd_union, vgrad)

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)

# Palette.
OUTLINE = hexrgb("10131a")
CAP_HILITE = hexrgb("465066")
CAP_TOP = hexrgb("323a4c")
CAP_BOTTOM = hexrgb("1c212b")
ACCENT = hexrgb("f0a030")
ACCENT_DARK = hexrgb("c87818")
FRAME = CAP_BOTTOM
BODY = hexrgb("eef1f5")
BODY_LINE = hexrgb("aab3c0")
MAIN_BODY = hexrgb("181c24")
MAIN_LINE = hexrgb("2c3342")
GLYPH = hexrgb("c6cdd9")
GLYPH_HOT = hexrgb("ffffff")
GLYPH_OFF = hexrgb("5b6475")
RED = hexrgb("d63b3b")
RED_DARK = hexrgb("a92a2a")
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

CAPTION = 30  # height of the caption band of every skinned window


def caption_colour(y):
    """Colour of caption row y (the band is the same in every background image)."""
    if y <= 0:
        return OUTLINE
    if y == 1:
        return CAP_HILITE
    if y >= CAPTION - 1:
        return ACCENT
    return mix(CAP_TOP, CAP_BOTTOM, (y - 2) / (CAPTION - 4))


def caption_context(dy):
    """Context function for an image drawn with its top at caption row dy."""
    return lambda _x, y: caption_colour(int(y) + dy)


def save_png(name, canvas, size):
    assert (canvas.w, canvas.h) == size, (name, canvas.w, canvas.h)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png_bytes(canvas))


def strip(frames):
    out = Canvas(frames[0].w * len(frames), frames[0].h, context=(0, 0, 0))
    for i, f in enumerate(frames):
        out.blit(f, i * f.w, 0)
    return out


# --- window backgrounds -----------------------------------------------------------------

def background(w, h, border, body, inner_line, body_paint=None):
    """Caption band, frame of the given thickness and body; corners rounded by clearing
    pixels (they become the key colour and leave the window's shape)."""
    c = Canvas(w, h, context=body)
    for y in range(h):
        for x in range(w):
            edge = min(x, w - 1 - x)
            if y < CAPTION:
                col = caption_colour(y)
                if edge == 0:
                    col = OUTLINE
                elif y == CAPTION - 1 and edge < border:
                    col = FRAME
            elif y >= h - border or edge < border:
                depth = min(edge, h - 1 - y)
                col = OUTLINE if depth == 0 else inner_line if depth == border - 1 else FRAME
            else:
                col = body_paint(x, y) if body_paint else body
            c.put(x, y, col)
    # Rounded corners of radius 4 (top) and 3 (bottom): the outline follows the curve and
    # the pixels outside it are cut away. They stay inside the border's corner squares.
    for (cx, cy, r, top) in ((0, 0, 4, True), (0, h, 3, False)):
        for dy in range(r):
            for dx in range(r):
                px, py = dx + 0.5, (dy + 0.5) if top else (h - 1 - dy + 0.5)
                ox, oy = r, (r if top else h - r)
                d = math.hypot(px - ox, py - oy)
                if px < ox and ((top and py < oy) or (not top and py > oy)):
                    y = dy if top else h - 1 - dy
                    for x in (dx, w - 1 - dx):
                        if d > r:
                            c.clear(x, y)
                        elif d > r - 1.2:
                            c.put(x, y, OUTLINE)
    return c


def gen_backgrounds():
    save_png("dlg_back.png", background(30, 51, 4, BODY, BODY_LINE), (30, 51))
    save_png("main_back.png", background(30, 51, 4, MAIN_BODY, MAIN_LINE), (30, 51))
    # The add-account prompt is drawn 1:1, so its body can carry a soft gradient.
    prompt = background(284, 150, 3, BODY, BODY_LINE,
                        body_paint=vgrad(CAPTION, hexrgb("f7f9fb"), 110, BODY))
    save_png("addacc_back.png", prompt, (284, 150))


# --- caption buttons --------------------------------------------------------------------

def glyph_close(cx, cy):
    return sd_union(sd_segment(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 1.6),
                    sd_segment(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5, 1.6))


def box_outline(x0, y0, x1, y1, width, top=None):
    outer = sd_rbox(x0, y0, x1, y1, 1.0)
    inner = sd_rbox(x0 + width, y0 + (top or width), x1 - width, y1 - width, 0.3)
    return sd_subtract(outer, inner)


def glyph_min(cx, cy):
    return sd_segment(cx - 5, cy + 0.5, cx + 5, cy + 0.5, 1.6)


def glyph_max(cx, cy):
    return box_outline(cx - 5.5, cy - 5, cx + 5.5, cy + 5, 1.4, top=2.4)


def glyph_restore(cx, cy):
    front = (cx - 5.5, cy - 2.5, cx + 3, cy + 5.5)
    back = box_outline(cx - 2.5, cy - 5.5, cx + 6, cy + 2.5, 1.4, top=2.2)
    return sd_union(box_outline(*front, 1.4, top=2.2),
                    sd_subtract(back, sd_rbox(front[0] - 1.2, front[1] - 1.2, front[2] + 1.2, front[3] + 1.2, 0)))


def glyph_hide(cx, cy):
    return sd_union(sd_segment(cx - 6, cy + 5, cx + 6, cy + 5, 1.6),
                    sd_segment(cx, cy - 6, cx, cy + 1.5, 1.6),
                    sd_polyline([(cx - 4, cy - 2), (cx, cy + 2), (cx + 4, cy - 2)], 1.6))


def speaker(cx, cy):
    return sd_polygon([(cx - 7, cy - 2.5), (cx - 4, cy - 2.5), (cx, cy - 6), (cx, cy + 6),
                       (cx - 4, cy + 2.5), (cx - 7, cy + 2.5)])


def sound_wave(cx, cy, r):
    k = math.tan(math.radians(50))
    wedge = lambda x, y: (abs(y - cy) - (x - cx) * k) / math.sqrt(1 + k * k)  # noqa: E731
    return sd_intersect(sd_ring(cx, cy, r, 1.5), wedge)


def glyph_sound_on(cx, cy):
    return sd_union(speaker(cx, cy), sound_wave(cx - 0.5, cy, 3.5), sound_wave(cx - 0.5, cy, 7))


def glyph_sound_off(cx, cy):
    return sd_union(speaker(cx, cy), sd_segment(cx + 2.5, cy - 3, cx + 8, cy + 3, 1.5),
                    sd_segment(cx + 2.5, cy + 3, cx + 8, cy - 3, 1.5))


def glyph_chevron(cx, cy):
    return sd_polyline([(cx - 2.5, cy - 1.2), (cx, cy + 1.3), (cx + 2.5, cy - 1.2)], 1.4)


def caption_button(w, h, glyph, state, close=False, gx=None):
    """One frame of a caption-band button: 0 normal, 1 hover, 2 pressed, 3 disabled."""
    c = Canvas(w, h, context=caption_context(0))
    if close:
        if state in (1, 2):
            c.rect(0, 1, w - 1, h, RED if state == 1 else RED_DARK)
    elif state in (1, 2):
        plate = sd_rbox(1.5, 1.5, w - 1.5, h - 1.5, 3)
        c.fill(plate, WHITE if state == 1 else BLACK, alpha=0.13 if state == 1 else 0.3)
    colour = {0: GLYPH, 1: GLYPH_HOT, 2: hexrgb("e2e6ee"), 3: GLYPH_OFF}[state]
    if glyph is not None:
        c.fill(glyph(gx if gx is not None else w / 2, h / 2 + (0.5 if state == 2 else 0)), colour)
    return c


def gen_caption_buttons():
    def four(w, h, glyph, **kw):
        return strip([caption_button(w, h, glyph, s, **kw) for s in range(4)])

    save_png("btn_close.png", four(33, 28, glyph_close, close=True, gx=16), (132, 28))
    save_png("btn_max.png", four(27, 28, glyph_max), (108, 28))
    save_png("btn_min.png", four(27, 28, glyph_min), (108, 28))
    save_png("btn_restore.png", four(27, 28, glyph_restore), (108, 28))
    save_png("btn_hide.png", four(27, 27, glyph_hide), (108, 27))
    save_png("btn_sound_off.png", four(27, 27, glyph_sound_off), (108, 27))
    save_png("btn_sound_on.png", four(27, 27, glyph_sound_on), (108, 27))
    # The system button carries its text ("系统", drawn by the program) and a menu chevron.
    save_png("btn_system.png", four(44, 28, lambda cx, cy: glyph_chevron(39, cy + 1)), (176, 28))


# --- body buttons, progress bar ---------------------------------------------------------

def text_button(state):
    w, h = 57, 23
    c = Canvas(w, h, context=BODY)
    fills = {0: (hexrgb("ffffff"), hexrgb("dfe4ec"), hexrgb("9aa4b4")),
             1: (hexrgb("fff6e6"), hexrgb("ffd999"), ACCENT),
             2: (hexrgb("f6cf8c"), hexrgb("ffe8c2"), ACCENT_DARK),
             3: (hexrgb("eff1f4"), hexrgb("e8ebf0"), hexrgb("c8ced8"))}[state]
    top, bottom, border = fills
    c.fill(sd_rbox(0, 0, w, h, 3.5), border)
    c.fill(sd_rbox(1, 1, w - 1, h - 1, 2.5), vgrad(1, top, h - 1, bottom))
    if state in (0, 1):  # a light line under the top edge gives the face some relief
        c.fill(sd_segment(3, 1.5, w - 3, 1.5, 1), WHITE, alpha=0.7)
    return c


def gen_body_images():
    save_png("btn_text.png", strip([text_button(s) for s in range(4)]), (228, 23))

    w, h = 390, 21
    track = Canvas(w, h, context=BODY)
    track.fill(sd_rbox(0, 0, w, h, 10.5), hexrgb("a3adbb"))
    track.fill(sd_rbox(1, 1, w - 1, h - 1, 9.5), vgrad(1, hexrgb("cfd5de"), h - 1, hexrgb("e9edf2")))
    save_png("progress_back.png", track, (w, h))

    def track_colour(x, y):
        i = int(y) * w + int(x)
        return (track.r[i], track.g[i], track.b[i])

    fill = Canvas(w, h, context=track_colour)
    bar = sd_rbox(2, 2, w - 2, h - 2, 8.5)
    fill.fill(bar, ACCENT_DARK)
    fill.fill(sd_rbox(3, 3, w - 3, h - 3, 7.5), vgrad(3, hexrgb("ffd27a"), h - 3, hexrgb("eb8f1e")))
    fill.fill(sd_rbox(6, 4, w - 6, 9, 2.5), WHITE, alpha=0.35)
    save_png("progress_fill.png", fill, (w, h))


# --- tab strip ----------------------------------------------------------------------------

TAB_W, TAB_H = 189, 22
TAB_LOOKS = {0: (hexrgb("b5bdca"), hexrgb("9ca5b4")),
             1: (hexrgb("dce1e9"), hexrgb("c6cdd8")),
             2: (hexrgb("ffffff"), hexrgb("eef1f5"))}


def tab_frame(state):
    c = Canvas(TAB_W, TAB_H, context=caption_context(3))
    shape = sd_rbox(1, 0, TAB_W, TAB_H + 6, 4.5)  # rounded top, straight cut at the bottom
    c.fill(shape, OUTLINE)
    top, bottom = TAB_LOOKS[state]
    c.fill(sd_rbox(2, 1, TAB_W - 1, TAB_H + 6, 3.5), vgrad(1, top, TAB_H, bottom))
    if state == 2:
        c.fill(sd_intersect(sd_rbox(2, 1, TAB_W - 1, TAB_H + 6, 3.5), lambda x, y: y - 3.5), ACCENT)
    return c


def close_box(state, hover_tab):
    ox = 296 - 120  # the box's place inside its tab

    def context(x, y):
        i = int(y) * TAB_W + ox + int(x)
        return (hover_tab.r[i], hover_tab.g[i], hover_tab.b[i])

    c = Canvas(13, 13, context=context)
    cx, cy = 6.0, 7.0
    if state:
        c.fill(sd_circle(cx, cy, 5.2), RED if state == 1 else RED_DARK)
    cross = sd_union(sd_segment(cx - 2.3, cy - 2.3, cx + 2.3, cy + 2.3, 1.4),
                     sd_segment(cx - 2.3, cy + 2.3, cx + 2.3, cy - 2.3, 1.4))
    c.fill(cross, WHITE if state else hexrgb("59606e"))
    return c


def gen_tab_images():
    frames = [tab_frame(s) for s in range(3)]
    save_png("tab.png", strip(frames), (567, 22))
    save_png("tab_close.png", strip([close_box(s, frames[1]) for s in range(3)]), (39, 13))


def gen_padlock():
    c = Canvas(14, 16, context=caption_context(7))
    c.fill(sd_intersect(sd_ring(7, 6.5, 3.6, 1.6), lambda x, y: y - 7.5), GLYPH)
    c.fill(sd_segment(3.4, 6.5, 3.4, 8.5, 1.6), GLYPH)
    c.fill(sd_segment(10.6, 6.5, 10.6, 8.5, 1.6), GLYPH)
    c.fill(sd_rbox(1.5, 8, 12.5, 15.5, 1.5), vgrad(8, hexrgb("ffc45e"), 15.5, ACCENT_DARK))
    c.fill(sd_segment(7, 10.8, 7, 12.6, 1.6), hexrgb("6a3e08"))
    save_png("padlock.png", c, (14, 16))


# --- emblem, icons, login backdrop ------------------------------------------------------

def emblem(c, x0, y0, size, alpha=1.0):
    """The launcher's mark: a slate tile with an amber V over a ripple of water."""
    s = size / 32.0
    tile = sd_rbox(x0 + 1 * s, y0 + 1 * s, x0 + 31 * s, y0 + 31 * s, 7 * s)
    c.fill(tile, OUTLINE, alpha)
    c.fill(sd_rbox(x0 + 2 * s, y0 + 2 * s, x0 + 30 * s, y0 + 30 * s, 6 * s),
           vgrad(y0 + 2 * s, hexrgb("3b4660"), y0 + 30 * s, hexrgb("161b25")), alpha)
    vee = sd_polyline([(x0 + 8 * s, y0 + 8 * s), (x0 + 16 * s, y0 + 21 * s), (x0 + 24 * s, y0 + 8 * s)],
                      max(1.6, 4.2 * s))
    c.fill(vee, vgrad(y0 + 7 * s, hexrgb("ffd27a"), y0 + 22 * s, ACCENT_DARK), alpha)
    if size >= 24:
        ripple = [(x0 + (7 + i * 0.5) * s, y0 + (25.5 + 1.1 * math.sin(i * 0.5 * 0.8)) * s) for i in range(37)]
        c.fill(sd_polyline(ripple, max(1.0, 1.6 * s)), hexrgb("7fb4d8"), alpha)


def gen_icons():
    app = []
    for size in (256, 48, 32, 16):
        c = Canvas(size, size)
        emblem(c, 0, 0, size)
        app.append(c)
    with open(os.path.join(RES, "app.ico"), "wb") as f:
        f.write(ico_bytes(app))

    fav = []
    for size in (48, 32, 16):
        c = Canvas(size, size)
        s = size / 32.0
        pts = []
        for k in range(10):
            r = (14.5 if k % 2 == 0 else 6.2) * s
            a = math.radians(-90 + 36 * k)
            pts.append((16 * s + r * math.cos(a), 17 * s + r * math.sin(a)))
        c.fill(sd_polygon(pts), ACCENT_DARK)
        inner = sd_polygon([(16 * s + (x - 16 * s) * 0.86, 17 * s + (y - 17 * s) * 0.86) for x, y in pts])
        c.fill(inner, vgrad(3 * s, hexrgb("ffe08a"), 28 * s, ACCENT))
        fav.append(c)
    with open(os.path.join(RES, "fav.ico"), "wb") as f:
        f.write(ico_bytes(fav))


def ridge(seed, base, amp, w):
    pts = [(0, 600)]
    for x in range(0, w + 8, 8):
        y = base - amp * (0.55 * math.sin(x * 0.011 + seed) + 0.3 * math.sin(x * 0.027 + seed * 2.1)
                          + 0.15 * math.sin(x * 0.061 + seed * 3.7))
        pts.append((x, y))
    pts.append((w, 600))
    return pts


def gen_backdrop():
    w, h = 888, 518
    c = Canvas(w, h)
    px0, py0, px1, py1 = 10, 8, 878, 506  # the panel; the margin holds its soft shadow
    panel = sd_rbox(px0, py0, px1, py1, 12)
    for y in range(h):
        for x in range(w):
            d = panel(x + 0.5, y + 0.5 - 3)
            if d > -2:
                c.put(x, y, BLACK, 0.45 * math.exp(-max(d, 0) ** 2 / 30.0) * clamp(d + 2))

    horizon = 318

    def sky(x, y):
        t = clamp((y - py0) / (horizon - py0))
        col = mix(hexrgb("0c1424"), hexrgb("2b3f63"), t ** 1.4)
        col = mix(col, hexrgb("e59a54"), clamp((t - 0.72) / 0.28) ** 2 * 0.75)
        glow = math.exp(-((x - 300) ** 2 / 26000 + (y - horizon) ** 2 / 3000))
        return mix(col, hexrgb("ffc27a"), glow * 0.55)

    c.fill(panel, sky, box=(0, 0, w, h))
    for k in range(70):  # stars, placed by a fixed pseudo-random walk
        sx = px0 + 20 + (k * 379) % (px1 - px0 - 40)
        sy = py0 + 46 + (k * 211) % 170
        c.fill(sd_circle(sx + 0.5, sy + 0.5, 0.5 + (k % 3) * 0.35), WHITE, alpha=0.35 + (k % 4) * 0.15,
               box=(sx - 3, sy - 3, sx + 4, sy + 4))
    for seed, base, amp, col in ((1.3, 250, 46, "3d5575"), (4.1, 282, 36, "283b57"), (2.7, 312, 22, "172232")):
        c.fill(sd_intersect(sd_polygon(ridge(seed, base, amp, w)), panel), hexrgb(col), box=(0, 150, w, horizon + 4))

    def water(x, y):
        t = clamp((y - horizon) / (py1 - horizon))
        col = mix(hexrgb("233650"), hexrgb("0b121c"), t ** 0.8)
        # Broken horizontal glints rather than even stripes: two beats of unrelated periods.
        streak = clamp(math.sin(y * 0.83 + math.sin(x * 0.031 + y * 0.17) * 2.0)
                       * math.sin(x * 0.045 + y * 0.37) * 1.6)
        glow = math.exp(-((x - 300) ** 2 / (7000 + t * 26000))) * (1 - t) ** 1.5
        return mix(col, hexrgb("f0a868"), glow * (0.12 + 0.4 * streak))

    c.fill(sd_intersect(panel, lambda x, y: horizon - y), water, box=(0, horizon - 1, w, h))

    header = sd_intersect(panel, lambda x, y: y - (py0 + 40))
    c.fill(header, hexrgb("0a0e15"), alpha=0.55, box=(0, 0, w, py0 + 42))
    c.fill(sd_intersect(panel, lambda x, y: abs(y - (py0 + 40.5)) - 0.5), ACCENT, alpha=0.8, box=(0, py0 + 38, w, py0 + 43))
    emblem(c, px0 + 14, py0 + 6, 28)

    card = sd_rbox(560, 72, 852, 476, 10)
    c.fill(sd_rbox(560, 75, 852, 479, 10), BLACK, alpha=0.25, soft=6, box=(540, 55, 875, 500))
    c.fill(card, hexrgb("f7f9fb"), alpha=0.96, box=(550, 60, 865, 490))
    c.fill(sd_intersect(card, lambda x, y: y - 76), ACCENT, box=(550, 60, 865, 80))
    save_png("login_back.png", c, (w, h))


STEPS = {"backgrounds": gen_backgrounds, "caption": gen_caption_buttons, "body": gen_body_images,
         "tabs": gen_tab_images, "padlock": gen_padlock, "icons": gen_icons, "backdrop": gen_backdrop}


def main():
    """With names as arguments only those groups are drawn (the backdrop takes minutes)."""
    for name in sys.argv[1:] or STEPS:
        STEPS[name]()


if __name__ == "__main__":
    main()
