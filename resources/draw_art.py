#!/usr/bin/python3
"""Draws every bitmap and icon of Quorvantis into resources/art/.

Run with Debian's python3-pil (apt-get install python3-pil fonts-dejavu-core):
    /usr/bin/python3 resources/draw_art.py
The results are committed, so a build never needs this script. Sizes and face
counts are fixed by the program; RGB(255,0,255) marks what a shaped window cuts away.
"""
import math
import os
import struct

from PIL import Image, ImageDraw, ImageFont

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "art")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

MAGENTA = (255, 0, 255)
NAVY = (27, 38, 64)
NAVY_LIGHT = (44, 60, 96)
TEAL = (22, 160, 150)
TEAL_DARK = (14, 120, 112)
TEAL_LIGHT = (70, 196, 186)
PANEL = (230, 235, 242)
PANEL_DARK = (208, 216, 228)
CARD = (255, 255, 255)
BORDER = (204, 204, 204)
TEXT = (27, 38, 64)
MUTED = (110, 120, 140)
GREY = (170, 176, 186)


def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def save_bmp(image, resource_id):
    image.convert("RGB").save(os.path.join(OUT, "bitmap%d.bmp" % resource_id))


def centred_text(draw, box, text, fnt, fill):
    l, t, r, b = box
    bbox = draw.textbbox((0, 0), text, font=fnt)
    w, h = bbox[2] - bbox[0], bbox[3] - bbox[1]
    draw.text((l + (r - l - w) / 2 - bbox[0], t + (b - t - h) / 2 - bbox[1]), text, font=fnt, fill=fill)


def shaped_window(width, height, title_height, radius, body=CARD):
    """A rounded window with a title strip; the outside is magenta."""
    image = Image.new("RGB", (width, height), MAGENTA)
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, width - 1, height - 1), radius, fill=body, outline=NAVY)
    draw.rounded_rectangle((0, 0, width - 1, title_height + radius), radius, fill=NAVY)
    draw.rectangle((1, title_height, width - 2, title_height + radius), fill=body)
    draw.line((1, title_height, width - 2, title_height), fill=TEAL, width=2)
    return image, draw


def shield(draw, cx, cy, size, fill, tick=CARD):
    """The product's mark: a shield with a tick."""
    s = size / 2
    points = [(cx - s, cy - s * 0.8), (cx, cy - s), (cx + s, cy - s * 0.8), (cx + s, cy + s * 0.1),
              (cx, cy + s), (cx - s, cy + s * 0.1)]
    draw.polygon(points, fill=fill)
    draw.line([(cx - s * 0.45, cy), (cx - s * 0.1, cy + s * 0.35), (cx + s * 0.5, cy - s * 0.35)], fill=tick,
              width=max(1, int(size / 8)))


def strip(face_width, height, faces, painter):
    """A horizontal strip of faces; painter(draw, box, state) paints one."""
    image = Image.new("RGB", (face_width * len(faces), height), MAGENTA)
    draw = ImageDraw.Draw(image)
    for i, state in enumerate(faces):
        painter(draw, (i * face_width, 0, (i + 1) * face_width - 1, height - 1), state)
    return image


STATE_FILL = {"normal": TEAL, "pressed": TEAL_DARK, "hover": TEAL_LIGHT, "disabled": GREY}


def main_skin():
    image, draw = shaped_window(668, 437, 50, 14, body=PANEL)
    shield(draw, 30, 25, 30, TEAL)
    draw.text((54, 11), "Quorvantis", font=font(20, True), fill=CARD)
    draw.text((190, 19), "privacy trail cleaner", font=font(11), fill=(170, 190, 220))
    # The page area: a white card on the panel.
    draw.rounded_rectangle((242, 84, 652, 419), 8, fill=CARD, outline=PANEL_DARK)
    # The left column behind the page buttons.
    draw.rounded_rectangle((8, 70, 234, 300), 10, fill=PANEL_DARK)
    draw.text((20, 395), "Version 1.4", font=font(10), fill=MUTED)
    return image


