#include "platform/PointerSettings.h"

#include "platform/AppPaths.h"

#include <QDebug>
#include <QSettings>

namespace {

const char kSpeedKey[] = "PointerSpeed";

class KeptPointerSpeed : public PointerSpeedBackend
{
public:
    explicit KeptPointerSpeed(const QString &path) : m_path(path) { }

    bool reachesDesktop() const override { return false; }

    int speed() const override
    {
        QSettings settings(m_path, QSettings::IniFormat);
        bool ok = false;
        const int value = settings.value(QLatin1String(kSpeedKey)).toInt(&ok);
        // A missing or hand-edited value reads as the desktop's default.
        if (!ok || value < PointerSettings::MinSpeed || value > PointerSettings::MaxSpeed)
            return PointerSettings::DefaultSpeed;
        return value;
    }

    bool setSpeed(int speed) override
    {
        QSettings settings(m_path, QSettings::IniFormat);
        settings.setValue(QLatin1String(kSpeedKey), speed);
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            qWarning() << "PointerSettings cannot keep the pointer speed in" << m_path;
            return false;
        }
        return true;
    }

private:
    QString m_path;
};

PointerSettings *g_override = nullptr;

} // namespace

std::unique_ptr<PointerSpeedBackend> makeKeptPointerSpeed(const QString &iniPath)
{
    return std::make_unique<KeptPointerSpeed>(iniPath);
}

PointerSettings::PointerSettings(std::unique_ptr<PointerSpeedBackend> speed, std::unique_ptr<WheelLinesBackend> wheel)
    : m_speed(std::move(speed)), m_wheel(std::move(wheel))
{ }

PointerSettings::~PointerSettings() = default;

bool PointerSettings::speedReachesDesktop() const
{
    return m_speed->reachesDesktop();
}

int PointerSettings::pointerSpeed() const
{
    return m_speed->speed();
}

bool PointerSettings::setPointerSpeed(int speed)
{
    if (speed < MinSpeed || speed > MaxSpeed)
        return false;
    return m_speed->setSpeed(speed);
}

bool PointerSettings::hasWheelLines() const
{
    return m_wheel != nullptr;
}

bool PointerSettings::hasScreenPerNotch() const
{
    return m_wheel && m_wheel->hasScreenPerNotch();
}

int PointerSettings::wheelLines() const
{
    return m_wheel ? m_wheel->lines() : DefaultLines;
}

bool PointerSettings::setWheelLines(int lines)
{
    if (!m_wheel)
        return false;
    const bool valid = (lines >= MinLines && lines <= MaxLines) || (lines == ScreenPerNotch && hasScreenPerNotch());
    return valid && m_wheel->setLines(lines);
}

PointerSettings &PointerSettings::system()
{
    if (g_override)
        return *g_override;
    // Chosen once: the desktop does not change under a running session.
    static const std::unique_ptr<PointerSettings> desktop =
        forDesktop(qEnvironmentVariable("XDG_CURRENT_DESKTOP"), keptSpeedPath());
    return *desktop;
}

void PointerSettings::setSystem(PointerSettings *settings)
{
    g_override = settings;
}

QString PointerSettings::keptSpeedPath()
{
    return AppPaths::dataRoot() + QStringLiteral("/PointerSettings.ini");
}
