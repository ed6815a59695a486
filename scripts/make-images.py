#!/usr/bin/env python3
"""Draws the window's images: battery and connection indicators, profile
buttons, title-bar glyphs, check boxes, the program icon, the model logos and
the mouse pictures of the settings page and the steps of receiver pairing.

Each image is written here as SVG, rendered to PNG by scripts/svg2png.cpp
(built with Qt's SVG module on first use) and saved under resources/picture/,
where resources/resources.qrc registers it. The PNG files are kept in the
repository, so the build does not need this script; run it after a change:

    scripts/make-images.py

The mouse pictures and the places of the button plates on them come from the
same table below: the script also writes pages/MousePictureSpots.inc, which
the settings page includes, so a plate always sits over the part it names.
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "picture")
DESKTOP_ICON = os.path.join(ROOT, "resources", "desktop", "org.harrierdriver.harrierdriver.svg")

# One palette for everything on the black window.
ACCENT = "#ff5a1f"
ACCENT_DARK = "#c8400f"
LINE = "#d6d6da"
MUTED = "#5a5a62"
PANEL = "#141417"
EDGE = "#34343b"
LOW = "#ff3b30"
FONT = "DejaVu Sans"


def svg(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{width}" height="{height}" viewBox="0 0 {width} {height}">{body}</svg>')


def battery(level, fill=LINE, bolt=False):
    """A 32 x 16 battery: outline, cap, and `level` of five bars."""
    body = (f'<rect x="1" y="1.5" width="26" height="13" rx="3" ry="3" fill="none" '
            f'stroke="{LINE}" stroke-width="1.6"/>'
            f'<rect x="28.2" y="5.5" width="2.6" height="5" rx="1" ry="1" fill="{LINE}"/>')
    for i in range(level):
        body += f'<rect x="{3.6 + i * 4.6:.1f}" y="4" width="3.6" height="8" rx="0.8" ry="0.8" fill="{fill}"/>'
    if bolt:
        body += (f'<path d="M15.5 2.2 L9.5 9 L13.6 9 L12.3 13.8 L18.6 6.8 L14.4 6.8 Z" '
                 f'fill="{ACCENT}" stroke="#000" stroke-width="0.8"/>')
    return svg(32, 16, body)


def wireless():
    body = (f'<circle cx="12" cy="18" r="2" fill="{LINE}"/>'
            f'<path d="M7.2 13.6 A7 7 0 0 1 16.8 13.6" fill="none" stroke="{LINE}" stroke-width="2" stroke-linecap="round"/>'
            f'<path d="M3.8 10.2 A11.6 11.6 0 0 1 20.2 10.2" fill="none" stroke="{LINE}" stroke-width="2" stroke-linecap="round"/>'
            f'<path d="M8.2 4.6 L12 2.4 L15.8 4.6" fill="none" stroke="{ACCENT}" stroke-width="1.6" stroke-linecap="round"/>')
    return svg(24, 24, body)


def wire():
    """A cable plug: metal shell with contacts, grip, cable."""
    body = (f'<rect x="8.5" y="2" width="7" height="6" fill="none" stroke="{LINE}" stroke-width="1.5"/>'
            f'<rect x="10" y="3.8" width="1.6" height="2" fill="{ACCENT}"/><rect x="12.4" y="3.8" width="1.6" height="2" fill="{ACCENT}"/>'
            f'<rect x="6.5" y="8" width="11" height="8.5" rx="2" ry="2" fill="{LINE}"/>'
            f'<path d="M12 16.5 L12 22.5" stroke="{LINE}" stroke-width="2.2" stroke-linecap="round"/>')
    return svg(24, 24, body)


def profile_button(selected, end_piece):
    """The profile buttons: a chamfered plate; the fifth one closes the row."""
    w, h, c = 120, 40, 9
    if end_piece:
        path = f"M{c} 0 L{w - 6} 0 Q{w} 0 {w} 6 L{w} {h - 6} Q{w} {h} {w - 6} {h} L0 {h} L0 {c} Z"
    else:
        path = f"M{c} 0 L{w} 0 L{w} {h - c} L{w - c} {h} L0 {h} L0 {c} Z"
    if selected:
        body = ('<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
                f'<stop offset="0" stop-color="{ACCENT}"/><stop offset="1" stop-color="{ACCENT_DARK}"/>'
                '</linearGradient></defs>'
                f'<path d="{path}" fill="url(#g)"/>')
    else:
        body = f'<path d="{path}" fill="{PANEL}" stroke="{EDGE}" stroke-width="1.5"/>'
    return svg(w, h, body)


def title_glyph(kind):
    if kind == "min":
        body = f'<path d="M7 12 L17 12" stroke="{LINE}" stroke-width="1.6" stroke-linecap="round"/>'
    else:
        body = (f'<path d="M7.5 7.5 L16.5 16.5 M16.5 7.5 L7.5 16.5" stroke="{LINE}" '
                'stroke-width="1.6" stroke-linecap="round"/>')
    return svg(24, 24, body)


def check_box(checked):
    if checked:
        body = (f'<rect x="1" y="1" width="16" height="16" rx="3" ry="3" fill="{ACCENT}"/>'
                '<path d="M4.5 9.2 L7.6 12.2 L13.6 5.8" fill="none" stroke="#fff" stroke-width="2" '
                'stroke-linecap="round" stroke-linejoin="round"/>')
    else:
        body = f'<rect x="1.5" y="1.5" width="15" height="15" rx="3" ry="3" fill="{PANEL}" stroke="{MUTED}" stroke-width="1.4"/>'
    return svg(18, 18, body)


def mark(size, stroke):
    """The program's mark: a mouse outline with its wheel and a wing stroke."""
    s = size / 128.0
    return (f'<g transform="scale({s:.4f})">'
            '<path d="M64 18 C40 18 30 36 30 58 L30 80 C30 100 44 112 64 112 C84 112 98 100 98 80 L98 58 C98 36 88 18 64 18 Z" '
            f'fill="none" stroke="{LINE}" stroke-width="{stroke}"/>'
            f'<path d="M64 18 L64 50" stroke="{LINE}" stroke-width="{stroke * 0.8:.1f}"/>'
            f'<rect x="59" y="30" width="10" height="18" rx="5" ry="5" fill="{ACCENT}"/>'
            f'<path d="M36 84 L64 70 L92 84" fill="none" stroke="{ACCENT}" stroke-width="{stroke * 0.9:.1f}" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            '</g>')


def app_icon():
    body = ('<defs><linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#26262c"/><stop offset="1" stop-color="#0b0b0d"/></linearGradient></defs>'
            f'<rect x="2" y="2" width="124" height="124" rx="28" ry="28" fill="url(#bg)" stroke="{EDGE}" stroke-width="2"/>'
            + mark(128, 7))
    return svg(128, 128, body)


def logo(name):
    """A model logo, 160 x 32: the accent slash and the model name."""
    letters = " ".join(name.upper()) if len(name) <= 7 else name.upper()
    body = (f'<path d="M2 28 L12 4 L18 4 L8 28 Z" fill="{ACCENT}"/>'
            f'<path d="M12 28 L22 4 L25 4 L15 28 Z" fill="{ACCENT}" opacity="0.55"/>'
            f'<text x="32" y="23" font-family="{FONT}" font-size="17" font-weight="bold" '
            f'fill="#f2f2f4">{letters}</text>')
    return svg(160, 32, body)


def mouse_picture():
    """The mouse seen from above, for the settings page while no model is known."""
    body = ('<g transform="translate(8 5)">'
            '<defs><linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
            '<stop offset="0" stop-color="#2a2a31"/><stop offset="1" stop-color="#0e0e11"/></linearGradient></defs>'
            # shell
            '<path d="M100 14 C52 14 34 58 32 118 L30 210 C30 282 60 318 100 318 C140 318 170 282 170 210 '
            'L168 118 C166 58 148 14 100 14 Z" fill="url(#shell)" stroke="#5a5a62" stroke-width="2"/>'
            # button split and palm edge
            f'<path d="M100 16 L100 128" stroke="{EDGE}" stroke-width="2"/>'
            f'<path d="M34 128 C70 142 130 142 166 128" fill="none" stroke="{EDGE}" stroke-width="2"/>'
            # wheel
            f'<rect x="91" y="46" width="18" height="44" rx="9" ry="9" fill="#1c1c21" stroke="{LINE}" stroke-width="1.6"/>'
            f'<path d="M94 58 L106 58 M94 66 L106 66 M94 74 L106 74" stroke="{MUTED}" stroke-width="1.2"/>'
            # CPI buttons behind the wheel
            f'<rect x="93" y="98" width="14" height="8" rx="2" ry="2" fill="{ACCENT}"/>'
            f'<rect x="93" y="110" width="14" height="8" rx="2" ry="2" fill="{ACCENT_DARK}"/>'
            # side buttons
            f'<path d="M30 150 L24 152 L24 186 L30 188 Z" fill="#1c1c21" stroke="{LINE}" stroke-width="1.4"/>'
            f'<path d="M30 194 L24 196 L24 226 L30 228 Z" fill="#1c1c21" stroke="{LINE}" stroke-width="1.4"/>'
            # accent wing
            f'<path d="M58 236 L100 212 L142 236" fill="none" stroke="{ACCENT}" stroke-width="4" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            f'<path d="M70 258 L100 242 L130 258" fill="none" stroke="{ACCENT}" stroke-width="2.5" opacity="0.6" '
            'stroke-linecap="round" stroke-linejoin="round"/></g>')
    return svg(216, 340, body)


# ---- mouse pictures of the settings page ----------------------------------
#
# Each picture is the mouse seen from above on a 216 x 340 canvas (the size of
# the picture on the page). The body is drawn from a few measures per model;
# the buttons the model has are drawn where they are on the mouse, and each
# gets a plate rectangle (x, y, w, h) on the same canvas for the page's
# button. Plates of the side and flank buttons reach past the body's edge so
# their captions fit.

PIC_W, PIC_H = 216, 340
CX = 108
TOP, BOTTOM = 8, 298
PLATE_H = 20
SIDE_PLATE_W = 96


def bezier(p0, p1, p2, p3, t):
    u = 1 - t
    return tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                 for a, b, c, d in zip(p0, p1, p2, p3))


