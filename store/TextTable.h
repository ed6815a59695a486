#pragma once
#include <QJsonArray>
#include <QLocale>
#include <QObject>
#include <QString>

// The user-interface texts of the chosen language: one process-wide array,
// looked up by index. The language file holds one array of strings per slot
// (twelve slots); start-up picks the slot of the system language.
namespace TextTable {
Q_NAMESPACE

// Every index the program looks up, named once here so no page writes a
// bare number. Each has a text in the Chinese (0) and English (1) slots of
// the shipped language file.
enum TextIndex : int {
    // Receiver pairing page, in the order of its labels and buttons.
    TextPairPlugInReceiver = 107,
    TextPairSwitchMouseOff = 108,
    TextPairClickPairButton = 109,
    TextPairStart = 110,
    TextPairLeave = 111,
    TextPairSwitchMouseOn = 112,
    TextPairPressThreeButtons = 113,
    TextPairLeaveWhileWaiting = 114,

    // Key setting dialog: status label of a button assigned a function.
    TextStatusFunction = 123,
    // Basic function list captions, also the names of built-in functions.
    TextFnCloseWindow = 125,
    TextFnLockComputer = 126,
    TextFnRun = 127,
    TextFnShowDesktop = 128,
    TextFnZoomIn = 129,
    TextFnZoomOut = 130,
    TextFnFind = 131,
    TextFnLeftButton = 132,
    TextFnRightButton = 133,
    TextFnMiddleButton = 134,
    TextFnForward = 135,
    TextFnBack = 136,
    TextFnMediaPlayer = 137,
    TextFnVolumeDown = 138,
    TextFnVolumeUp = 139,
    TextFnMute = 140,
    TextFnCpiShift = 141,
    TextFnFireKey = 142,
    TextFnMacroSwitch = 143,

    // Macro editor: the record button while stopped.
    TextMacroStartRecording = 176,

    // Profile buttons: usage event of configuration n is TextConfiguration + n.
    TextConfiguration = 192,
    TextConfiguration1 = 193,
    TextConfiguration2 = 194,
    TextConfiguration3 = 195,
    TextConfiguration4 = 196,
    TextConfiguration5 = 197,
    TextRestoreFactory = 198,

    TextFnPlayPause = 235,
    TextFnProfileCycle = 238,

    // Key setting dialog status label; macro editor.
    TextStatusDisabled = 291,
    TextStatusMacro = 292,
    TextStatusKey = 293,
    TextNewMacroName = 294,
    TextMacroRecording = 295,
    TextMacroStopRecording = 296,

    // Message box shown when a second copy of the program was started.
    TextAlreadyRunningMessage = 342,
    TextAlreadyRunningTitle = 343,

    // The dialog shown while no mouse is present.
    TextNoDeviceMessage = 360,
    TextNoDeviceQuit = 361,
    TextNoDeviceFirmwareRepair = 362,

    // Warning dialog: titles and buttons; the message of warning type n is
    // TextWarningMessage + n (types 0..54).
    TextWarningTitle = 400,
    TextWarningOk = 401,
    TextWarningCancel = 402,
    TextWarningUpdateNow = 403,
    TextWarningLater = 404,
    TextWarningNoLongerRemind = 405,
    TextWarningErrorTitle = 406,
    TextWarningFirmwareTitle = 407,
    TextWarningSoftwareTitle = 408,
    TextWarningUnknown = 409,          // "%1": the warning type
    TextWarningMessage = 410,

    // Main window: page buttons, tray menu, indicators, title bar.
    TextPageMainSetting = 470,
    TextPageLightSetting = 471,
    TextPageMacroEdit = 472,
    TextPageSupport = 473,
    TextPageCloudSync = 474,
    TextTrayShow = 475,
    TextTrayExit = 476,
    TextLoading = 477,
    TextBatteryTip = 478,              // "%1": the charge, "80%"
    TextWiredTip = 479,
    TextWirelessTip = 480,
    TextMinimiseTip = 481,
    TextCloseTip = 482,

