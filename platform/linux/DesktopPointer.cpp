#include "platform/linux/DesktopPointer.h"

#include "platform/SessionBus.h"

#include <QDBusMessage>
#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char kGnomeMouse[] = "org.gnome.desktop.peripherals.mouse";
const char kCinnamonMouse[] = "org.cinnamon.desktop.peripherals.mouse";

// Which settings each desktop keeps, by its XDG_CURRENT_DESKTOP name. A
// desktop not listed, or one whose schema is not installed, keeps the speed
// in our own file and has no wheel setting.
struct DesktopRow
{
    const char *name;
    const char *speedSchema; // null: the desktop's speed cannot be reached
    bool kdeWheelLines;
};

const DesktopRow kDesktops[] = {
    {"GNOME", kGnomeMouse, false},  {"GNOME-Flashback", kGnomeMouse, false}, {"Unity", kGnomeMouse, false},
    {"Budgie", kGnomeMouse, false}, {"Pantheon", kGnomeMouse, false},        {"X-Cinnamon", kCinnamonMouse, false},
    {"KDE", nullptr, true},
};

// kdeglobals is ours to edit only in this one line; anything larger than
// this is not a settings file.
constexpr qint64 kMaxKdeglobalsBytes = 1024 * 1024;
const QRegularExpression &wheelLine()
{
    static const QRegularExpression re(QStringLiteral("^\\s*WheelScrollLines\\s*(\\[[^\\]]*\\])?\\s*=\\s*(.*)$"));
    return re;
}

bool isGroupHeader(const QString &line)
{
    return line.trimmed().startsWith(QLatin1Char('['));
}

class KdeWheelLines : public WheelLinesBackend
{
public:
    explicit KdeWheelLines(const QString &path) : m_path(path) { }

    bool hasScreenPerNotch() const override { return false; }

    int lines() const override
    {
        const QStringList text = readLines();
        const int at = findKey(text, groupAt(text));
        if (at < 0)
            return PointerSettings::DefaultLines;
        bool ok = false;
        const int value = wheelLine().match(text.at(at)).captured(2).trimmed().toInt(&ok);
        if (!ok || value < PointerSettings::MinLines)
            return PointerSettings::DefaultLines;
        return std::min(value, int(PointerSettings::MaxLines));
    }

    bool setLines(int lines) override
    {
        QStringList text = readLines();
        const QString entry = QStringLiteral("WheelScrollLines=%1").arg(lines);
        const int group = groupAt(text);
        const int at = findKey(text, group);
        if (at >= 0) {
            text[at] = entry;
        } else if (group >= 0) {
            text.insert(group + 1, entry);
        } else {
            if (!text.isEmpty() && !text.last().isEmpty())
                text << QString();
            text << QStringLiteral("[KDE]") << entry;
        }
        QString joined = text.join(QLatin1Char('\n'));
        if (!joined.endsWith(QLatin1Char('\n')))
            joined += QLatin1Char('\n');

        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(joined.toUtf8()) < 0 || !file.commit()) {
            qWarning() << "KDE wheel lines: cannot write" << m_path << file.errorString();
            return false;
        }
        notifyRunningPrograms();
        return true;
    }

private:
    QStringList readLines() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxKdeglobalsBytes)
            return {};
        QStringList text = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!text.isEmpty() && text.last().isEmpty())
            text.removeLast();
        return text;
    }

    // The line of the [KDE] header; -1 when the file has none.
    static int groupAt(const QStringList &text)
    {
        for (int i = 0; i < text.size(); ++i)
            if (text.at(i).trimmed() == QLatin1String("[KDE]"))
                return i;
        return -1;
    }

    // The WheelScrollLines line inside the group starting at `group`; -1 when none.
    static int findKey(const QStringList &text, int group)
    {
        if (group < 0)
            return -1;
        for (int i = group + 1; i < text.size() && !isGroupHeader(text.at(i)); ++i)
            if (wheelLine().match(text.at(i)).hasMatch())
                return i;
        return -1;
    }

    // Plasma's programs reread their mouse settings when told so on the session bus.
    static void notifyRunningPrograms()
    {
        QDBusMessage message =
            QDBusMessage::createSignal(QStringLiteral("/KGlobalSettings"), QStringLiteral("org.kde.KGlobalSettings"),
                                       QStringLiteral("notifyChange"));
        const int settingsChanged = 3;
        const int mouseSettings = 0;
        message << settingsChanged << mouseSettings;
        SessionBus::send(message);
    }

    QString m_path;
};

} // namespace

namespace DesktopPointer {

std::unique_ptr<WheelLinesBackend> makeKdeWheelLines(const QString &kdeglobalsPath)
{
    return std::make_unique<KdeWheelLines>(kdeglobalsPath);
}

QString kdeglobalsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kdeglobals");
}

} // namespace DesktopPointer

std::unique_ptr<PointerSettings> PointerSettings::forDesktop(const QString &desktops, const QString &keptSpeedPath)
{
    std::unique_ptr<PointerSpeedBackend> speed;
    std::unique_ptr<WheelLinesBackend> wheel;
    const QStringList names = desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const DesktopRow &row : kDesktops) {
        if (!names.contains(QLatin1String(row.name), Qt::CaseInsensitive))
            continue;
        if (row.speedSchema && !speed)
            speed = DesktopPointer::makeGSettingsSpeed(row.speedSchema);
        if (row.kdeWheelLines && !wheel)
            wheel = DesktopPointer::makeKdeWheelLines(DesktopPointer::kdeglobalsPath());
    }
    if (!speed)
        speed = makeKeptPointerSpeed(keptSpeedPath);
    qDebug() << "PointerSettings for" << desktops << (speed->reachesDesktop() ? "desktop speed" : "kept speed")
             << (wheel ? "desktop wheel lines" : "no wheel lines");
    return std::make_unique<PointerSettings>(std::move(speed), std::move(wheel));
}
