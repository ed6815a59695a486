#!/usr/bin/env python3
"""Draws the window's images: battery and connection indicators, profile
buttons, title-bar glyphs, check boxes, the program icon and the model logos.

Each image is written here as SVG, rendered to PNG by scripts/svg2png.cpp
(built with Qt's SVG module on first use) and saved under resources/picture/,
where resources/resources.qrc registers it. The PNG files are kept in the
repository, so the build does not need this script; run it after a change:

    scripts/make-images.py
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "picture")
DESKTOP_ICON = os.path.join(ROOT, "resources", "desktop", "org.harrierdriver.HarrierDriver.svg")

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
    """The mouse seen from above, 200 x 330, for the settings page."""
    body = ('<defs><linearGradient id="shell" x1="0" y1="0" x2="1" y2="1">'
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
            'stroke-linecap="round" stroke-linejoin="round"/>')
    return svg(200, 330, body)


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
    "mouse_picture.png": (mouse_picture(), 400, 660),
    "spin_up.png": (spin_arrow(True), 28, 22),
    "spin_down.png": (spin_arrow(False), 28, 22),
}
for group in ["kestrel", "falcon", "osprey", "wren", "lanner", "harrier"]:
    IMAGES[f"{group.upper()}/logo_korvan.png"] = (logo(group), 320, 64)


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
    print(f"{len(IMAGES)} images in {os.path.relpath(OUT, ROOT)}")
    # The desktop's scalable icon is the same drawing as the window's and the tray's.
    with open(DESKTOP_ICON, "w", encoding="utf-8") as f:
        f.write(app_icon() + "\n")
    print(f"icon in {os.path.relpath(DESKTOP_ICON, ROOT)}")


if __name__ == "__main__":
    sys.exit(main())
