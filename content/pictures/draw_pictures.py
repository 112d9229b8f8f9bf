#!/usr/bin/python3
"""Draw the pictures used by the program.

What it draws, into this script's own folder:

* rat.jpg, ox.jpg, tiger.jpg, rabbit.jpg, dragon.jpg, snake.jpg, horse.jpg,
  goat.jpg, monkey.jpg, rooster.jpg, dog.jpg, pig.jpg: one 404 x 404 pixel
  baseline JPEG per zodiac animal. Each shows the animal as a white figure
  on a dark green disc with a light rim, on a black background. The results
  window shows them in a 202-pixel box: twice that size keeps them sharp on
  screens scaled to 200 %, and the program scales them down for the others.
* icon-32.png, icon-48.png, icon-64.png, icon-128.png, icon-256.png: the
  program icon (two red hearts above a brown dragon on a white disc,
  transparent outside the disc), as RGBA PNG files.

The animal shapes are taken from the glyphs of the Noto Color Emoji font:
only the outline (alpha channel) of each glyph is used, plus, for a few
animals, a faint trace of the glyph's own dark lines so that the figure
stays easy to recognise.

How to run it (Debian 12):

    apt-get install python3-pil fonts-noto-color-emoji
    cd content/pictures
    /usr/bin/python3 draw_pictures.py

The output is deterministic: running the script twice gives byte-identical
files (no timestamps or other varying metadata are written).

Licence: the font Noto Color Emoji is made by Google and is licensed under
the SIL Open Font License, Version 1.1. The pictures written by this script
are derived from that font and are therefore distributed under the same
terms (see LICENSE-pictures.txt in this folder).
"""

import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"
FONT_SIZE = 109  # the only size this colour bitmap font offers

OUT_DIR = os.path.dirname(os.path.abspath(__file__))

# (file name, code point, strength of the faint inner detail 0..1)
ANIMALS = [
    ("rat", 0x1F400, 0.20),
    ("ox", 0x1F402, 0.20),
    ("tiger", 0x1F405, 0.45),
    ("rabbit", 0x1F407, 0.20),
    ("dragon", 0x1F409, 0.55),
    ("snake", 0x1F40D, 0.60),
    ("horse", 0x1F40E, 0.20),
    ("goat", 0x1F410, 0.25),
    ("monkey", 0x1F412, 0.30),
    ("rooster", 0x1F413, 0.20),
    ("dog", 0x1F415, 0.35),
    ("pig", 0x1F416, 0.30),
]

PICTURE_SIZE = 404
SCALE = PICTURE_SIZE / 200  # the drawing's measures below are for 200 pixels
SUPERSAMPLE = 4
BACKGROUND = (0, 0, 0)
DISC_GREEN = (0, 90, 40)
RIM_COLOUR = (200, 235, 190)
DISC_MARGIN = round(3 * SCALE)  # pixels between the disc and the picture edge
RIM_WIDTH = round(4 * SCALE)    # pixels
FIGURE_FRACTION = 0.70   # figure size relative to the disc diameter
EDGE_STEEPNESS = 2.5     # how much the enlarged figure's soft edge is narrowed
JPEG_QUALITY = 90

ICON_SIZES = [32, 48, 64, 128, 256]
ICON_MASTER = 1024
ICON_WHITE = (255, 255, 255, 255)
ICON_RIM = (150, 150, 150, 255)
ICON_BROWN = (140, 80, 30)
ICON_RED = (220, 30, 40)


def load_font():
    if not os.path.exists(FONT_PATH):
        sys.exit("font not found: %s\n"
                 "install it with: apt-get install fonts-noto-color-emoji"
                 % FONT_PATH)
    return ImageFont.truetype(FONT_PATH, FONT_SIZE)