def title_button(glyph):
    def paint(draw, box, state):
        l, t, r, b = box
        fill = {"normal": NAVY, "pressed": TEAL_DARK, "hover": NAVY_LIGHT}[state]
        draw.rectangle(box, fill=fill)
        cx, cy = (l + r) / 2, (t + b) / 2
        if glyph == "close":
            draw.line((cx - 4, cy - 4, cx + 4, cy + 4), fill=CARD, width=2)
            draw.line((cx - 4, cy + 4, cx + 4, cy - 4), fill=CARD, width=2)
        else:
            draw.line((cx - 5, cy + 3, cx + 5, cy + 3), fill=CARD, width=2)
    return paint


def page_button(title, subtitle, big):
    def paint(draw, box, state):
        l, t, r, b = box
        fill = {"normal": PANEL_DARK, "pressed": TEAL_DARK, "hover": CARD}[state]
        ink = CARD if state == "pressed" else TEXT
        draw.rectangle(box, fill=PANEL_DARK)
        draw.rounded_rectangle((l + 1, t + 1, r - 1, b - 1), 8, fill=fill)
        if state != "pressed":
            draw.rectangle((l + 1, t + 8, l + 4, b - 8), fill=TEAL)
        if big:
            shield(draw, l + 36, (t + b) / 2, 40, TEAL if state != "pressed" else CARD,
                   tick=fill)
            draw.text((l + 66, t + 14), title, font=font(20, True), fill=ink)
            draw.text((l + 67, t + 44), subtitle, font=font(11), fill=ink if state == "pressed" else MUTED)
        else:
            draw.text((l + 16, t + 12), title, font=font(14, True), fill=ink)
    return paint


def text_button(radius):
    def paint(draw, box, state):
        draw.rectangle(box, fill=CARD)
        draw.rounded_rectangle(box, radius, fill=STATE_FILL[state])
    return paint


def help_button(draw, box, state):
    l, t, r, b = box
    fill = {"normal": NAVY, "pressed": TEAL_DARK, "hover": NAVY_LIGHT}[state]
    draw.rectangle(box, fill=PANEL)
    draw.rounded_rectangle(box, 6, fill=fill)
    draw.ellipse((l + 6, t + 6, l + 22, t + 22), outline=CARD, width=2)
    centred_text(draw, (l + 6, t + 6, l + 22, t + 22), "?", font(11, True), CARD)
    draw.text((l + 26, t + 6), "Help", font=font(12, True), fill=CARD)


def column_headers():
    image = Image.new("RGB", (390, 27), (240, 243, 247))
    draw = ImageDraw.Draw(image)
    draw.line((0, 26, 389, 26), fill=BORDER)
    columns = [(0, 150, "Item"), (150, 260, "Status"), (260, 319, "Result"), (319, 390, "Details")]
    for l, r, text in columns:
        draw.text((l + 6, 6), text, font=font(11, True), fill=TEXT)
        if r < 390:
            draw.line((r, 4, r, 22), fill=BORDER)
    return image


def dialog_skin():
    image, draw = shaped_window(520, 317, 40, 12)
    shield(draw, 16, 20, 16, TEAL)
    return image