def body_segments(m):
    """The left half of the body as cubic segments, top to bottom; the right
    half mirrors it with its own widths."""
    def half(front, rear, sign):
        x = lambda w: CX + sign * w
        return [
            ((CX, TOP), (x(front * 0.75), TOP), (x(front), TOP + 40), (x(front), TOP + 96)),
            ((x(front), TOP + 96), (x(front), TOP + 150), (x(rear), BOTTOM - 130), (x(rear), BOTTOM - 86)),
            ((x(rear), BOTTOM - 86), (x(rear), BOTTOM - 22), (x(rear * 0.55), BOTTOM), (CX, BOTTOM)),
        ]
    return half(m["front"], m["rear_left"], -1), half(m["front"], m["rear_right"], 1)


def edge_x(segments, y):
    """Where the body's outline crosses the height y."""
    best = None
    for seg in segments:
        for i in range(201):
            px, py = bezier(*seg, i / 200)
            if best is None or abs(py - y) < abs(best[1] - y):
                best = (px, py)
    return best[0]


def body_path(m):
    left, right = body_segments(m)
    d = f"M{CX} {TOP} "
    for _, c1, c2, end in left:
        d += f"C{c1[0]:.1f} {c1[1]:.1f} {c2[0]:.1f} {c2[1]:.1f} {end[0]:.1f} {end[1]:.1f} "
    for seg in reversed(right):
        end, c2, c1, start = seg
        d += f"C{c1[0]:.1f} {c1[1]:.1f} {c2[0]:.1f} {c2[1]:.1f} {end[0]:.1f} {end[1]:.1f} "
    return d + "Z"


