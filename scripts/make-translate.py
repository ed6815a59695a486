#!/usr/bin/env python3
"""Writes resources/translate.json, the user-interface text table.

The file holds twelve slots, one array of strings per language, all of the
same length; the program looks texts up by index (named in
data/files/TextTable.h). Indexes without a text here are empty strings.
Slots without their own translation yet are copies of the English slot.

Edit the table below and run:  scripts/make-translate.py
"""
import json
import os

# Slot order of the language file; the program maps system languages to it.
SLOTS = [
    "Chinese", "English", "Korean", "Albanian", "German", "spare",
    "Italian", "Spanish", "Dutch", "Portuguese", "Russian", "Ukrainian",
]

# index: (Chinese, English)
TEXTS = {
    # Receiver pairing page.
    107: ("将接收器插入电脑", "Plug the receiver into the computer"),
    108: ("关闭鼠标电源开关", "Switch the mouse off"),
    109: ("点击下方的“配对”按钮", "Click the \u201cPair\u201d button below"),
    110: ("配对", "Pair"),
    111: ("退出配对", "Leave pairing"),
    112: ("打开鼠标电源开关", "Switch the mouse on"),
    113: ("请同时按下左、中、右三键", "Press the left, middle and right buttons together"),
    114: ("退出配对", "Leave pairing"),

    # Key setting dialog: status label and basic function list.
    123: ("功能", "Function"),
    125: ("关闭窗口", "Close window"),
    126: ("锁定电脑", "Lock computer"),
    127: ("运行", "Run"),
    128: ("显示桌面", "Show desktop"),
    129: ("放大", "Zoom in"),
    130: ("缩小", "Zoom out"),
    131: ("查找", "Find"),
    132: ("左键", "Left button"),
    133: ("右键", "Right button"),
    134: ("中键", "Middle button"),
    135: ("前进", "Forward"),
    136: ("后退", "Back"),
    137: ("媒体播放器", "Media player"),
    138: ("音量减", "Volume down"),
    139: ("音量加", "Volume up"),
    140: ("静音", "Mute"),
    141: ("CPI 瞬切", "CPI shift"),
    142: ("火力键", "Fire key"),
    143: ("宏切换", "Macro switch"),

    # Macro editor.
    176: ("开始录制", "Start recording"),

    # Profile buttons and factory reset.
    192: ("配置", "Configuration"),
    193: ("配置 1", "Configuration 1"),
    194: ("配置 2", "Configuration 2"),
    195: ("配置 3", "Configuration 3"),
    196: ("配置 4", "Configuration 4"),
    197: ("配置 5", "Configuration 5"),
    198: ("恢复出厂设置", "Restore factory settings"),

    235: ("播放/暂停", "Play/Pause"),
    238: ("配置循环切换", "Cycle configurations"),

    # Key setting dialog status label; macro editor.
    291: ("已禁用", "Disabled"),
    292: ("宏", "Macro"),
    293: ("按键：", "Key: "),
    294: ("新建宏", "New macro"),
    295: ("正在录制…", "Recording\u2026"),
    296: ("停止录制", "Stop recording"),

    # A second copy of the program was started.
    342: ("程序已在运行。", "HarrierDriver is already running."),
    343: ("提示", "Note"),

    # The dialog shown while no mouse is present.
    360: ("未检测到鼠标，请连接鼠标或接收器。", "No mouse found. Please connect your mouse or its receiver."),
    361: ("退出程序", "Quit"),
    362: ("固件修复", "Firmware repair"),
}

# Translations of other slots, index: text, where they exist; the rest is English.
OWN = {slot: {} for slot in range(len(SLOTS))}


def build():
    length = max(TEXTS) + 1
    table = []
    for slot in range(len(SLOTS)):
        texts = [""] * length
        for index, (chinese, english) in TEXTS.items():
            texts[index] = chinese if slot == 0 else english
        for index, text in OWN[slot].items():
            texts[index] = text
        table.append(texts)
    return table


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "resources", "translate.json")
    with open(path, "w", encoding="utf-8") as out:
        json.dump(build(), out, ensure_ascii=False, indent=1)
        out.write("\n")
    print("wrote", path)


if __name__ == "__main__":
    main()