def splash():
    image = Image.new("RGB", (620, 226), MAGENTA)
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, 619, 225), 18, fill=NAVY)
    for i in range(0, 226, 2):
        draw.line((380 + i // 3, i, 619, i), fill=NAVY_LIGHT)
    draw.rounded_rectangle((0, 0, 619, 225), 18, outline=TEAL, width=3)
    shield(draw, 100, 113, 110, TEAL, tick=NAVY)
    draw.text((180, 62), "Quorvantis", font=font(44, True), fill=CARD)
    draw.text((184, 124), "Removes the traces you leave behind.", font=font(15), fill=(190, 205, 230))
    draw.text((184, 170), "Version 1.4", font=font(11), fill=(150, 165, 195))
    return image


def tab_picture(kind):
    image = Image.new("RGB", (48, 48), CARD)
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((2, 2, 45, 45), 10, fill=(232, 246, 245))
    if kind == "windows":
        draw.rounded_rectangle((10, 12, 38, 36), 3, outline=TEAL, width=3)
        draw.rectangle((10, 12, 38, 17), fill=TEAL)
    elif kind == "applications":
        for x in (11, 26):
            for y in (11, 26):
                draw.rounded_rectangle((x, y, x + 11, y + 11), 2, fill=TEAL)
    elif kind == "browsers":
        draw.ellipse((10, 10, 38, 38), outline=TEAL, width=3)
        draw.ellipse((18, 10, 30, 38), outline=TEAL, width=2)
        draw.line((10, 24, 38, 24), fill=TEAL, width=2)
    elif kind == "general":
        for i in range(8):
            a = i * math.pi / 4
            draw.line((24 + 9 * math.cos(a), 24 + 9 * math.sin(a), 24 + 15 * math.cos(a), 24 + 15 * math.sin(a)),
                      fill=TEAL, width=5)
        draw.ellipse((13, 13, 35, 35), fill=TEAL)
        draw.ellipse((19, 19, 29, 29), fill=(232, 246, 245))
    elif kind == "schedule":
        draw.ellipse((9, 9, 39, 39), outline=TEAL, width=3)
        draw.line((24, 24, 24, 14), fill=TEAL, width=3)
        draw.line((24, 24, 32, 28), fill=TEAL, width=3)
    return image


def save_ico(images, resource_id):
    """Writes an icon file whose entries are 32-bit DIBs with an AND mask, the
    form every Windows version and Wine read."""
    entries, blobs = [], []
    for image in images:
        w, h = image.size
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = bytearray()
        mask = bytearray()
        mask_stride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            row_mask = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = image.getpixel((x, y))
                pixels += bytes((b, g, r, a))
                if a < 128:
                    row_mask[x // 8] |= 0x80 >> (x % 8)
            mask += row_mask
        blobs.append(header + bytes(pixels) + bytes(mask))
        entries.append((w, h))
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for (w, h), blob in zip(entries, blobs):
        data += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(os.path.join(OUT, "icon%d.ico" % resource_id), "wb") as out:
        out.write(data + b"".join(blobs))


def icons():
    big = Image.new("RGBA", (128, 128), (0, 0, 0, 0))
    shield(ImageDraw.Draw(big), 64, 64, 116, TEAL + (255,), tick=(255, 255, 255, 255))
    save_ico([big.resize((s, s), Image.LANCZOS) for s in (16, 32, 48)], 128)
    for resource_id, checked in ((740, True), (741, False)):
        icon = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
        draw = ImageDraw.Draw(icon)
        if checked:
            draw.rounded_rectangle((1, 1, 14, 14), 3, fill=TEAL + (255,))
            draw.line([(4, 8), (7, 11), (12, 4)], fill=(255, 255, 255, 255), width=2)
        else:
            draw.rounded_rectangle((1, 1, 14, 14), 3, fill=(255, 255, 255, 255), outline=GREY + (255,))
        save_ico([icon], resource_id)


def main():
    os.makedirs(OUT, exist_ok=True)
    save_bmp(main_skin(), 101)
    save_bmp(strip(22, 21, ["normal", "pressed", "hover"], title_button("close")), 351)
    save_bmp(strip(22, 21, ["normal", "pressed", "hover"], title_button("minimise")), 352)
    save_bmp(strip(222, 74, ["normal", "pressed", "hover"], page_button("Scan", "Find privacy trails", True)), 353)
    for resource_id, title in ((354, "Clean options"), (355, "Settings"), (356, "About")):
        save_bmp(strip(180, 43, ["normal", "pressed", "hover"], page_button(title, "", False)), resource_id)
    save_bmp(Image.new("RGB", (410, 335), CARD), 357)
    save_bmp(column_headers(), 358)
    save_bmp(strip(57, 28, ["normal", "pressed", "hover"], help_button), 723)
    save_bmp(strip(100, 23, ["normal", "pressed", "hover", "disabled"], text_button(6)), 727)
    save_bmp(strip(68, 18, ["normal", "pressed", "hover", "disabled"], text_button(5)), 734)
    save_bmp(dialog_skin(), 742)
    save_bmp(splash(), 743)
    for resource_id, kind in zip(range(870, 875), ["windows", "applications", "browsers", "general", "schedule"]):
        save_bmp(tab_picture(kind), resource_id)
    icons()


if __name__ == "__main__":
    main()