def side_key(x, y, w, h):
    return (f'<rect x="{x:.1f}" y="{y:.1f}" width="{w}" height="{h}" rx="2.5" ry="2.5" '
            f'fill="#1c1c21" stroke="{LINE}" stroke-width="1.3"/>')


def mouse_model_picture(m):
    """One model's picture and its plates: {button: (x, y, w, h)}."""
    left, right = body_segments(m)
    plates = {}
    body = ('<defs><linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
            f'<stop offset="0" stop-color="{m["shell"][0]}"/><stop offset="1" stop-color="{m["shell"][1]}"/>'
            '</linearGradient></defs>'
            f'<path d="{body_path(m)}" fill="url(#shell)" stroke="#5a5a62" stroke-width="2"/>')
    split = TOP + 118
    body += (f'<path d="M{CX} {TOP + 2} L{CX} {split}" stroke="{EDGE}" stroke-width="2"/>'
             f'<path d="M{edge_x(left, split) + 2:.1f} {split} C{CX - 30} {split + 14} {CX + 30} {split + 14} '
             f'{edge_x(right, split) - 2:.1f} {split}" fill="none" stroke="{EDGE}" stroke-width="2"/>')
    # Main buttons: the plates sit on each half beside the wheel.
    main_w = min(54, m["front"] - 18)
    plates[4] = (CX - 12 - main_w, 62, main_w, PLATE_H)
    plates[6] = (CX + 12, 62, main_w, PLATE_H)
    # The wheel and its click.
    body += (f'<rect x="{CX - 9}" y="38" width="18" height="46" rx="9" ry="9" fill="#1c1c21" '
             f'stroke="{LINE}" stroke-width="1.6"/>'
             f'<path d="M{CX - 6} 50 L{CX + 6} 50 M{CX - 6} 58 L{CX + 6} 58 M{CX - 6} 66 L{CX + 6} 66 '
             f'M{CX - 6} 74 L{CX + 6} 74" stroke="{MUTED}" stroke-width="1.2"/>')
    plates[5] = (CX - 30, 32, 60, PLATE_H)
    # CPI buttons behind the wheel: a pair, or one that steps through the levels.
    if m["cpi"] == 2:
        body += (f'<rect x="{CX - 8}" y="94" width="16" height="9" rx="2" ry="2" fill="{ACCENT}"/>'
                 f'<rect x="{CX - 8}" y="118" width="16" height="9" rx="2" ry="2" fill="{ACCENT_DARK}"/>')
        plates[13] = (CX - 26, 89, 52, 18)
        plates[14] = (CX - 26, 113, 52, 18)
    elif m["cpi"] == 1:
        body += f'<rect x="{CX - 8}" y="100" width="16" height="12" rx="3" ry="3" fill="{ACCENT}"/>'
        plates[13] = (CX - 26, 97, 52, 18)
    # The side wheel on the thumb side.
    y0 = 150
    x = edge_x(left, y0 + 22) - 6
    body += (f'<rect x="{x:.1f}" y="{y0}" width="10" height="44" rx="5" ry="5" fill="#1c1c21" '
             f'stroke="{LINE}" stroke-width="1.4"/>'
             f'<path d="M{x + 2:.1f} {y0 + 12} L{x + 8:.1f} {y0 + 12} M{x + 2:.1f} {y0 + 22} L{x + 8:.1f} {y0 + 22} '
             f'M{x + 2:.1f} {y0 + 32} L{x + 8:.1f} {y0 + 32}" stroke="{MUTED}" stroke-width="1.1"/>')
    plates[11] = (2, y0, SIDE_PLATE_W, PLATE_H)
    plates[12] = (2, y0 + 24, SIDE_PLATE_W, PLATE_H)
    # Thumb buttons below it, front to back.
    for k, button in enumerate(m["side"]):
        y = 204 + 24 * k
        body += side_key(edge_x(left, y + 10) - 5, y, 8, PLATE_H)
        plates[button] = (2, y, SIDE_PLATE_W, PLATE_H)
    # Buttons on the other flank, front to back.
    for k, button in enumerate(m["flank"]):
        y = 150 + 24 * k
        body += side_key(edge_x(right, y + 10) - 3, y, 8, PLATE_H)
        plates[button] = (PIC_W - 2 - SIDE_PLATE_W, y, SIDE_PLATE_W, PLATE_H)
    # The model's accent mark on the palm.
    body += (f'<path d="M{CX - 34} 262 L{CX} 242 L{CX + 34} 262" fill="none" stroke="{ACCENT}" stroke-width="4" '
             'stroke-linecap="round" stroke-linejoin="round"/>')
    if m.get("second_mark"):
        body += (f'<path d="M{CX - 24} 280 L{CX} 268 L{CX + 24} 280" fill="none" stroke="{ACCENT}" '
                 'stroke-width="2.5" opacity="0.6" stroke-linecap="round" stroke-linejoin="round"/>')
    return svg(PIC_W, PIC_H, body), plates


