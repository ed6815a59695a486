#!/usr/bin/env python3
"""Writes resources/translate.json, the user-interface text table.

The file holds twelve slots, one array of strings per language, all of the
same length; the program looks texts up by index (named in
store/TextTable.h). Indexes without a text here are empty strings.
Where a slot has no translation of an index yet, it holds the English text.

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
    193: ("配置 1", "Profile 1"),
    194: ("配置 2", "Profile 2"),
    195: ("配置 3", "Profile 3"),
    196: ("配置 4", "Profile 4"),
    197: ("配置 5", "Profile 5"),
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

    # Warning dialog: titles and buttons.
    400: ("提示", "Notice"),
    401: ("确定", "OK"),
    402: ("取消", "Cancel"),
    403: ("立即更新", "Update now"),
    404: ("稍后", "Later"),
    405: ("不再提醒", "Don't remind me again"),
    406: ("错误", "Something went wrong"),
    407: ("固件更新", "Firmware update"),
    408: ("软件更新", "Software update"),
    409: ("出现了未知情况（代码 %1）。", "Something unexpected happened (code %1)."),

    # Warning dialog: the message of warning type n is text 410 + n.
    410: ("恢复出厂设置将清除全部五个配置，并把鼠标恢复为出厂状态。是否继续？",
          "Restoring factory settings erases all five configurations and returns the mouse to its factory state. Continue?"),
    411: ("有新版本的软件可用。是否现在下载？", "A new version of HarrierDriver is available. Download it now?"),
    412: ("上传将用本机设置替换云端保存的设置。是否继续？",
          "Uploading replaces the settings saved in your account with the ones on this computer. Continue?"),
    413: ("确定要退出登录吗？", "Do you want to log out?"),
    414: ("下载将用云端保存的设置替换本机设置。是否继续？",
          "Downloading replaces the settings on this computer with the ones saved in your account. Continue?"),
    416: ("至少需要保留一个按键作为左键。", "At least one button has to remain the left button."),
    417: ("固件更新失败。请重新连接鼠标后再试。", "The firmware update failed. Reconnect the mouse and try again."),
    418: ("固件更新成功。", "The firmware was updated successfully."),
    420: ("请先登录，才能使用云同步。", "Log in to use cloud sync."),
    423: ("正在更新固件。更新完成前请勿拔出鼠标。", "Updating the firmware. Do not unplug the mouse until the update has finished."),
    424: ("固件更新次数过多，请重新启动软件后再试。", "Too many firmware update attempts. Restart HarrierDriver and try again."),
    435: ("鼠标多次读写失败，可能需要修复固件。是否现在修复？",
          "The mouse keeps failing to answer. Repairing its firmware may help. Repair now?"),
    436: ("鼠标固件版本过旧，请更新后使用全部功能。", "The mouse's firmware is out of date. Update it to use every feature."),
    437: ("宏太长，无法继续添加事件。", "The macro is too long; no more events can be added."),
    438: ("登录已过期，请重新登录。", "Your login has expired. Please log in again."),
    441: ("软件需要关闭。请重新启动。", "HarrierDriver has to close. Please start it again."),
    442: ("与鼠标通信失败。请检查连接后重试。", "Could not talk to the mouse. Check the connection and try again."),
    443: ("接收器未找到鼠标。是否现在配对？", "The receiver cannot find the mouse. Pair them now?"),
    444: ("有新固件可下载。是否现在下载并更新？", "New firmware is available. Download and install it now?"),
    445: ("有更新的固件版本可用。请在“支持”页面更新。", "A newer firmware version is available. You can update it on the Support page."),
    447: ("宏已写入鼠标。", "The macros were written to the mouse."),
    448: ("鼠标中的设置与本地配置都不一致。请选择：将鼠标中的设置保存为配置 1（覆盖原配置 1），或将配置 1 写入鼠标（替换鼠标中的设置）。",
          "The settings in the mouse match none of your configurations. Keep them as configuration 1 "
          "(replacing the stored configuration 1), or load configuration 1 into the mouse (replacing what the mouse holds)?"),
    449: ("是否现在更新固件？", "Update the firmware now?"),
    450: ("固件更新需要用数据线连接鼠标。请插上数据线后重试。",
          "Updating the firmware needs the mouse connected by its cable. Plug in the cable and try again."),
    451: ("是否现在更新固件？", "Update the firmware now?"),
    452: ("配对失败。请按步骤重新操作。", "Pairing failed. Please follow the steps and try again."),
    453: ("此按键不能使用“按下时播放”的宏。", "This button cannot use a macro that plays while held."),
    454: ("接收器已与其他型号的鼠标配对。", "The receiver is paired with a different mouse model."),
    455: ("无法开始配对。请确认接收器已插好。", "Pairing could not start. Make sure the receiver is plugged in."),
    456: ("配对成功。", "The mouse and the receiver are paired."),
    457: ("需要重新启动软件。是否现在重启？", "HarrierDriver needs to restart. Restart now?"),
    458: ("是否修复鼠标固件？", "Repair the mouse's firmware?"),
    460: ("所选的宏没有任何事件。", "The chosen macro has no events."),
    461: ("列表中有宏没有任何事件。", "A macro in the list has no events."),
    462: ("有新版本的软件可用。是否现在下载？", "A new version of HarrierDriver is available. Download it now?"),
    463: ("已是最新版本。", "HarrierDriver is up to date."),
    464: ("检查更新失败。", "The update check failed."),

    # Main window: pages, tray, indicators.
    470: ("主页", "Settings"),
    471: ("灯光", "Lighting"),
    472: ("宏", "Macros"),
    473: ("支持", "Support"),
    474: ("云同步", "Cloud"),
    475: ("显示主界面", "Show HarrierDriver"),
    476: ("退出", "Exit"),
    477: ("正在加载…", "Loading\u2026"),
    478: ("电量 %1", "Battery %1"),
    479: ("有线连接", "Connected by cable"),
    480: ("无线连接", "Connected wirelessly"),
    481: ("最小化", "Minimise"),
    482: ("关闭到托盘", "Close to tray"),

    # Support page.
    483: ("软件", "Software"),
    484: ("版本 %1", "Version %1"),
    485: ("检查更新", "Check for updates"),
    486: ("鼠标固件", "Mouse firmware"),
    487: ("版本 %1", "Version %1"),
    488: ("固件更新", "Update firmware"),
    489: ("无线接收器", "Wireless receiver"),
    490: ("将鼠标与接收器重新配对，例如更换接收器之后。", "Pair the mouse with its receiver again, for example after replacing the receiver."),
    491: ("配对", "Pair"),
    492: ("查看是否有新版本的 HarrierDriver。", "See whether a newer HarrierDriver is available."),
    493: ("更新或修复鼠标固件。更新期间请保持连接。", "Update or repair the mouse's firmware. Keep the mouse connected meanwhile."),

    # Firmware update view.
    494: ("选择要更新的型号", "Choose the model to update"),
    495: ("开始更新", "Start update"),
    496: ("关闭", "Close"),
    497: ("正在更新固件，请勿拔出鼠标…", "Updating the firmware \u2013 do not unplug the mouse\u2026"),
    498: ("找不到固件文件：%1", "No firmware file found: %1"),
    499: ("更新程序已启动，请按其提示操作。", "The updater has started; follow its steps."),
    500: ("无法启动更新程序：%1", "The updater could not be started: %1"),
    501: ("使用本机保存的固件", "Firmware stored on this computer"),
    502: ("使用下载的固件", "Downloaded firmware"),
    503: ("通过接收器连接鼠标后可用", "Available while the mouse is connected through its receiver"),

    # Main settings page.
    504: ("CPI 档位", "CPI levels"),
    505: ("USB报告率： ", "USB report rate: "),
    506: ("系统指针速度设置：", "Pointer speed:"),
    507: ("Slow", "Slow"),
    508: ("Fast", "Fast"),
    509: ("系统滚轮速度设置：", "Wheel scrolling:"),
    510: ("滚动滑轮一个齿轮格滚动：", "One notch of the wheel scrolls:"),
    511: ("一次按设置的行数滚动：", "This many lines:"),
    512: ("一次滚动一个屏幕", "One screen"),
    513: ("OLED显示", "Screen picture"),
    514: ("绘制鼠标屏幕上显示的图片", "Draw what the mouse's screen shows"),
    515: ("此桌面不允许程序更改指针速度，这里的设置只由本程序保存。",
          "This desktop does not let programs change the pointer speed; the value set here is only kept by HarrierDriver."),
    516: ("此桌面没有可供程序更改的滚轮设置。",
          "This desktop has no wheel scrolling setting that programs may change."),
    517: ("此鼠标的固件只能用厂商的 Windows 更新程序更新，无法在 Linux 上更新。",
          "This mouse's firmware is updated only by the vendor's updater for Windows, so it cannot be updated from Linux."),
    881: ("鼠标电量低", "Mouse battery low"),
    882: ("鼠标电量剩余 %1%，请尽快充电。", "%1% left in the mouse; charge it soon."),
    883: ("鼠标电量极低", "Mouse battery very low"),
    884: ("充电完成", "Charging finished"),
    885: ("鼠标已充满电。", "The mouse is fully charged."),
    886: ("固件已更新", "Firmware updated"),
    887: ("鼠标的固件已更新。", "The mouse's firmware was updated."),
    888: ("固件更新失败", "Firmware update failed"),
    889: ("鼠标的固件未能更新，请再试一次。", "The mouse's firmware could not be updated; try again."),
    890: ("桌面", "Desktop"),
    891: ("桌面通知", "Desktop notifications"),
    892: ("电量低、充电完成和固件更新结束时通知我。", "Tell me when the battery runs low, charging has finished or a firmware update ends."),
    893: ("登录桌面时在托盘中启动", "Start in the tray when I log in"),
    894: ("CPI 档位 %1", "CPI level %1"),
    895: ("提高 CPI 档位 %1", "Raise CPI level %1"),
    896: ("降低 CPI 档位 %1", "Lower CPI level %1"),
    897: ("预设颜色 %1（%2）", "Preset colour %1 (%2)"),
    898: ("色轮", "Colour wheel"),
    899: ("指针速度", "Pointer speed"),
    900: ("%1（接收器）", "%1 (receiver)"),
    901: ("%1（有线）", "%1 (cable)"),
    902: ("正在设置的鼠标", "Mouse being configured"),
    844: ("固件文件", "Firmware image"),
    845: ("选择…", "Choose\u2026"),
    846: ("请选择此型号的固件文件（.bin）。", "Choose the firmware image (.bin) for this model."),
    847: ("选择固件文件", "Choose the firmware image"),
    848: ("固件文件 (*.bin)", "Firmware images (*.bin)"),
    # Cloud page, account dialogs, usage statistics.
    425: ("上传完成，您的设置已保存到账户。", "Your settings were uploaded to your account."),
    426: ("下载完成，已使用账户中的设置。", "Your settings were downloaded from your account."),
    427: ("云同步失败。", "Cloud sync failed."),
    600: ("此电脑未设置云同步，不会发送任何数据。", "Cloud sync is not set up on this computer, so nothing is sent."),
    601: ("云服务地址不是 https，未使用：密码会以明文发送。", "The cloud service address is not https and is not used: your password would travel unprotected."),
    602: ("云服务地址无效。", "The cloud service address is not a valid address."),
    603: ("云服务没有及时响应，请稍后再试。", "The cloud service did not answer in time. Please try again later."),
    604: ("账户中还没有保存的设置。", "Nothing is stored in your account yet."),
    605: ("下载的设置无法保存到本机，本机设置未改变。", "The downloaded settings could not be saved on this computer. Your settings are unchanged."),
    606: ("下载的设置已损坏或不安全，未被使用。本机设置未改变。", "The downloaded settings were damaged or unsafe and were not used. Your settings are unchanged."),
    607: ("云同步", "Cloud sync"),
    608: ("将配置和宏保存到您的账户，并可在任何电脑上取回。", "Keep a copy of your configurations and macros in your account, and bring them back on any computer."),
    609: ("上传当前设置", "Upload current settings"),
    610: ("下载云端设置", "Download cloud settings"),
    611: ("已登录：%1", "Logged in as %1"),
    612: ("未登录", "Not logged in"),
    613: ("登录", "Log in"),
    614: ("退出登录", "Log out"),
    615: ("修改密码", "Change password"),
    616: ("正在上传…", "Uploading…"),
    617: ("正在下载…", "Downloading…"),
    618: ("连接鼠标后才能上传或下载它的设置。", "Connect a mouse to upload or download its settings."),
    619: ("发送匿名使用统计，帮助改进 HarrierDriver", "Send anonymous usage statistics to help improve HarrierDriver"),
    620: ("未配置统计地址，不会发送任何数据。", "No statistics address is configured, so nothing is sent."),
    630: ("账户", "Account"),
    631: ("电子邮箱", "E-mail"),
    632: ("密码", "Password"),
    633: ("登录", "Log in"),
    634: ("注册新账户", "Create an account"),
    635: ("忘记密码？", "Forgot your password?"),
    636: ("昵称", "Nickname"),
    637: ("再次输入密码", "Repeat the password"),
    638: ("注册", "Register"),
    639: ("返回登录", "Back to log in"),
    640: ("发送验证码", "Send code"),
    641: ("验证码", "Verification code"),
    642: ("验证", "Check code"),
    643: ("新密码", "New password"),
    644: ("设置新密码", "Set new password"),
    645: ("两次输入的密码不一致。", "The passwords do not match."),
    646: ("请填写所有栏目。", "Please fill in every field."),
    647: ("账户已创建，现在可以登录。", "Your account was created. You can log in now."),
    648: ("验证码已发送到您的邮箱。", "A verification code was sent to your e-mail."),
    649: ("验证码正确，请设置新密码。", "The code is correct. Choose a new password."),
    650: ("密码已修改。", "Your password was changed."),
    651: ("关闭", "Close"),
    652: ("请稍候…", "Please wait…"),
    # Mouse buttons on the settings page's picture, and the key dialog's title.
    700: ("左键", "Left"),
    701: ("右键", "Right"),
    702: ("中键", "Middle"),
    703: ("侧键 3", "Side button 3"),
    704: ("侧键 4", "Side button 4"),
    705: ("侧滚轮上", "Side wheel up"),
    706: ("侧滚轮下", "Side wheel down"),
    707: ("自定义1", "Custom 1"),
    708: ("自定义2", "Custom 2"),
    709: ("自定义键1", "Custom button 1"),
    710: ("自定义键2", "Custom button 2"),
    711: ("配置", "Profile"),
    712: ("配置键", "Profile button"),
    713: ("音量减键", "Volume \u2212"),
    714: ("音量加键", "Volume +"),
    715: ("出厂设置", "Factory setting"),

    # Lighting page.
    720: ("设置背光效果：", "Lighting effect:"),
    721: ("滚轮灯", "Wheel light"),
    722: ("Logo灯", "Logo light"),
    723: ("LOGO灯", "Logo light"),
    724: ("灯带", "Light strip"),
    725: ("关闭灯光", "Off"),
    726: ("灯光常亮", "Steady"),
    727: ("呼吸模式", "Breathing"),
    728: ("Apm呼吸模式", "APM breathing"),
    729: ("光谱循环", "Spectrum cycle"),
    730: ("幻彩模式", "Colourful (both zones)"),
    731: ("灯光常亮模式亮度", "Steady brightness"),
    732: ("呼吸模式速度", "Breathing speed"),
    733: ("低", "Low"),
    734: ("高", "High"),
    735: ("当前使用颜色：", "Current colour:"),
    736: ("预设灯光颜色：", "Preset colours:"),
    737: ("自定义灯光：", "Custom colour:"),
    738: ("选择在使用呼吸模式和灯光常亮效果时要使用的颜色：",
          "Choose the colour the breathing and steady modes use:"),
    739: ("红：", "Red:"),
    740: ("绿：", "Green:"),
    741: ("蓝：", "Blue:"),
    742: ("鼠标灯光", "Mouse light"),

    # Screen editor.
    750: ("画笔", "Brush"),
    751: ("文字", "Text"),
    752: ("橡皮擦", "Eraser"),
    753: ("撤销", "Undo"),
    754: ("切换背景", "Switch background"),
    755: ("大小", "Size"),
    756: ("添加图片", "Add picture"),
    757: ("CPI显示", "Show CPI"),
    758: ("用户APM显示", "Show APM"),
    759: ("关闭OLED", "Screen off"),
    760: ("屏幕亮度", "Screen brightness"),
    761: ("屏幕显示：", "The screen shows:"),
    762: ("无法读取此图片，未使用：%1", "This picture could not be read and was not used: %1"),
    763: ("图片未能保存，未发送到鼠标：%1", "The picture could not be saved and was not sent to the mouse: %1"),
    764: ("选择背景图片", "Choose a background picture"),
    765: ("图片", "Images"),
    766: ("画笔：按住左键绘制。文字：输入后再次点击“文字”，然后在画布上点击放置。",
          "Brush: hold the left button and draw. Text: type, click Text again, then click the canvas to set it down."),
    # Configuration export and import.
    800: ("导出此配置…", "Export this configuration…"),
    801: ("导入到此配置…", "Import into this configuration…"),
    802: ("鼠标配置 (*.hdconf)", "Mouse configurations (*.hdconf)"),
    803: ("配置已导出到 %1。", "The configuration was exported to %1."),
    804: ("配置已导入为配置 %1 并写入鼠标。", "The configuration was imported as configuration %1 and written into the mouse."),
    805: ("该文件不是鼠标配置，或已损坏、不完整。未做任何更改。",
          "This file is not a mouse configuration, or it is damaged or cut short. Nothing was changed."),
    806: ("该文件过大，不可能是鼠标配置。未做任何更改。",
          "This file is too large to be a mouse configuration. Nothing was changed."),
    807: ("该文件是 %1 的配置，不能导入到这只鼠标（%2）。未做任何更改。",
          "This file holds a configuration of a %1 mouse; it cannot go into this one (%2). Nothing was changed."),
    808: ("该文件中有超出范围的值（%1）。未做任何更改。",
          "The file holds a value out of range (%1). Nothing was changed."),
    809: ("无法读取文件：%1", "The file cannot be read: %1"),
    810: ("无法写入文件：%1", "The file could not be written: %1"),
    811: ("鼠标未接受该配置，原来的配置文件已恢复。",
          "The mouse did not take the configuration; the previous configuration files were put back."),
    812: ("配置 %1 还没有可导出的文件。", "Configuration %1 has no files to export yet."),
    813: ("没有连接鼠标。", "No mouse is connected."),
    814: ("导出配置 %1", "Export configuration %1"),
    815: ("导入到配置 %1", "Import into configuration %1"),
    816: ("文件夹 %1 不存在。未导出任何内容。", "The folder %1 does not exist. Nothing was exported."),
    817: ("无法读取 %1，未导出任何内容。", "%1 could not be read. Nothing was exported."),
    818: ("该配置的%1已损坏，未导出任何内容。", "The configuration's %1 is damaged. Nothing was exported."),
    830: ("将鼠标设置保存为配置 1", "Keep the mouse's settings as configuration 1"),
    850: ("组合键", "Key combination"),
    851: ("宏设置", "Macro"),
    852: ("基本功能", "Basic functions"),
    853: ("高级功能", "Advanced"),
    854: ("浏览", "Browse\u2026"),
    855: ("禁用按键", "Disable this button"),
    856: ("确定", "OK"),
    857: ("恢复默认", "Back to default"),
    858: ("播放声音", "Play a sound"),
    859: ("启动程序", "Start a program"),
    860: ("打开文件", "Open a file"),
    861: ("打开目录", "Open a folder"),
    862: ("新建", "New"),
    863: ("删除", "Delete"),
    865: ("忽略事件之间的延迟", "Ignore the delays between events"),
    866: ("按循环次数播放", "Play the number of times set above"),
    867: ("在按下键时播放", "Play while the button is held"),
    868: ("使用指派按键功能切换开/关连续播放", "Press the button to start, press again to stop"),
    869: ("修改/插入一个键", "Change or insert a key"),
    870: ("修改/插入一个延时", "Change or insert a delay"),
    871: ("修改/插入鼠标位置", "Change or insert a pointer position"),
    872: ("编辑：", "Edit:"),
    873: ("宏选择：", "Macros:"),
    874: ("事件列表：", "Events:"),
    875: ("录制鼠标按键：", "Record mouse buttons:"),
    876: ("循环次数：", "Repeat:"),
    877: ("灯光常亮模式亮度滑动条", "Steady light brightness"),
    878: ("呼吸模式速度滑动条", "Breathing speed"),
    879: ("点击此处或按回车键，然后按下按键", "Click here or press Enter, then press a key"),
    880: ("请按下按键…", "Press a key\u2026"),
    903: ("按 Esc 键也可停止录制；要在宏中加入 Esc，请用“修改/插入一个键”手动插入。",
          "Escape also stops the recording; to put Escape in a macro, insert it as a key by hand."),
    904: ("我的宏", "My macros"),
    905: ("请先选择或新建一个宏", "Choose a macro, or make one with New, first"),
    906: ("请先在列表中选择一个事件", "Choose an event in the list first"),
    907: ("本电脑上没有存储固件文件，请点击“选择文件”", "No firmware image is stored on this computer: choose one"),
    908: ("请先勾选要分配给此按键的宏", "Tick the macro to give this button first"),
    840: ("鼠标已连接，但当前用户没有权限打开它（%1）。请安装 udev 规则（见 README 的“Access to real mice”），然后重新插拔鼠标。",
          "The mouse is connected, but this user may not open it (%1). Install the udev rule (README, \u201cAccess to real mice\u201d) and plug the mouse in again."),
    841: ("鼠标已连接，但无法打开：%1", "The mouse is connected but cannot be opened: %1"),
    843: ("HarrierDriver 仍在托盘中运行。", "HarrierDriver keeps running in the tray."),
    842: ("已恢复出厂设置：鼠标和全部五个配置均已恢复，当前为配置 1。",
          "Factory settings are restored in the mouse and all five configurations; configuration 1 is selected."),
    831: ("将配置 1 写入鼠标", "Load configuration 1 into the mouse"),

}

# Translations of the other slots, index: text. Where a slot has no text of
# its own for an index, it takes the English one.
OWN = {slot: {} for slot in range(len(SLOTS))}

# The indexes of TEXTS in order, so each language below reads as one column.
_ORDER = [107, 108, 109, 110, 111, 112, 113, 114,
          123, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136,
          137, 138, 139, 140, 141, 142, 143, 176,
          192, 193, 194, 195, 196, 197, 198, 235, 238,
          291, 292, 293, 294, 295, 296, 342, 343]


def _column(slot, texts):
    assert len(texts) == len(_ORDER), (SLOTS[slot], len(texts))
    OWN[slot].update(zip(_ORDER, texts))


_column(2, [  # Korean
    "수신기를 컴퓨터에 연결하세요", "마우스 전원을 끄세요", "아래의 “페어링” 버튼을 클릭하세요", "페어링", "페어링 종료",
    "마우스 전원을 켜세요", "왼쪽, 가운데, 오른쪽 버튼을 동시에 누르세요", "페어링 종료",
    "기능", "창 닫기", "컴퓨터 잠금", "실행", "바탕 화면 보기", "확대", "축소", "찾기",
    "왼쪽 버튼", "오른쪽 버튼", "가운데 버튼", "앞으로", "뒤로",
    "미디어 플레이어", "볼륨 낮추기", "볼륨 높이기", "음소거", "CPI 전환", "연사 키", "매크로 전환", "녹화 시작",
    "프로필", "프로필 1", "프로필 2", "프로필 3", "프로필 4", "프로필 5", "공장 설정 복원", "재생/일시 정지", "프로필 순환",
    "사용 안 함", "매크로", "키: ", "새 매크로", "녹화 중…", "녹화 중지", "HarrierDriver가 이미 실행 중입니다.", "알림"])

_column(3, [  # Albanian
    "Lidhni marrësin me kompjuterin", "Fikni miun", "Klikoni butonin “Çifto” më poshtë", "Çifto", "Dil nga çiftimi",
    "Ndizni miun", "Shtypni njëkohësisht butonin e majtë, të mesit dhe të djathtë", "Dil nga çiftimi",
    "Funksioni", "Mbyll dritaren", "Kyç kompjuterin", "Ekzekuto", "Shfaq desktopin", "Zmadho", "Zvogëlo", "Gjej",
    "Butoni i majtë", "Butoni i djathtë", "Butoni i mesit", "Përpara", "Prapa",
    "Luajtësi i medias", "Ul volumin", "Ngri volumin", "Pa zë", "Ndërrim CPI", "Tasti i zjarrit", "Ndërrim makroje",
    "Fillo regjistrimin",
    "Konfigurimi", "Konfigurimi 1", "Konfigurimi 2", "Konfigurimi 3", "Konfigurimi 4", "Konfigurimi 5",
    "Rikthe cilësimet e fabrikës", "Luaj/Pauzë", "Kalo nëpër konfigurime",
    "Çaktivizuar", "Makro", "Tasti: ", "Makro e re", "Duke regjistruar…", "Ndalo regjistrimin",
    "HarrierDriver është tashmë në punë.", "Njoftim"])

_column(4, [  # German
    "Empfänger am Computer anschließen", "Maus ausschalten", "Unten auf „Koppeln“ klicken", "Koppeln", "Koppeln beenden",
    "Maus einschalten", "Linke, mittlere und rechte Taste gleichzeitig drücken", "Koppeln beenden",
    "Funktion", "Fenster schließen", "Computer sperren", "Ausführen", "Desktop anzeigen", "Vergrößern", "Verkleinern",
    "Suchen", "Linke Taste", "Rechte Taste", "Mittlere Taste", "Vorwärts", "Zurück",
    "Mediaplayer", "Leiser", "Lauter", "Stumm", "CPI-Umschaltung", "Feuertaste", "Makro wechseln", "Aufnahme starten",
    "Profil", "Profil 1", "Profil 2", "Profil 3", "Profil 4", "Profil 5", "Werkseinstellungen wiederherstellen",
    "Wiedergabe/Pause", "Profile durchschalten",
    "Deaktiviert", "Makro", "Taste: ", "Neues Makro", "Aufnahme läuft…", "Aufnahme beenden",
    "HarrierDriver läuft bereits.", "Hinweis"])

_column(6, [  # Italian
    "Collega il ricevitore al computer", "Spegni il mouse", "Fai clic sul pulsante “Associa” qui sotto", "Associa",
    "Esci dall'associazione", "Accendi il mouse", "Premi insieme i tasti sinistro, centrale e destro",
    "Esci dall'associazione",
    "Funzione", "Chiudi finestra", "Blocca computer", "Esegui", "Mostra desktop", "Ingrandisci", "Riduci", "Trova",
    "Tasto sinistro", "Tasto destro", "Tasto centrale", "Avanti", "Indietro",
    "Lettore multimediale", "Volume giù", "Volume su", "Muto", "Cambio CPI", "Tasto fuoco", "Cambio macro",
    "Avvia registrazione",
    "Profilo", "Profilo 1", "Profilo 2", "Profilo 3", "Profilo 4", "Profilo 5", "Ripristina impostazioni di fabbrica",
    "Riproduci/Pausa", "Scorri i profili",
    "Disattivato", "Macro", "Tasto: ", "Nuova macro", "Registrazione…", "Ferma registrazione",
    "HarrierDriver è già in esecuzione.", "Avviso"])

_column(7, [  # Spanish
    "Conecta el receptor al ordenador", "Apaga el ratón", "Haz clic en el botón «Emparejar» de abajo", "Emparejar",
    "Salir del emparejamiento", "Enciende el ratón", "Pulsa a la vez los botones izquierdo, central y derecho",
    "Salir del emparejamiento",
    "Función", "Cerrar ventana", "Bloquear equipo", "Ejecutar", "Mostrar escritorio", "Ampliar", "Reducir", "Buscar",
    "Botón izquierdo", "Botón derecho", "Botón central", "Adelante", "Atrás",
    "Reproductor multimedia", "Bajar volumen", "Subir volumen", "Silencio", "Cambio de CPI", "Tecla de disparo",
    "Cambiar macro", "Iniciar grabación",
    "Perfil", "Perfil 1", "Perfil 2", "Perfil 3", "Perfil 4", "Perfil 5", "Restaurar valores de fábrica",
    "Reproducir/Pausa", "Recorrer perfiles",
    "Desactivado", "Macro", "Tecla: ", "Nueva macro", "Grabando…", "Detener grabación",
    "HarrierDriver ya se está ejecutando.", "Aviso"])

_column(8, [  # Dutch
    "Sluit de ontvanger aan op de computer", "Zet de muis uit", "Klik hieronder op de knop ‘Koppelen’", "Koppelen",
    "Koppelen stoppen", "Zet de muis aan", "Druk tegelijk op de linker-, middelste en rechterknop", "Koppelen stoppen",
    "Functie", "Venster sluiten", "Computer vergrendelen", "Uitvoeren", "Bureaublad weergeven", "Inzoomen", "Uitzoomen",
    "Zoeken", "Linkerknop", "Rechterknop", "Middelste knop", "Vooruit", "Terug",
    "Mediaspeler", "Volume lager", "Volume hoger", "Dempen", "CPI wisselen", "Vuurknop", "Macro wisselen",
    "Opname starten",
    "Profiel", "Profiel 1", "Profiel 2", "Profiel 3", "Profiel 4", "Profiel 5", "Fabrieksinstellingen herstellen",
    "Afspelen/Pauze", "Profielen doorlopen",
    "Uitgeschakeld", "Macro", "Toets: ", "Nieuwe macro", "Bezig met opnemen…", "Opname stoppen",
    "HarrierDriver is al actief.", "Melding"])

_column(9, [  # Portuguese
    "Ligue o recetor ao computador", "Desligue o rato", "Clique no botão “Emparelhar” abaixo", "Emparelhar",
    "Sair do emparelhamento", "Ligue o rato", "Prima ao mesmo tempo os botões esquerdo, central e direito",
    "Sair do emparelhamento",
    "Função", "Fechar janela", "Bloquear computador", "Executar", "Mostrar ambiente de trabalho", "Ampliar", "Reduzir",
    "Procurar", "Botão esquerdo", "Botão direito", "Botão central", "Avançar", "Retroceder",
    "Leitor multimédia", "Diminuir volume", "Aumentar volume", "Sem som", "Mudança de CPI", "Tecla de disparo",
    "Mudar macro", "Iniciar gravação",
    "Perfil", "Perfil 1", "Perfil 2", "Perfil 3", "Perfil 4", "Perfil 5", "Repor definições de fábrica",
    "Reproduzir/Pausa", "Percorrer perfis",
    "Desativado", "Macro", "Tecla: ", "Nova macro", "A gravar…", "Parar gravação",
    "O HarrierDriver já está em execução.", "Aviso"])

_column(10, [  # Russian
    "Подключите приёмник к компьютеру", "Выключите мышь", "Нажмите кнопку «Сопряжение» ниже", "Сопряжение",
    "Выйти из сопряжения", "Включите мышь", "Одновременно нажмите левую, среднюю и правую кнопки",
    "Выйти из сопряжения",
    "Функция", "Закрыть окно", "Заблокировать компьютер", "Выполнить", "Показать рабочий стол", "Увеличить",
    "Уменьшить", "Найти", "Левая кнопка", "Правая кнопка", "Средняя кнопка", "Вперёд", "Назад",
    "Медиаплеер", "Тише", "Громче", "Без звука", "Переключение CPI", "Кнопка огня", "Смена макроса",
    "Начать запись",
    "Профиль", "Профиль 1", "Профиль 2", "Профиль 3", "Профиль 4", "Профиль 5", "Восстановить заводские настройки",
    "Воспроизведение/пауза", "Перебор профилей",
    "Отключено", "Макрос", "Клавиша: ", "Новый макрос", "Идёт запись…", "Остановить запись",
    "HarrierDriver уже запущен.", "Уведомление"])

_column(11, [  # Ukrainian
    "Під’єднайте приймач до комп’ютера", "Вимкніть мишу", "Натисніть кнопку «Спарювання» нижче", "Спарювання",
    "Вийти зі спарювання", "Увімкніть мишу", "Одночасно натисніть ліву, середню та праву кнопки",
    "Вийти зі спарювання",
    "Функція", "Закрити вікно", "Заблокувати комп’ютер", "Виконати", "Показати робочий стіл", "Збільшити",
    "Зменшити", "Знайти", "Ліва кнопка", "Права кнопка", "Середня кнопка", "Вперед", "Назад",
    "Медіаплеєр", "Тихіше", "Гучніше", "Без звуку", "Перемикання CPI", "Кнопка вогню", "Зміна макросу",
    "Почати запис",
    "Профіль", "Профіль 1", "Профіль 2", "Профіль 3", "Профіль 4", "Профіль 5", "Відновити заводські налаштування",
    "Відтворення/пауза", "Перебір профілів",
    "Вимкнено", "Макрос", "Клавіша: ", "Новий макрос", "Триває запис…", "Зупинити запис",
    "HarrierDriver уже запущено.", "Сповіщення"])


def build():
    for slot in OWN:
        assert set(OWN[slot]) <= set(TEXTS), (SLOTS[slot], set(OWN[slot]) - set(TEXTS))
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
