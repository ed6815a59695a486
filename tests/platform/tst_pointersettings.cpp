// The desktop's pointer speed and wheel lines: the mapping onto GSettings'
// speed, the real GSettings (memory backend, never the user's dconf), KDE's
// kdeglobals in a temporary config folder, and the speed kept in our own file.
#include <gio/gio.h>

#include "platform/PointerSettings.h"
#include "platform/linux/DesktopPointer.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

const char kGnomeMouse[] = "org.gnome.desktop.peripherals.mouse";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// What GSettings itself holds, read past our backend.
double gnomeSpeed()
{
    GSettings *settings = g_settings_new(kGnomeMouse);
    const double value = g_settings_get_double(settings, "speed");
    g_object_unref(settings);
    return value;
}

void setGnomeSpeed(double value)
{
    GSettings *settings = g_settings_new(kGnomeMouse);
    g_settings_set_double(settings, "speed", value);
    g_object_unref(settings);
}

} // namespace

class TestPointerSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(qgetenv("GSETTINGS_BACKEND") == "memory");
    }

    void speedMapsOntoGSettings_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("gsettings");
        QTest::newRow("slowest") << 1 << -1.0;
        QTest::newRow("one step slower") << 9 << -1.0 / 9;
        QTest::newRow("default") << 10 << 0.0;
        QTest::newRow("one step faster") << 11 << 0.1;
        QTest::newRow("fastest") << 20 << 1.0;
    }

    void speedMapsOntoGSettings()
    {
        QFETCH(int, speed);
        QFETCH(double, gsettings);
        QVERIFY(std::abs(DesktopPointer::speedToGSettings(speed) - gsettings) < 1e-9);
        QCOMPARE(DesktopPointer::speedFromGSettings(gsettings), speed);
    }

    void everySpeedComesBackAsItself()
    {
        for (int speed = PointerSettings::MinSpeed; speed <= PointerSettings::MaxSpeed; ++speed)
            QCOMPARE(DesktopPointer::speedFromGSettings(DesktopPointer::speedToGSettings(speed)), speed);
    }

    void speedsSetElsewhereReadSensibly_data()
    {
        QTest::addColumn<double>("gsettings");
        QTest::addColumn<int>("speed");
        QTest::newRow("between two steps") << 0.26 << 13;
        QTest::newRow("below the range") << -3.0 << 1;
        QTest::newRow("above the range") << 7.5 << 20;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 10;
    }

    void speedsSetElsewhereReadSensibly()
    {
        QFETCH(double, gsettings);
        QFETCH(int, speed);
        QCOMPARE(DesktopPointer::speedFromGSettings(gsettings), speed);
    }

    void gnomeSpeedRoundTripsThroughGSettings()
    {
        std::unique_ptr<PointerSettings> gnome = PointerSettings::forDesktop(QStringLiteral("ubuntu:GNOME"), QString());
        QVERIFY(gnome->speedReachesDesktop());
        QVERIFY(!gnome->hasWheelLines());
        const struct
        {
            int speed;
            double stored;
        } cases[] = {{1, -1.0}, {10, 0.0}, {20, 1.0}, {4, -2.0 / 3}};
        for (const auto &c : cases) {
            QVERIFY(gnome->setPointerSpeed(c.speed));
            QVERIFY(std::abs(gnomeSpeed() - c.stored) < 1e-9);
            QCOMPARE(gnome->pointerSpeed(), c.speed);
        }
        // A change made in the desktop's own settings is what the program reads.
        setGnomeSpeed(0.5);
        QCOMPARE(gnome->pointerSpeed(), 15);
        // Out of range is refused and leaves the desktop's value alone.
        QVERIFY(!gnome->setPointerSpeed(0));
        QVERIFY(!gnome->setPointerSpeed(21));
        QCOMPARE(gnomeSpeed(), 0.5);
    }

    void missingSchemaGivesNoBackend()
    {
        QVERIFY(!DesktopPointer::makeGSettingsSpeed("org.example.no.such.schema"));
        // A schema without a double "speed" key is not one to write to.
        QVERIFY(!DesktopPointer::makeGSettingsSpeed("org.gnome.desktop.interface"));
    }

    void desktopsChooseTheirBackends_data()
    {
        QTest::addColumn<QString>("desktops");
        QTest::addColumn<bool>("speedReachesDesktop");
        QTest::addColumn<bool>("wheelLines");
        QTest::newRow("GNOME") << "GNOME" << true << false;
        QTest::newRow("Ubuntu's GNOME") << "ubuntu:GNOME" << true << false;
        QTest::newRow("Budgie, named in lower case") << "budgie" << true << false;
        QTest::newRow("KDE Plasma") << "KDE" << false << true;
        QTest::newRow("no desktop named") << "" << false << false;
        QTest::newRow("a desktop we do not know") << "XFCE" << false << false;
    }

    void desktopsChooseTheirBackends()
    {
        QFETCH(QString, desktops);
        QFETCH(bool, speedReachesDesktop);
        QFETCH(bool, wheelLines);
        QTemporaryDir dir;
        std::unique_ptr<PointerSettings> settings =
            PointerSettings::forDesktop(desktops, dir.filePath(QStringLiteral("PointerSettings.ini")));
        QCOMPARE(settings->speedReachesDesktop(), speedReachesDesktop);
        QCOMPARE(settings->hasWheelLines(), wheelLines);
        QVERIFY(!settings->hasScreenPerNotch());
    }

    void keptSpeedSurvivesARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("PointerSettings.ini"));
        {
            PointerSettings first(makeKeptPointerSpeed(path), nullptr);
            QCOMPARE(first.pointerSpeed(), PointerSettings::DefaultSpeed);
            QVERIFY(first.setPointerSpeed(7));
            QVERIFY(!first.setPointerSpeed(25));
        }
        PointerSettings second(makeKeptPointerSpeed(path), nullptr);
        QVERIFY(!second.speedReachesDesktop());
        QCOMPARE(second.pointerSpeed(), 7);
    }

    void damagedKeptSpeedReadsAsTheDefault_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a number") << QByteArray("[General]\nPointerSpeed=fast\n");
        QTest::newRow("out of range") << QByteArray("[General]\nPointerSpeed=99\n");
        QTest::newRow("not an INI file") << QByteArray("\x00\x01\xff garbage", 12);
    }

    void damagedKeptSpeedReadsAsTheDefault()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("PointerSettings.ini"));
        writeFile(path, content);
        PointerSettings kept(makeKeptPointerSpeed(path), nullptr);
        QCOMPARE(kept.pointerSpeed(), PointerSettings::DefaultSpeed);
    }

    void withoutWheelSettingNothingIsApplied()
    {
        QTemporaryDir dir;
        PointerSettings kept(makeKeptPointerSpeed(dir.filePath(QStringLiteral("p.ini"))), nullptr);
        QCOMPARE(kept.wheelLines(), PointerSettings::DefaultLines);
        QVERIFY(!kept.setWheelLines(5));
        QVERIFY(!kept.setWheelLines(PointerSettings::ScreenPerNotch));
    }

    void kdeWheelLinesEditOnlyTheirLine_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("linesBefore");
        QTest::addColumn<QByteArray>("after");
        const QByteArray others = "[General]\nColorScheme=BreezeDark\nfont=Noto Sans,10,-1,5,50,0,0,0,0,0\n\n";
        QTest::newRow("no file") << QByteArray() << 3 << QByteArray("[KDE]\nWheelScrollLines=7\n");
        QTest::newRow("no [KDE] group") << others << 3 << (others + "[KDE]\nWheelScrollLines=7\n");
        QTest::newRow("group without the key")
            << (others + "[KDE]\nLookAndFeelPackage=org.kde.breezedark.desktop\n") << 3
            << (others + "[KDE]\nWheelScrollLines=7\nLookAndFeelPackage=org.kde.breezedark.desktop\n");
        QTest::newRow("key present, groups after it")
            << (others + "[KDE]\nSingleClick=false\nWheelScrollLines=12\n\n[WM]\nactiveBlend=#ffffff\n") << 12
            << (others + "[KDE]\nSingleClick=false\nWheelScrollLines=7\n\n[WM]\nactiveBlend=#ffffff\n");
        QTest::newRow("the same key in another group is not ours")
            << QByteArray("[Other]\nWheelScrollLines=9\n[KDE]\nWheelScrollLines = 4\n") << 4
            << QByteArray("[Other]\nWheelScrollLines=9\n[KDE]\nWheelScrollLines=7\n");
        QTest::newRow("a value that is no number reads as the default")
            << QByteArray("[KDE]\nWheelScrollLines=lots\n") << 3 << QByteArray("[KDE]\nWheelScrollLines=7\n");
    }

    void kdeWheelLinesEditOnlyTheirLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, linesBefore);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kdeglobals"));
        if (!before.isEmpty())
            writeFile(path, before);
        PointerSettings kde(makeKeptPointerSpeed(dir.filePath(QStringLiteral("p.ini"))),
                            DesktopPointer::makeKdeWheelLines(path));
        QCOMPARE(kde.wheelLines(), linesBefore);
        QVERIFY(kde.setWheelLines(7));
        QCOMPARE(readFile(path), after);
        QCOMPARE(kde.wheelLines(), 7);
        // Plasma has no "one screen per notch"; lines outside 1..30 are refused.
        for (int refused : {PointerSettings::ScreenPerNotch, 0, 31})
            QVERIFY(!kde.setWheelLines(refused));
        QCOMPARE(readFile(path), after);
    }
};

int main(int argc, char *argv[])
{
    // Before GIO is first used: the tests must never touch the user's own settings.
    qputenv("GSETTINGS_BACKEND", "memory");
    QCoreApplication app(argc, argv);
    TestPointerSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pointersettings.moc"