    // Support page.
    TextSupportSoftwareTitle = 483,
    TextSupportSoftwareVersion = 484,  // "%1": the version
    TextSupportCheckUpdate = 485,
    TextSupportFirmwareTitle = 486,
    TextSupportFirmwareVersion = 487,  // "%1": the version, or "-"
    TextSupportFirmwareUpdate = 488,
    TextSupportPairTitle = 489,
    TextSupportPairText = 490,
    TextSupportPair = 491,
    TextSupportSoftwareText = 492,
    TextSupportFirmwareText = 493,

    // Firmware update view.
    TextUpdateChooseModel = 494,
    TextUpdateStart = 495,
    TextUpdateClose = 496,
    TextUpdateRunning = 497,
    TextUpdateNoFirmware = 498,        // "%1": the missing file
    TextUpdateUpdaterStarted = 499,
    TextUpdateUpdaterFailed = 500,     // "%1": the updater's path
    TextUpdateLocalSource = 501,
    TextUpdateCloudSource = 502,
    TextSupportPairUnavailable = 503,

    // Main settings page.
    TextMainCpiTitle = 504,
    TextMainReportRate = 505,
    TextMainPointerSpeed = 506,
    TextMainSlow = 507,
    TextMainFast = 508,
    TextMainWheelSpeed = 509,
    TextMainWheelPerNotch = 510,
    TextMainWheelLines = 511,
    TextMainWheelScreen = 512,
    TextMainScreenButton = 513,
    TextMainScreenText = 514,
    TextMainSpeedKeptOnly = 515,
    TextMainNoWheelSetting = 516,
    TextUpdateUpdaterWindowsOnly = 517,
    TextNotifyBatteryLowTitle = 881,
    TextNotifyBatteryBody = 882, // "%1": the percentage
    TextNotifyBatteryVeryLowTitle = 883,
    TextNotifyChargedTitle = 884,
    TextNotifyChargedBody = 885,
    TextNotifyFirmwareDoneTitle = 886,
    TextNotifyFirmwareDoneBody = 887,
    TextNotifyFirmwareFailedTitle = 888,
    TextNotifyFirmwareFailedBody = 889,
    TextDesktopCardTitle = 890,
    TextDesktopNotifications = 891,
    TextDesktopNotificationsHelp = 892,
    TextDesktopAutostart = 893,
    TextA11yCpiLevel = 894,      // "%1": the level, from 1
    TextA11yCpiRaise = 895,
    TextA11yCpiLower = 896,
    TextA11yPresetColour = 897,  // "%1": the preset's number, "%2": its red, green, blue
    TextA11yColourWheel = 898,
    TextA11yPointerSpeed = 899,
    TextChooserReceiver = 900, // "%1": the model
    TextChooserCable = 901,    // "%1": the model
    TextChooserName = 902,
    TextUpdateImage = 844,
    TextUpdateChooseImage = 845,
    TextUpdatePleaseChooseImage = 846,
    TextUpdateChooseImageTitle = 847,
    TextUpdateImageFilter = 848,
    // Lighting page: the zones, the modes, the sliders and the colour boxes.
    TextLightTitle = 720,
    TextLightZoneWheel = 721,
    TextLightZoneLogo = 722,
    TextLightZoneLogoFirst = 723,
    TextLightZoneStrip = 724,
    TextLightModeOff = 725,
    TextLightModeSteady = 726,
    TextLightModeBreathing = 727,
    TextLightModeApmBreathing = 728,
    TextLightModeSpectrum = 729,
    TextLightModeColourful = 730,
    TextLightBrightness = 731,
    TextLightBreathSpeed = 732,
    TextLightLow = 733,
    TextLightHigh = 734,
    TextLightCurrentColour = 735,
    TextLightPresets = 736,
    TextLightCustom = 737,
    TextLightColourHint = 738,
    TextLightRed = 739,
    TextLightGreen = 740,
    TextLightBlue = 741,
    TextLightSingleZone = 742,
    // Cloud page, account dialogs and usage statistics.
    TextCloudNotConfigured = 600,
    TextCloudNotHttps = 601,
    TextCloudInvalidAddress = 602,
    TextCloudTimedOut = 603,
    TextCloudNothingStored = 604,
    TextCloudWriteFailed = 605,
    TextCloudArchiveRefused = 606,
    TextCloudTitle = 607,
    TextCloudIntro = 608,
    TextCloudUpload = 609,
    TextCloudDownload = 610,
    TextCloudLoggedInAs = 611,
    TextCloudLoggedOut = 612,
    TextCloudLogIn = 613,
    TextCloudLogOut = 614,
    TextCloudChangePassword = 615,
    TextCloudUploading = 616,
    TextCloudDownloading = 617,
    TextCloudNeedsMouse = 618,
    TextAnalyticsConsent = 619,
    TextAnalyticsNoAddress = 620,
    TextLoginTitle = 630,
    TextLoginEmail = 631,
    TextLoginPassword = 632,
    TextLoginButton = 633,
    TextLoginRegisterLink = 634,
    TextLoginForgotLink = 635,
    TextRegisterNickname = 636,
    TextRegisterRepeat = 637,
    TextRegisterButton = 638,
    TextBackToLogin = 639,
    TextForgotSendCode = 640,
    TextForgotCode = 641,
    TextForgotCheckCode = 642,
    TextForgotNewPassword = 643,
    TextForgotSetPassword = 644,
    TextPasswordsDiffer = 645,
    TextFieldsMissing = 646,
    TextRegisterDone = 647,
    TextCodeSent = 648,
    TextCodeChecked = 649,
    TextPasswordChanged = 650,
    TextDialogClose = 651,
    TextPleaseWait = 652,

