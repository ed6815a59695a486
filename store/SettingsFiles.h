#pragma once
// The settings files beside the profiles, below the application folder,
// and the two INI files read directly: the update-prompt suppression and the
// launch functions of the buttons.
#include <QString>

namespace SettingsFiles {

QString systemIniPath();          // "/system/system.ini": account, button functions, launch targets
QString noLongerRemindIniPath();  // "/NoLongerRemind.ini"
QString highestFunctionIniPath(); // "/keysetting/HighestFunction.ini"
QString desktopIniPath();         // "/Desktop.ini": how the program lives on the desktop

// "Notifications": whether desktop notifications are shown; absent is true.
bool notificationsEnabled();
bool setNotificationsEnabled(bool enabled);

// "NotRemind": 1 = do not prompt automatically about a newer version; absent is 0.
int notRemind();
// False when the file may not be written or the value could not be saved.
bool setNotRemind(int value);

// The group of a button (4..17) in HighestFunction.ini; empty for buttons without one.
QString highestFunctionGroup(int button);
// True when button has a launch function ("state" non-zero); then function
// and path are written.
bool launchFunction(int button, int *function, QString *path);
// Stores a button's launch function; buttons without a group are ignored.
// False when nothing was stored.
bool setLaunchFunction(int button, int state, int function, const QString &path);

// Logging out forgets the account, button-function and launch-target settings.
void removeSystemIni();
// Restoring factory settings forgets the launch functions.
void removeHighestFunctionIni();

} // namespace SettingsFiles