def render_glyph(font, code_point):
    """Return the colour glyph as an RGBA image cropped to its visible part."""
    canvas = Image.new("RGBA", (FONT_SIZE * 2, FONT_SIZE * 2), (0, 0, 0, 0))
    ImageDraw.Draw(canvas).text((FONT_SIZE // 4, FONT_SIZE // 4),
                                chr(code_point), font=font,
                                embedded_color=True)
    box = canvas.getchannel("A").getbbox()
    if box is None:
        sys.exit("glyph U+%04X is empty in %s" % (code_point, FONT_PATH))
    return canvas.crop(box)


def scale_to_fit(image, longest_side):
    """Scale an image (LANCZOS) so its longer side becomes longest_side."""
    w, h = image.size
    factor = longest_side / max(w, h)
    new_size = (max(1, round(w * factor)), max(1, round(h * factor)))
    return image.resize(new_size, Image.Resampling.LANCZOS)


def sharp_edge(mask):
    """Narrow the soft edge an enlarged mask gets, keeping it anti-aliased.

    The glyphs are 136 pixels at most, so the figure is enlarged about twice;
    steepening the alpha around its midpoint gives back an edge about one
    output pixel wide instead of a blur of two or three.
    """
    return mask.point(
        lambda v: max(0, min(255, round((v - 128) * EDGE_STEEPNESS + 128))))


def inner_detail(glyph):
    """Dark lines of the glyph (0 = none, 255 = strong) inside its outline.

    The glyph's luminance is compared with a blurred copy of itself, so only
    locally dark features (eyes, stripes, scale and coil edges) survive,
    not the broad colour areas.
    """
    # Flatten onto mid grey so the outer edge does not count as a dark line.
    flat = Image.new("RGBA", glyph.size, (128, 128, 128, 255))
    flat.alpha_composite(glyph)
    lum = flat.convert("L")
    blurred = lum.filter(ImageFilter.GaussianBlur(3))
    detail = ImageChops.subtract(blurred, lum, scale=1.0 / 3.0)
    # Shrink the region a little so the silhouette edge stays clean white.
    inside = glyph.getchannel("A").filter(ImageFilter.MinFilter(5))
    return ImageChops.multiply(detail, inside)


def draw_disc(size, outer_margin, rim_width, rim_colour, fill_colour,
              background):
    """Draw a disc with a rim at SUPERSAMPLE times the size, downsampled."""
    big = size * SUPERSAMPLE
    image = Image.new("RGBA" if len(background) == 4 else "RGB",
                      (big, big), background)
    draw = ImageDraw.Draw(image)
    m = outer_margin * SUPERSAMPLE
    draw.ellipse((m, m, big - 1 - m, big - 1 - m), fill=rim_colour)
    m += rim_width * SUPERSAMPLE
    draw.ellipse((m, m, big - 1 - m, big - 1 - m), fill=fill_colour)
    return image.resize((size, size), Image.Resampling.LANCZOS)


def draw_animal(font, code_point, detail_strength):
    size = PICTURE_SIZE
    picture = draw_disc(size, DISC_MARGIN, RIM_WIDTH, RIM_COLOUR, DISC_GREEN,
                        BACKGROUND)

    glyph = render_glyph(font, code_point)
    diameter = size - 2 * DISC_MARGIN
    figure_size = round(diameter * FIGURE_FRACTION)

    # Build the figure at the glyph's own resolution, then scale it once.
    mask = glyph.getchannel("A")
    grey = ImageChops.invert(
        inner_detail(glyph).point(lambda v: round(v * detail_strength)))
    mask = sharp_edge(scale_to_fit(mask, figure_size))
    grey = scale_to_fit(grey, figure_size)

    x = (size - mask.width) // 2
    y = (size - mask.height) // 2

    # Subtle soft shadow, slightly offset, to lift the figure off the disc.
    shadow = Image.new("L", (size, size), 0)
    offset = round(2 * SCALE)
    shadow.paste(mask, (x + offset, y + offset))
    shadow = shadow.filter(ImageFilter.GaussianBlur(2.5 * SCALE))
    shadow = shadow.point(lambda v: v * 45 // 100)
    picture.paste((0, 40, 15), (0, 0), shadow)

    white = Image.merge("RGB", (grey, grey, grey))
    picture.paste(white, (x, y), mask)
    return picture


def save_jpeg(image, name):
    path = os.path.join(OUT_DIR, name)
    image.convert("RGB").save(path, "JPEG", quality=JPEG_QUALITY,
                              progressive=False, optimize=False,
                              subsampling=0)
    return path


def save_png(image, name):
    path = os.path.join(OUT_DIR, name)
    image.save(path, "PNG", optimize=False)
    return path


def heart_shape(size, colour):
    """A heart drawn from two circles and a triangle, size x size, RGBA."""
    big = size * SUPERSAMPLE
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    r = big * 0.27
    cy = big * 0.32
    left = (big * 0.29, cy)
    right = (big * 0.71, cy)
    for cx, y in (left, right):
        draw.ellipse((cx - r, y - r, cx + r, y + r), fill=colour)
    # Tangent points of the lower outline, so the sides run smoothly.
    draw.polygon([(left[0] - r * 0.93, cy + r * 0.36),
                  (big * 0.5, big * 0.94),
                  (right[0] + r * 0.93, cy + r * 0.36),
                  (big * 0.5, cy)], fill=colour)
    return image.resize((size, size), Image.Resampling.LANCZOS)


def draw_icon_master(font):
    """The icon at ICON_MASTER x ICON_MASTER pixels, RGBA."""
    size = ICON_MASTER
    icon = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(icon)
    margin = size * 0.01
    rim = size * 0.035
    draw.ellipse((margin, margin, size - 1 - margin, size - 1 - margin),
                 fill=ICON_RIM)
    m = margin + rim
    draw.ellipse((m, m, size - 1 - m, size - 1 - m), fill=ICON_WHITE)

    # Dragon: alpha mask of the glyph, filled with brown, lower part.
    glyph = render_glyph(font, 0x1F409)
    dragon_mask = scale_to_fit(glyph.getchannel("A"), round(size * 0.58))
    dx = (size - dragon_mask.width) // 2
    dy = round(size * 0.345)
    icon.paste(ICON_BROWN + (255,), (dx, dy), dragon_mask)

    # Two red hearts side by side at the top.
    heart = heart_shape(round(size * 0.27), ICON_RED + (255,))
    hy = round(size * 0.085)
    gap = round(size * 0.02)
    hx_left = size // 2 - gap // 2 - heart.width
    hx_right = size // 2 + gap // 2
    icon.alpha_composite(heart, (hx_left, hy))
    icon.alpha_composite(heart, (hx_right, hy))
    return icon


def downsample_icon(master, size):
    """Reduce the master icon in steps, sharpening a little for small sizes."""
    image = master
    while image.width // 2 >= size * 2:
        image = image.resize((image.width // 2, image.height // 2),
                             Image.Resampling.LANCZOS)
    image = image.resize((size, size), Image.Resampling.LANCZOS)
    if size <= 64:
        # Sharpen only the colour; keep the alpha edge as it is.
        alpha = image.getchannel("A")
        rgb = image.convert("RGB").filter(
            ImageFilter.UnsharpMask(radius=1, percent=60, threshold=0))
        image = rgb.convert("RGBA")
        image.putalpha(alpha)
    return image


def main():
    font = load_font()
    written = []
    for name, code_point, detail in ANIMALS:
        picture = draw_animal(font, code_point, detail)
        written.append(save_jpeg(picture, name + ".jpg"))

    master = draw_icon_master(font)
    for size in ICON_SIZES:
        written.append(save_png(downsample_icon(master, size),
                                "icon-%d.png" % size))

    for path in written:
        print("wrote", os.path.relpath(path))


if __name__ == "__main__":
    main()