    // Mouse buttons: captions on the settings page's picture and key dialog titles.
    TextButtonLeft = 700,
    TextButtonRight = 701,
    TextButtonMiddle = 702,
    TextButtonSide3 = 703,
    TextButtonSide4 = 704,
    TextButtonSideWheelUp = 705,
    TextButtonSideWheelDown = 706,
    TextButtonCustom1 = 707,
    TextButtonCustom2 = 708,
    TextButtonCustomKey1 = 709,
    TextButtonCustomKey2 = 710,
    TextButtonProfile = 711,
    TextButtonProfileKey = 712,
    TextButtonVolumeDown = 713,
    TextButtonVolumeUp = 714,
    // The picture's label of a button that does what it did from the factory.
    TextButtonFactorySetting = 715,
    // Screen editor: tools, screen modes, brightness and its messages.
    TextDrawBrush = 750,
    TextDrawText = 751,
    TextDrawEraser = 752,
    TextDrawUndo = 753,
    TextDrawSwitchBackground = 754,
    TextDrawSize = 755,
    TextDrawAddPicture = 756,
    TextDrawShowCpi = 757,
    TextDrawShowApm = 758,
    TextDrawScreenOff = 759,
    TextDrawBrightness = 760,
    TextDrawScreenShows = 761,
    TextDrawPictureRefused = 762,      // "%1": the file's name
    TextDrawPictureNotSaved = 763,     // "%1": the picture file's path
    TextDrawChoosePicture = 764,
    TextDrawPictureFiles = 765,
    TextDrawHint = 766,

