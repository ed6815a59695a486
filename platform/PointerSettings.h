#pragma once
#include <QString>
#include <memory>

// The desktop's pointer speed and wheel scrolling, as the settings page shows
// them: speed 1 (slow) to 20 (fast) with 10 the desktop's default; wheel
// lines per notch 1 to 30, or ScreenPerNotch. Each desktop keeps these in a
// place of its own; a backend per desktop is chosen at run time, and the
// page and the window see only PointerSettings.

// Where the pointer speed goes.
class PointerSpeedBackend
{
public:
    virtual ~PointerSpeedBackend() = default;
    // True when a change reaches the desktop; false when it is only kept here.
    virtual bool reachesDesktop() const = 0;
    // The speed 1..20; PointerSettings::DefaultSpeed when none can be read.
    virtual int speed() const = 0;
    // Stores a speed 1..20; false when it could not be stored.
    virtual bool setSpeed(int speed) = 0;
};

// Where the wheel's lines per notch go; only desktops with such a setting have one.
class WheelLinesBackend
{
public:
    virtual ~WheelLinesBackend() = default;
    // True when the desktop knows "one screen per notch".
    virtual bool hasScreenPerNotch() const = 0;
    // Lines per notch, or ScreenPerNotch; PointerSettings::DefaultLines when none can be read.
    virtual int lines() const = 0;
    // Stores lines per notch (already checked by PointerSettings); false when it could not be stored.
    virtual bool setLines(int lines) = 0;
};

class PointerSettings
{
public:
    static constexpr int MinSpeed = 1;
    static constexpr int MaxSpeed = 20;
    static constexpr int DefaultSpeed = 10;
    static constexpr int MinLines = 1;
    static constexpr int MaxLines = 30;
    static constexpr int DefaultLines = 3;
    static constexpr int ScreenPerNotch = -1;

    // wheel may be null: the desktop has no wheel setting programs may change.
    PointerSettings(std::unique_ptr<PointerSpeedBackend> speed, std::unique_ptr<WheelLinesBackend> wheel);
    ~PointerSettings();

    // False when the desktop does not let programs change the pointer speed:
    // the value is then only kept in our own settings.
    bool speedReachesDesktop() const;
    int pointerSpeed() const;
    // Applies a speed 1..20; a speed outside that range is refused (false).
    bool setPointerSpeed(int speed);

    bool hasWheelLines() const;
    bool hasScreenPerNotch() const;
    // Lines per notch or ScreenPerNotch; DefaultLines without a wheel setting.
    int wheelLines() const;
    // Applies 1..30 lines or ScreenPerNotch where the desktop knows it; other
    // values, and any value without a wheel setting, are refused (false).
    bool setWheelLines(int lines);

    // The settings of the desktop this session runs on, chosen at first use.
    static PointerSettings &system();
    // Replaces the session's settings (tests); null goes back to the desktop's.
    static void setSystem(PointerSettings *settings);

    // The backends for the desktops named as XDG_CURRENT_DESKTOP names them,
    // colon-separated ("GNOME", "ubuntu:GNOME", "KDE"); keptSpeedPath is our
    // own settings file, used where the desktop's speed cannot be reached.
    static std::unique_ptr<PointerSettings> forDesktop(const QString &desktops, const QString &keptSpeedPath);

    // Our own settings file for the kept pointer speed, below the data root.
    static QString keptSpeedPath();

private:
    std::unique_ptr<PointerSpeedBackend> m_speed;
    std::unique_ptr<WheelLinesBackend> m_wheel;
};

// The speed kept in an INI file of ours ("PointerSpeed"), reaching no desktop.
std::unique_ptr<PointerSpeedBackend> makeKeptPointerSpeed(const QString &iniPath);