# The mice by picture: body widths (front, rear on either side), shell
# colours, how many CPI buttons, the thumb buttons and the far flank's
# buttons in order front to back. Which model types use which picture is the
# settings page's table.
MOUSE_MODELS = {
    "kestrel": dict(front=66, rear_left=70, rear_right=70, shell=("#2a2a31", "#0e0e11"), cpi=2,
                    side=[7, 8, 9, 10], flank=[], second_mark=True),
    "merlin": dict(front=60, rear_left=80, rear_right=66, shell=("#2c2a30", "#101013"), cpi=2,
                   side=[7, 8, 9, 10], flank=[]),
    "falcon": dict(front=64, rear_left=68, rear_right=68, shell=("#2b2b2e", "#0f0f12"), cpi=2,
                   side=[7, 8], flank=[15]),
    "saker": dict(front=58, rear_left=64, rear_right=64, shell=("#2e2c2a", "#100f0e"), cpi=1,
                  side=[7, 8], flank=[]),
    "osprey": dict(front=70, rear_left=74, rear_right=74, shell=("#2a2d31", "#0d0f12"), cpi=2,
                   side=[7, 8], flank=[15, 16, 17], second_mark=True),
    "lanner": dict(front=64, rear_left=72, rear_right=68, shell=("#2a2a30", "#0e0e12"), cpi=1,
                   side=[7, 8, 9, 10], flank=[15, 16]),
    "harrier": dict(front=62, rear_left=70, rear_right=66, shell=("#2d2a2e", "#110e11"), cpi=2,
                    side=[7, 8], flank=[], second_mark=True),
    "wren": dict(front=54, rear_left=58, rear_right=58, shell=("#2a2b2f", "#0e0f11"), cpi=2,
                 side=[7, 8], flank=[15]),
}