    // Configuration export and import.
    TextConfigExport = 800,
    TextConfigImport = 801,
    TextConfigFileFilter = 802,
    TextConfigExported = 803,        // "%1": the file
    TextConfigImported = 804,        // "%1": the configuration number
    TextConfigNotAPackage = 805,
    TextConfigTooLarge = 806,
    TextConfigOtherModel = 807,      // "%1": the file's model, "%2": the mouse's
    TextConfigBadValue = 808,        // "%1": what is out of range
    TextConfigUnreadable = 809,      // "%1": the file
    TextConfigWriteFailed = 810,     // "%1": the file
    TextConfigMouseRefused = 811,
    TextConfigNothingToExport = 812, // "%1": the configuration number
    TextConfigNoMouse = 813,
    TextConfigExportTitle = 814,     // "%1": the configuration number
    TextConfigImportTitle = 815,     // "%1": the configuration number
    TextConfigNoFolder = 816,        // "%1": the missing folder
    TextConfigExportUnreadable = 817, // "%1": the file that could not be read
    TextConfigExportDamaged = 818,   // "%1": the part of the configuration that is damaged

    // A mouse on the bus that cannot be opened ("%1": the system's words).
    TextCannotOpenPermission = 840,
    TextCannotOpen = 841,
    // Said when a factory reset is done.
    TextFactoryRestored = 842,
    // Said once when the window closes to the tray.
    TextKeepsRunningInTray = 843,

    // The key dialog, the macro page and the lighting sliders' names.
    TextKeyTabCombination = 850,
    TextKeyTabMacro = 851,
    TextKeyTabBasic = 852,
    TextKeyTabAdvanced = 853,
    TextKeyBrowse = 854,
    TextKeyDisable = 855,
    TextKeyOk = 856,
    TextKeyBackToDefault = 857,
    TextKeyPlaySound = 858,
    TextKeyStartProgram = 859,
    TextKeyOpenFile = 860,
    TextKeyOpenFolder = 861,
    TextMacroNew = 862,
    TextMacroDelete = 863,
    TextMacroIgnoreDelays = 865,
    TextMacroPlayCount = 866,
    TextMacroPlayWhileHeld = 867,
    TextMacroPlayToggle = 868,
    TextMacroEditKey = 869,
    TextMacroEditDelay = 870,
    TextMacroEditPosition = 871,
    TextMacroEditLabel = 872,
    TextMacroChoose = 873,
    TextMacroEvents = 874,
    TextMacroRecordButtons = 875,
    TextMacroRepeat = 876,
    TextLightBrightnessSlider = 877,
    TextLightBreathSlider = 878,
    TextKeyClickToCapture = 879,
    TextKeyPressAKey = 880,
    TextMacroEscapeStops = 903,
    TextMacroOwnGroup = 904,        // the folder of the user's own macros, as the page names it
    TextMacroChooseFirst = 905,     // why recording waits for a macro
    TextMacroChooseEventFirst = 906, // why inserting waits for an event
    TextUpdateNoStoredImage = 907,  // the firmware view's empty image field
    TextKeyTickAMacro = 908,        // OK on the key dialog's macro tab with none ticked

    // The two answers when the mouse matches no stored configuration.
    TextWarningKeepAsConfig1 = 830,
    TextWarningLoadConfig1 = 831,
};
Q_ENUM_NS(TextIndex)

// Slots of the language file.
constexpr int kSlotCount = 12;
constexpr int kChineseSlot = 0;
constexpr int kEnglishSlot = 1;

// The slot of a system language; a language without a slot of its own gets English.
int slotForLanguage(QLocale::Language language);

// The text at `index`; an index outside the table, or an entry that is not
// a string, gives an empty text.
QString text(int index);

// The text at `index` with its "%1" replaced by `value`; a text without
// "%1" (or an empty one, when the table lacks it) is returned as it is.
QString textWith(int index, const QString &value);

// Number of entries of the current table.
int size();

// Replaces the whole table (start-up and tests).
void setTable(const QJsonArray &table);

enum LoadResult {
    Loaded,     // the table is the slot's array
    NoArray,    // missing, unreadable, empty or malformed file: table emptied, "NoArray" logged
    NotAnArray, // the file holds a JSON value other than an array: table emptied
};

// Loads slot `slot` of the language file at `path` into the table. A slot
// the file lacks, or one that is not an array, gives an empty table.
LoadResult loadTextTable(const QString &path, int slot);

} // namespace TextTable
