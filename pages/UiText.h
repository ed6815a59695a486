#pragma once
#include <QString>

// Texts the main window and its dialogs show, by index into the text table.
namespace UiText {

enum Index : int {
    WarningTitle = 400,        // "Notice"
    WarningOk = 401,
    WarningCancel = 402,
    WarningUpdateNow = 403,
    WarningLater = 404,
    WarningNoLongerRemind = 405,
    WarningErrorTitle = 406,
    WarningFirmwareTitle = 407,
    WarningSoftwareTitle = 408,
    WarningUnknown = 409,      // "%1" is the warning type
    WarningMessageBase = 410,  // + warning type 0..54: the message of that warning
    PageMainSetting = 470,
    PageLightSetting = 471,
    PageMacroEdit = 472,
    PageSupport = 473,
    PageCloudSync = 474,
    TrayShow = 475,
    TrayExit = 476,
    LoadingText = 477,
    BatteryTip = 478,          // "%1" is the charge in percent
    WiredTip = 479,
    WirelessTip = 480,
    MinimiseTip = 481,
    CloseTip = 482,
    SupportSoftwareTitle = 483,
    SupportSoftwareVersion = 484, // "%1" is the version
    SupportCheckUpdate = 485,
    SupportFirmwareTitle = 486,
    SupportFirmwareVersion = 487, // "%1" is the version, or "-"
    SupportFirmwareUpdate = 488,
    SupportPairTitle = 489,
    SupportPairText = 490,
    SupportPair = 491,
    SupportSoftwareText = 492,
    SupportFirmwareText = 493,
    UpdateChooseModel = 494,
    UpdateStart = 495,
    UpdateClose = 496,
    UpdateRunning = 497,
    UpdateNoFirmware = 498,    // "%1" is the missing file
    UpdateUpdaterStarted = 499,
    UpdateUpdaterFailed = 500,
    UpdateLocalSource = 501,
    UpdateCloudSource = 502,
};

// The text at index; empty when the table has none.
QString text(int index);
// The text at index with its "%1" replaced by value; a text without one stays as it is.
QString textWith(int index, const QString &value);

} // namespace UiText