def write_plates(plates_by_model):
    lines = ["// Generated by scripts/make-images.py with the mouse pictures: the plate",
             "// of each button on each picture (x, y, width, height on the 216 x 340",
             "// picture). Edit the script and run it again rather than this file.",
             "// clang-format off"]
    for name in MOUSE_MODELS:
        for button, (x, y, w, h) in sorted(plates_by_model[name].items()):
            lines.append(f'{{"{name}", {button}, {{{int(x)}, {int(y)}, {int(w)}, {int(h)}}}}},')
    lines.append("// clang-format on")
    with open(os.path.join(ROOT, "pages", "MousePictureSpots.inc"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def clock():
    """The macro page's delay rows, 14 x 14."""
    body = (f'<circle cx="7" cy="7.5" r="5.6" fill="none" stroke="{LINE}" stroke-width="1.4"/>'
            f'<path d="M7 4.6 L7 7.5 L9.2 8.8" fill="none" stroke="{ACCENT}" stroke-width="1.4" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            f'<path d="M5.4 1 L8.6 1" stroke="{LINE}" stroke-width="1.3" stroke-linecap="round"/>')
    return svg(14, 14, body)


def pair_frame(body):
    """A pairing step picture, 200 x 150, on a dark panel."""
    return svg(200, 150, f'<rect x="1" y="1" width="198" height="148" rx="10" ry="10" fill="{PANEL}" '
                         f'stroke="{EDGE}" stroke-width="1.5"/>' + body)


def mouse_underside(on):
    """The mouse seen from below, its power switch off or on."""
    knob_y = 74 if on else 96
    state = "ON" if on else "OFF"
    colour = ACCENT if on else MUTED
    return pair_frame(
        '<path d="M100 18 C72 18 62 42 62 70 L62 96 C62 122 78 134 100 134 C122 134 138 122 138 96 '
        f'L138 70 C138 42 128 18 100 18 Z" fill="#1c1c21" stroke="{LINE}" stroke-width="2"/>'
        f'<circle cx="100" cy="46" r="7" fill="none" stroke="{MUTED}" stroke-width="2"/>'
        f'<rect x="92" y="66" width="16" height="48" rx="4" ry="4" fill="#0b0b0d" stroke="{LINE}" stroke-width="1.5"/>'
        f'<rect x="94" y="{knob_y}" width="12" height="16" rx="3" ry="3" fill="{colour}"/>'
        f'<text x="150" y="{knob_y + 13}" font-family="{FONT}" font-size="14" font-weight="bold" '
        f'fill="{colour}">{state}</text>'
        f'<path d="M146 {knob_y + 8} L114 {knob_y + 8}" stroke="{colour}" stroke-width="1.5"/>')


def pair_receiver():
    """The receiver going into a computer's USB port."""
    return pair_frame(
        # the computer's side with its port
        f'<rect x="118" y="26" width="62" height="98" rx="6" ry="6" fill="#1c1c21" stroke="{LINE}" stroke-width="2"/>'
        f'<rect x="114" y="64" width="10" height="22" fill="#0b0b0d" stroke="{LINE}" stroke-width="1.5"/>'
        # the receiver
        f'<rect x="60" y="66" width="26" height="18" rx="3" ry="3" fill="{LINE}"/>'
        f'<rect x="86" y="69" width="18" height="12" fill="#0b0b0d" stroke="{LINE}" stroke-width="1.5"/>'
        f'<circle cx="70" cy="75" r="3" fill="{ACCENT}"/>'
        # the way in
        f'<path d="M24 75 L52 75 M44 67 L52 75 L44 83" fill="none" stroke="{ACCENT}" stroke-width="3" '
        'stroke-linecap="round" stroke-linejoin="round"/>')


def pair_click():
    """A pointer clicking the pair button."""
    return pair_frame(
        f'<rect x="42" y="50" width="116" height="40" rx="8" ry="8" fill="{ACCENT}"/>'
        f'<rect x="70" y="66" width="60" height="8" rx="4" ry="4" fill="#ffffff" opacity="0.85"/>'
        f'<path d="M128 78 L128 118 L138 108 L146 126 L152 123 L144 106 L158 106 Z" fill="#ffffff" '
        'stroke="#0b0b0d" stroke-width="2" stroke-linejoin="round"/>'
        f'<path d="M30 44 L22 36 M100 42 L100 30 M170 44 L178 36" stroke="{LINE}" stroke-width="2" '
        'stroke-linecap="round"/>')


def pair_three_buttons():
    """The mouse from above, left, middle and right buttons held together."""
    return pair_frame(
        '<path d="M100 16 C72 16 60 40 60 70 L60 100 C60 124 78 136 100 136 C122 136 140 124 140 100 '
        f'L140 70 C140 40 128 16 100 16 Z" fill="#1c1c21" stroke="{LINE}" stroke-width="2"/>'
        # the left and right buttons lit, the wheel lit
        f'<path d="M98 18 C76 19 64 38 62 66 L98 66 Z" fill="{ACCENT}" opacity="0.85"/>'
        f'<path d="M102 18 C124 19 136 38 138 66 L102 66 Z" fill="{ACCENT}" opacity="0.85"/>'
        f'<rect x="95" y="28" width="10" height="26" rx="5" ry="5" fill="#ffffff" stroke="#0b0b0d" stroke-width="1.5"/>'
        # three presses
        f'<path d="M40 30 L52 40 M100 4 L100 12 M160 30 L148 40" stroke="{LINE}" stroke-width="2.5" '
        'stroke-linecap="round"/>'
        f'<text x="100" y="110" text-anchor="middle" font-family="{FONT}" font-size="13" font-weight="bold" '
        f'fill="{LINE}">L + M + R</text>')


def spin_arrow(up):
    """The arrows of the CPI number boxes, 14 x 11."""
    path = "M3.5 7.5 L7 3.5 L10.5 7.5" if up else "M3.5 3.5 L7 7.5 L10.5 3.5"
    body = (f'<path d="{path}" fill="none" stroke="{LINE}" stroke-width="1.6" '
            'stroke-linecap="round" stroke-linejoin="round"/>')
    return svg(14, 11, body)


# resource file (below resources/picture) -> (SVG, width, height); sizes are
# twice the size shown, so the images stay sharp on high-density screens.
IMAGES = {
    "top_icon_battery0.png": (battery(0), 64, 32),
    "top_icon_battery.png": (battery(1, LOW), 64, 32),
    "top_icon_battery2.png": (battery(2), 64, 32),
    "top_icon_battery3.png": (battery(3), 64, 32),
    "top_icon_battery4.png": (battery(4), 64, 32),
    "top_icon_battery5.png": (battery(5), 64, 32),
    "top_icon_charging.png": (battery(0, LINE, bolt=True), 64, 32),
    "top_icon_charging_full.png": (battery(5, LINE, bolt=True), 64, 32),
    "Kestrel/wireless.png": (wireless(), 48, 48),
    "Kestrel/wire.png": (wire(), 48, 48),
    "set_btn_1.png": (profile_button(False, False), 240, 80),
    "set_btn_1_s.png": (profile_button(True, False), 240, 80),
    "set_btn_2.png": (profile_button(False, True), 240, 80),
    "set_btn_2_s.png": (profile_button(True, True), 240, 80),
    "title_min.png": (title_glyph("min"), 48, 48),
    "title_close.png": (title_glyph("close"), 48, 48),
    "check_off.png": (check_box(False), 36, 36),
    "check_on.png": (check_box(True), 36, 36),
    "128-128.png": (app_icon(), 128, 128),
    "mouse_picture.png": (mouse_picture(), 432, 680),
    "spin_up.png": (spin_arrow(True), 28, 22),
    "macro_icon_time.png": (clock(), 28, 28),
    "spin_down.png": (spin_arrow(False), 28, 22),
}
for n, picture in enumerate([pair_receiver(), mouse_underside(False), pair_click(), mouse_underside(True),
                              pair_three_buttons()], start=1):
    IMAGES[f"code/pair_bg{n}.png"] = (picture, 400, 300)
for group in ["kestrel", "merlin", "falcon", "osprey", "wren", "lanner", "harrier"]:
    IMAGES[f"{group.upper()}/logo_korvan.png"] = (logo(group), 320, 64)
PLATES = {}
for model, measures in MOUSE_MODELS.items():
    picture, PLATES[model] = mouse_model_picture(measures)
    IMAGES[f"mouse/{model}.png"] = (picture, PIC_W * 2, PIC_H * 2)


def renderer(work):
    tool = os.path.join(work, "svg2png")
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt5Svg", "Qt5Gui"],
                           check=True, capture_output=True, text=True).stdout.split()
    subprocess.run(["g++", "-std=c++17", "-fPIC", "-O1", os.path.join(ROOT, "scripts", "svg2png.cpp"),
                    "-o", tool] + flags, check=True)
    return tool


def main():
    with tempfile.TemporaryDirectory() as work:
        tool = renderer(work)
        args = []
        for i, (name, (source, width, height)) in enumerate(sorted(IMAGES.items())):
            path = os.path.join(work, f"{i}.svg")
            with open(path, "w", encoding="utf-8") as f:
                f.write(source)
            target = os.path.join(OUT, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            args += [str(width), str(height), path, target]
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        subprocess.run([tool] + args, check=True, env=env)
    write_plates(PLATES)
    print(f"{len(IMAGES)} images in {os.path.relpath(OUT, ROOT)}")
    # The desktop's scalable icon is the same drawing as the window's and the tray's.
    with open(DESKTOP_ICON, "w", encoding="utf-8") as f:
        f.write(app_icon() + "\n")
    print(f"icon in {os.path.relpath(DESKTOP_ICON, ROOT)}")


if __name__ == "__main__":
    sys.exit(main())
