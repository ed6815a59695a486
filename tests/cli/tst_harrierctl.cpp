// harrierctl in-process against emulated mice of each family: every command,
// its effect found in the mouse (its memory, and a second command reading
// it back from the mouse), the JSON parsed back, and every failure's message
// and exit code.
#include "cli/HarrierCtl.h"

#include "model/ProductTable.h"
#include "emulator/EmulatedBackend.h"
#include "emulator/EmulatedCatalog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/osprey/EmulatedOspreyMouse.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"
#include "store/JsonHandle.h"
#include "store/TextTable.h"
#include "support/MacroNodes.h"
#include "support/TempAppFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QTemporaryDir>
#include "platform/Autostart.h"
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace HarrierCtl;

namespace {

// A first-family mouse's bank 1: the CPI table (16-bit codes, CPI / 50 on a
// Kestrel), the word whose byte 2 holds the level count less one, the report
// interval in milliseconds.
constexpr quint32 kKestrelCpiTable = 1024 + 1160;
constexpr quint32 kKestrelLevelCountWord = 2196;
constexpr quint32 kKestrelReportInterval = 1024 + 1152;
// A second- or third-family profile: the CPI codes and the report-rate index.
constexpr int kOspreyCpiCodes = 300;
constexpr int kOspreyReportRate = 242;

struct Result
{
    int code = -1;
    QString out;
    QString err;
    QJsonValue json() const
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(out.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            qWarning() << "not JSON:" << out;
        return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
    }
};

QJsonObject buttonOf(const QJsonObject &shown, int number)
{
    for (const QJsonValue &b : shown.value(QStringLiteral("buttons")).toArray())
        if (b.toObject().value(QStringLiteral("button")).toInt() == number)
            return b.toObject();
    return {};
}

} // namespace

class TestHarrierCtl : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    EmulatedBackend m_bus;
    std::unique_ptr<TempAppFolder> m_folder;
    EmulatedDevices m_devices;
    QVector<int> m_ids;

    Result ctl(const QStringList &arguments)
    {
        Result r;
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        r.code = run(arguments, out, err);
        return r;
    }

    // Plugs what an --emulate name stands for; the first device is the mouse (or its receiver).
    void plug(const QString &name)
    {
        QString error;
        QVERIFY2(EmulatedCatalog::create(name, &m_devices, &error), qPrintable(error));
        for (const auto &d : qAsConst(m_devices))
            m_ids << m_bus.plug(d);
    }

    std::shared_ptr<EmulatedKestrelMouse> kestrel() const
    {
        for (const auto &d : m_devices)
            if (auto m = std::dynamic_pointer_cast<EmulatedKestrelMouse>(d))
                return m;
        return nullptr;
    }
    std::shared_ptr<EmulatedOspreyMouse> osprey() const
    {
        return m_devices.isEmpty() ? nullptr : std::dynamic_pointer_cast<EmulatedOspreyMouse>(m_devices.first());
    }

    // The first `n` CPI codes the mouse holds, and its report-rate byte, read from its memory.
    QByteArray cpiCodesInMouse(int n) const
    {
        if (auto m = kestrel()) {
            QByteArray codes;
            for (int i = 0; i < n; ++i)
                codes += m->memory(kKestrelCpiTable + 2 * i, 1);
            return codes;
        }
        return osprey()->profile().mid(kOspreyCpiCodes, n);
    }
    int rateInMouse() const
    {
        if (auto m = kestrel())
            return quint8(m->memory(kKestrelReportInterval, 1).at(0));
        return quint8(osprey()->profile().at(kOspreyReportRate));
    }

    QJsonObject show()
    {
        const Result r = ctl({QStringLiteral("show"), QStringLiteral("--json")});
        [&] { QCOMPARE(r.code, int(ExitOk)); }();
        return r.json().toObject();
    }

private slots:
    void initTestCase()
    {
        // A runtime folder of our own: no running HarrierDriver is seen, and the test takes the lock itself.
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        DeviceClock::setVirtual(true);
        Hid::setBackend(&m_bus);
    }

    void cleanupTestCase() { Hid::setBackend(nullptr); }

    void init() { m_folder = std::make_unique<TempAppFolder>(); }

    void cleanup()
    {
        m_bus.unplugAll();
        m_devices.clear();
        m_ids.clear();
        m_folder.reset();
    }

    void listAndShow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QStringList>("zones");
        QTest::addColumn<int>("levels");
        QTest::newRow("kestrel by cable") << "kestrel" << "cable" << QStringList{"main"} << 7;
        QTest::newRow("merlin through its receiver") << "merlin-receiver" << "receiver" << QStringList{"main"} << 5;
        QTest::newRow("harrier") << "harrier" << "cable" << QStringList{"main", "wheel"} << 7;
        QTest::newRow("wren") << "wren" << "cable" << QStringList{"main", "wheel"} << 5;
    }

    void listAndShow()
    {
        QFETCH(QString, name);
        QFETCH(QString, connection);
        QFETCH(QStringList, zones);
        QFETCH(int, levels);
        const QString model = name.section(QLatin1Char('-'), 0, 0);
        plug(name);

        const Result list = ctl({QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(list.code, int(ExitOk));
        const QJsonArray mice = list.json().toArray();
        QCOMPARE(mice.size(), 1);
        const QJsonObject listed = mice.first().toObject();
        QCOMPARE(listed.value(QStringLiteral("model")).toString(), model);
        QCOMPARE(listed.value(QStringLiteral("connection")).toString(), connection);
        QVERIFY(listed.value(QStringLiteral("opened")).toBool());
        // Only a mouse without its cable has a battery to tell.
        QCOMPARE(listed.value(QStringLiteral("battery")).isDouble(), connection == QLatin1String("receiver"));

        const QJsonObject shown = show();
        QCOMPARE(shown.value(QStringLiteral("model")).toString(), model);
        QCOMPARE(shown.value(QStringLiteral("connection")).toString(), connection);
        QCOMPARE(shown.value(QStringLiteral("firmware")), listed.value(QStringLiteral("firmware")));
        QCOMPARE(shown.value(QStringLiteral("configuration")).toInt(), 1); // a fresh mouse holds the factory one
        QCOMPARE(shown.value(QStringLiteral("cpi")).toArray().size(), levels);
        QCOMPARE(shown.value(QStringLiteral("reportRate")).toInt(), 1000);
        QCOMPARE(shown.value(QStringLiteral("light")).toObject().keys(), zones);
        QCOMPARE(buttonOf(shown, 1).value(QStringLiteral("assignment")).toString(), QStringLiteral("default"));

        // The text form says the same.
        const Result text = ctl({QStringLiteral("show")});
        QCOMPARE(text.code, int(ExitOk));
        QVERIFY2(text.out.contains(QStringLiteral("Mouse:         %1 (%2)").arg(model, connection)), qPrintable(text.out));
        QVERIFY(text.out.contains(QStringLiteral("Report rate:   1000 Hz")));
        QVERIFY(ctl({QStringLiteral("list")}).out.startsWith(model));
    }

    // Every byte a mouse holds, and its receiver's pairing state.
    QByteArray stateOfEveryMouse() const
    {
        QByteArray state;
        for (const auto &d : m_devices) {
            if (auto k = std::dynamic_pointer_cast<EmulatedKestrelMouse>(d))
                state += k->memory(0, EmulatedKestrelMouse::kMemorySize) + char(k->bank());
            if (auto r = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(d))
                state += QByteArray::number(r->pairedPid()) + char(r->workMode());
            if (auto o = std::dynamic_pointer_cast<EmulatedOspreyMouse>(d)) {
                state += o->profile() + o->screenBlock();
                for (int slot = 0; slot < EmulatedOspreyMouse::kMacroSlots; ++slot)
                    state += o->macroBlock(quint8(0x8C + 4 * slot));
            }
        }
        return state;
    }

    // list tells model, connection, firmware and battery of every mouse on
    // the bus and leaves each one byte for byte as it was, even where an
    // open for the window would write (the Wren's starting CPI level).
    void listWritesNothing()
    {
        for (const char *name : {"kestrel", "merlin-receiver", "harrier", "wren"})
            plug(QLatin1String(name));
        for (const auto &d : qAsConst(m_devices))
            if (auto o = std::dynamic_pointer_cast<EmulatedOspreyMouse>(d))
                o->changeSetting(247, 0); // CPI level 1: not where a Wren or Harrier starts
        const QByteArray before = stateOfEveryMouse();
        const Result list = ctl({QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(list.code, int(ExitOk));
        const QJsonArray mice = list.json().toArray();
        QCOMPARE(mice.size(), 4);
        for (const QJsonValue &m : mice) {
            QVERIFY(m.toObject().value(QStringLiteral("opened")).toBool());
            QVERIFY(m.toObject().value(QStringLiteral("firmware")).toString() != QLatin1String("-"));
        }
        QVERIFY(stateOfEveryMouse() == before);
        for (const auto &d : qAsConst(m_devices))
            if (auto o = std::dynamic_pointer_cast<EmulatedOspreyMouse>(d))
                for (const QByteArray &report : o->reportsSet())
                    QVERIFY2(report.size() < 2 || quint8(report.at(1)) != 0x03, "a profile write was sent");
    }

    // autostart on writes an entry that starts the window hidden (its path
    // quoted as the desktop entry format wants), off removes it; both say
    // where it stands, and a wrong word is refused.
    void autostartEntry()
    {
        // The test mode's configuration folder (~/.qttest/config), not the user's.
        QVERIFY(QStandardPaths::isTestModeEnabled());
        const QString entry = Autostart::entryPath();
        QVERIFY(entry.endsWith(QStringLiteral("/autostart/org.harrierdriver.harrierdriver.desktop")));
        QFile::remove(entry);

        Result r = ctl({QStringLiteral("autostart"), QStringLiteral("on")});
        QCOMPARE(r.code, int(ExitOk));
        QVERIFY(r.out.startsWith(QStringLiteral("autostart: on")));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        file.close();
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\nExec=\"[^\n]*\" --hidden\n"))), qPrintable(text));
        if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
            QProcess validate;
            validate.start(QStringLiteral("desktop-file-validate"), {entry});
            QVERIFY(validate.waitForFinished());
            QVERIFY2(validate.exitCode() == 0 && validate.readAll().isEmpty(), "the entry does not validate");
        }
        QCOMPARE(ctl({QStringLiteral("autostart")}).out, QStringLiteral("autostart: on (%1)\n").arg(entry));

        QCOMPARE(ctl({QStringLiteral("autostart"), QStringLiteral("off")}).out, QStringLiteral("autostart: off\n"));
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(ctl({QStringLiteral("autostart"), QStringLiteral("maybe")}).code, int(ExitBadArguments));

        // A program path with a space and a quote stays one argument.
        QVERIFY(Autostart::setEnabled(true, QStringLiteral("/opt/my mice/Harrier\"Driver")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Exec=\"/opt/my mice/Harrier\\\\\"Driver\" --hidden")));
        file.close();
        QVERIFY(Autostart::setEnabled(false, QString()));
        QVERIFY(!Autostart::isEnabled());

        // A line break would start a second Exec line: refused, with the reason, and nothing written.
        for (const char *path : {"/opt/mice\nExec=evil/HarrierDriver", "/opt/mice\r/HarrierDriver", "/opt/\tmice/HarrierDriver"}) {
            QString why;
            QVERIFY(!Autostart::setEnabled(true, QString::fromUtf8(path), &why));
            QVERIFY2(why.contains(QStringLiteral("line break")), qPrintable(why));
            QVERIFY(!QFile::exists(entry));
        }
    }

    std::shared_ptr<EmulatedKestrelReceiver> receiver() const
    {
        for (const auto &d : m_devices)
            if (auto r = std::dynamic_pointer_cast<EmulatedKestrelReceiver>(d))
                return r;
        return nullptr;
    }

    // pair runs the receiver's pairing as the page does: it pairs when the
    // mouse answers, gives up after the page's time-out, and is refused for a
    // mouse without a receiver; unpair makes the receiver forget its mouse.
    void pairAndUnpair()
    {
        plug(QStringLiteral("merlin-receiver"));
        auto r = receiver();
        QVERIFY(r);
        r->setPairedPid(0);
        r->setPairingCompletesAfter(3);
        Result paired = ctl({QStringLiteral("pair"), QStringLiteral("--json")});
        QCOMPARE(paired.code, int(ExitOk));
        QCOMPARE(paired.json().toObject().value(QStringLiteral("paired")).toBool(), true);
        QCOMPARE(r->pairedPid(), r->mouse()->model().wiredPid);
        QVERIFY(r->ownCommands().contains(QByteArray::fromHex("a081")));

        r->setPairingCompletesAfter(-1); // no mouse answers
        const qint64 before = DeviceClock::virtualElapsedMs();
        Result timedOut = ctl({QStringLiteral("pair")});
        QCOMPARE(timedOut.code, int(ExitRefused));
        QVERIFY2(timedOut.err.contains(QStringLiteral("no mouse paired within 20 s")), qPrintable(timedOut.err));
        QVERIFY(timedOut.out.startsWith(QStringLiteral("Pairing with the merlin's receiver")));
        QVERIFY(DeviceClock::virtualElapsedMs() - before >= 20000);
        // Given up, the receiver is told to stop listening: its last command, and it is not pairing.
        QCOMPARE(r->ownCommands().last(), QByteArray::fromHex("a181"));
        QVERIFY(!r->isPairing());

        // Ctrl-C while it waits: exit 130, and the receiver has left pairing.
        // In real time, so the wait is still on when the signal comes.
        DeviceClock::setVirtual(false);
        QTimer interrupt;
        connect(&interrupt, &QTimer::timeout, this, [&] {
            if (r->isPairing()) {
                interrupt.stop();
                std::raise(SIGINT);
            }
        });
        interrupt.start(20);
        Result stopped = ctl({QStringLiteral("pair")});
        interrupt.stop();
        DeviceClock::setVirtual(true);
        QCOMPARE(stopped.code, int(ExitInterrupted));
        QVERIFY2(stopped.err.contains(QStringLiteral("no longer pairing")), qPrintable(stopped.err));
        QCOMPARE(r->ownCommands().last(), QByteArray::fromHex("a181"));
        QVERIFY(!r->isPairing());

        const int commands = r->ownCommands().size();
        Result unpaired = ctl({QStringLiteral("unpair")});
        QCOMPARE(unpaired.code, int(ExitOk));
        QCOMPARE(r->ownCommands().mid(commands), (QVector<QByteArray>{QByteArray::fromHex("a081"), QByteArray::fromHex("a181")}));

        cleanup();
        init();
        plug(QStringLiteral("harrier"));
        Result wired = ctl({QStringLiteral("pair")});
        QCOMPARE(wired.code, int(ExitBadArguments));
        QVERIFY2(wired.err.contains(QStringLiteral("the harrier is wired only: it has no receiver to pair")),
                 qPrintable(wired.err));
        QCOMPARE(ctl({QStringLiteral("unpair"), QStringLiteral("--mouse"), QStringLiteral("wren")}).code,
                 int(ExitBadArguments));
    }

    void changesReachTheMouse_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QByteArray>("codes"); // of CPI 800, 1600, 3200 in the first three positions
        QTest::addColumn<QList<int>>("shownCpi");
        QTest::newRow("kestrel") << "kestrel" << QByteArray::fromHex("102040") << QList<int>{800, 1600, 3200, 0, 0, 0, 0};
        QTest::newRow("harrier") << "harrier" << QByteArray::fromHex("12244a") << QList<int>{800, 1600, 3200, 0, 0, 0, 0};
        QTest::newRow("wren") << "wren" << QByteArray::fromHex("12244a") << QList<int>{800, 1600, 3200, 0, 0};
    }

    // Every setting command, each read back from the mouse by a second command.
    void changesReachTheMouse()
    {
        QFETCH(QString, model);
        QFETCH(QByteArray, codes);
        QFETCH(QList<int>, shownCpi);
        plug(model);
        const QJsonObject factory = show();

        Result r = ctl({QStringLiteral("set"), QStringLiteral("cpi"), QStringLiteral("800"), QStringLiteral("1600"),
                        QStringLiteral("3200")});
        QCOMPARE(r.code, int(ExitOk));
        QCOMPARE(r.err, QString());
        QCOMPARE(cpiCodesInMouse(3), codes);
        if (auto m = kestrel())
            QCOMPARE(quint8(m->memory(kKestrelLevelCountWord + 2, 1).at(0)) + 1, 3);
        QJsonArray cpi;
        for (int l : shownCpi)
            cpi.append(l);
        QCOMPARE(show().value(QStringLiteral("cpi")).toArray(), cpi);

        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("rate"), QStringLiteral("250")}).code, int(ExitOk));
        QCOMPARE(rateInMouse(), kestrel() ? 4 : 1); // the Kestrel keeps the interval in ms, the others the index
        QCOMPARE(show().value(QStringLiteral("reportRate")).toInt(), 250);

        r = ctl({QStringLiteral("set"), QStringLiteral("light"), QStringLiteral("--mode"), QStringLiteral("breathing"),
                 QStringLiteral("--colour"), QStringLiteral("#ff8000"), QStringLiteral("--brightness=7"),
                 QStringLiteral("--speed"), QStringLiteral("3")});
        QCOMPARE(r.code, int(ExitOk));
        const QJsonObject mainLight{{"mode", "breathing"}, {"colour", "#ff8000"}, {"brightness", 7}, {"speed", 3}};
        QCOMPARE(show().value(QStringLiteral("light")).toObject().value(QStringLiteral("main")).toObject(), mainLight);
        if (!kestrel()) {
            QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("light"), QStringLiteral("--zone"), QStringLiteral("wheel"),
                          QStringLiteral("--mode"), QStringLiteral("steady")})
                         .code,
                     int(ExitOk));
            const QJsonObject light = show().value(QStringLiteral("light")).toObject();
            QCOMPARE(light.value(QStringLiteral("wheel")).toObject().value(QStringLiteral("mode")).toString(),
                     QStringLiteral("steady"));
            QCOMPARE(light.value(QStringLiteral("main")).toObject(), mainLight);
        }

        // Buttons: a key with modifiers, a function, disabled, a macro, and back to the factory job.
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("2"), QStringLiteral("key"),
                      QStringLiteral("ctrl+shift+a")})
                     .code,
                 int(ExitOk));
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("3"), QStringLiteral("function"),
                      QStringLiteral("volume-up")})
                     .code,
                 int(ExitOk));
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("4"), QStringLiteral("disable")}).code,
                 int(ExitOk));
        JsonHandle files;
        const QString macro = files.createNewMacroFile();
        files.setMacroNodeList(macro, {keyNode(0x41, 1, 20), keyNode(0x41, 0, 20)});
        r = ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("5"), QStringLiteral("macro"), macro});
        QCOMPARE(r.code, int(ExitOk));
        QCOMPARE(r.out, QStringLiteral("Button 5: macro\n"));
        QJsonObject shown = show();
        QCOMPARE(buttonOf(shown, 2),
                 (QJsonObject{{"button", 2}, {"assignment", "key"}, {"key", "A"}, {"keyCode", 0x41},
                              {"modifiers", QJsonArray{"ctrl", "shift"}}}));
        QCOMPARE(buttonOf(shown, 3), (QJsonObject{{"button", 3}, {"assignment", "function"}, {"function", "volume-up"}}));
        QCOMPARE(buttonOf(shown, 4), (QJsonObject{{"button", 4}, {"assignment", "disabled"}}));
        QCOMPARE(buttonOf(shown, 5).value(QStringLiteral("assignment")).toString(), QStringLiteral("macro"));
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("4"), QStringLiteral("default")}).code,
                 int(ExitOk));
        QCOMPARE(buttonOf(show(), 4), buttonOf(factory, 4));

        // Configuration 2 was never changed: loading it gives the factory settings back,
        // and configuration 1 kept every change.
        QCOMPARE(ctl({QStringLiteral("load"), QStringLiteral("2")}).code, int(ExitOk));
        shown = show();
        QCOMPARE(shown.value(QStringLiteral("configuration")).toInt(), 2);
        QCOMPARE(shown.value(QStringLiteral("cpi")), factory.value(QStringLiteral("cpi")));
        QCOMPARE(ctl({QStringLiteral("load"), QStringLiteral("1")}).code, int(ExitOk));
        QCOMPARE(cpiCodesInMouse(3), codes);
        shown = show();
        QCOMPARE(shown.value(QStringLiteral("cpi")).toArray(), cpi);
        QCOMPARE(buttonOf(shown, 3).value(QStringLiteral("function")).toString(), QStringLiteral("volume-up"));

        // The factory settings, in the mouse and in every configuration.
        r = ctl({QStringLiteral("reset"), QStringLiteral("--yes")});
        QCOMPARE(r.code, int(ExitOk));
        QCOMPARE(show(), factory);
        QCOMPARE(ctl({QStringLiteral("load"), QStringLiteral("1")}).code, int(ExitOk));
        QCOMPARE(show().value(QStringLiteral("cpi")), factory.value(QStringLiteral("cpi")));
    }

    // Colourful spans both zones of the mice that have it.
    void colourfulSetsBothZones()
    {
        plug(QStringLiteral("harrier"));
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("light"), QStringLiteral("--mode"), QStringLiteral("colourful")})
                     .code,
                 int(ExitOk));
        QJsonObject light = show().value(QStringLiteral("light")).toObject();
        for (const char *zone : {"main", "wheel"})
            QCOMPARE(light.value(QLatin1String(zone)).toObject().value(QStringLiteral("mode")).toString(),
                     QStringLiteral("colourful"));
        // Leaving it for one zone leaves it for the other too.
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("light"), QStringLiteral("--mode"), QStringLiteral("off")}).code,
                 int(ExitOk));
        light = show().value(QStringLiteral("light")).toObject();
        for (const char *zone : {"main", "wheel"})
            QCOMPARE(light.value(QLatin1String(zone)).toObject().value(QStringLiteral("mode")).toString(),
                     QStringLiteral("off"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("plugged"); // what is on the bus
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const auto args = [](const char *line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); };

        QTest::newRow("no command") << "kestrel" << QStringList() << int(ExitBadArguments) << "Usage: harrierctl";
        QTest::newRow("unknown command") << "kestrel" << args("frobnicate") << int(ExitBadArguments) << "no command \"frobnicate\"";
        QTest::newRow("set alone") << "kestrel" << args("set") << int(ExitBadArguments) << "set needs one of: cpi, rate, light, button";
        QTest::newRow("set what it cannot") << "kestrel" << args("set colour red") << int(ExitBadArguments) << "set needs one of: cpi, rate, light, button";
        QTest::newRow("--json on a change") << "kestrel" << args("set rate 500 --json") << int(ExitBadArguments) << "--json is for list, show, pair and unpair";
        QTest::newRow("--mouse without a name") << "kestrel" << args("show --mouse") << int(ExitBadArguments) << "--mouse needs a model name";
        QTest::newRow("show with arguments") << "kestrel" << args("show all") << int(ExitBadArguments) << "show takes no arguments";
        QTest::newRow("cpi without levels") << "kestrel" << args("set cpi") << int(ExitBadArguments) << "needs at least one level";
        QTest::newRow("cpi not a number") << "kestrel" << args("set cpi 800 fast") << int(ExitBadArguments) << "\"fast\" is no CPI level";
        QTest::newRow("cpi all off") << "kestrel" << args("set cpi off 0") << int(ExitBadArguments) << "at least one level must stay on";
        QTest::newRow("cpi off the step") << "kestrel" << args("set cpi 825") << int(ExitBadArguments) << "the kestrel takes CPI 50 to 16000 in steps of 50, not 825";
        QTest::newRow("cpi above the range") << "merlin" << args("set cpi 5100") << int(ExitBadArguments) << "the merlin takes CPI 200 to 5000 in steps of 100, not 5100";
        QTest::newRow("cpi too many levels") << "merlin" << args("set cpi 400 800 1200 1600 2000 2400") << int(ExitBadArguments) << "the merlin has 5 CPI levels";
        QTest::newRow("rate unknown") << "kestrel" << args("set rate 300") << int(ExitBadArguments) << "300 is no report rate";
        QTest::newRow("light without settings") << "kestrel" << args("set light") << int(ExitBadArguments) << "set light needs";
        QTest::newRow("light mode unknown") << "harrier" << args("set light --mode disco") << int(ExitBadArguments) << "--mode does not take \"disco\"";
        QTest::newRow("light brightness 10") << "harrier" << args("set light --brightness 10") << int(ExitBadArguments) << "--brightness does not take \"10\"";
        QTest::newRow("light colour") << "harrier" << args("set light --colour red") << int(ExitBadArguments) << "--colour does not take \"red\"";
        QTest::newRow("colourful on a two-zone mouse without it") << "wren" << args("set light --mode colourful") << int(ExitBadArguments) << "the wren has no colourful mode";
        QTest::newRow("light wheel on one zone") << "kestrel" << args("set light --zone wheel --mode off") << int(ExitBadArguments) << "the kestrel has one light zone";
        QTest::newRow("light speed past the model's") << "kestrel" << args("set light --speed 5") << int(ExitBadArguments) << "breathing speed runs from 0 to 4";
        QTest::newRow("button missing") << "harrier" << args("set button 6 disable") << int(ExitBadArguments) << "the harrier has no button 6";
        QTest::newRow("button action unknown") << "harrier" << args("set button 2 launch") << int(ExitBadArguments) << "\"launch\" is not key, function";
        QTest::newRow("button key unknown") << "harrier" << args("set button 2 key ctrl+nokey") << int(ExitBadArguments) << "no key is called \"nokey\"";
        QTest::newRow("button function unknown") << "harrier" << args("set button 2 function teleport") << int(ExitBadArguments) << "no function is called \"teleport\"; the functions are: ";
        QTest::newRow("button function missing") << "harrier" << args("set button 2 function") << int(ExitBadArguments) << "function needs the name of one function";
        QTest::newRow("button function not here") << "harrier" << args("set button 1 function macro-switch") << int(ExitBadArguments) << "button 1 of the harrier cannot take macro-switch";
        QTest::newRow("button macro file missing") << "harrier" << args("set button 2 macro /nonexistent.json") << int(ExitBadArguments) << "no macro file /nonexistent.json";
        QTest::newRow("load out of range") << "kestrel" << args("load 6") << int(ExitBadArguments) << "from 1 to 5";
        QTest::newRow("reset unconfirmed") << "kestrel" << args("reset") << int(ExitBadArguments) << "run \"harrierctl reset --yes\"";

        QTest::newRow("no mouse") << "" << args("show") << int(ExitNoMouse) << "no mouse found";
        QTest::newRow("list of none") << "" << args("list") << int(ExitNoMouse) << "no mouse found";
        QTest::newRow("not that mouse") << "kestrel" << args("--mouse merlin show") << int(ExitNoMouse) << "no merlin is connected";
        QTest::newRow("only a boot loader") << "harrier-boot" << args("show") << int(ExitNoMouse) << "firmware-update mode";
        QTest::newRow("unknown --mouse") << "kestrel" << args("--mouse hawk show") << int(ExitUnknownModel) << "no model is called \"hawk\"";
        QTest::newRow("unknown --emulate") << "" << args("--emulate hawk show") << int(ExitUnknownModel) << "cannot emulate hawk";
        QTest::newRow("left button would go") << "harrier" << args("set button 1 disable") << int(ExitBadArguments) << "without a left button";
        QTest::newRow("export into a missing folder") << "harrier" << args("export /nonexistent-harrier-dir/a.hdconf 1") << int(ExitBadArguments) << "The folder /nonexistent-harrier-dir does not exist. Nothing was exported.";
    }

    void failures()
    {
        QFETCH(QString, plugged);
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        if (!plugged.isEmpty())
            plug(plugged);
        const QJsonObject before = plugged.isEmpty() || plugged.endsWith(QLatin1String("-boot")) ? QJsonObject() : show();
        const Result r = ctl(arguments);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        // Nothing reached the mouse.
        if (!before.isEmpty())
            QCOMPARE(show(), before);
    }

    // The mouse stops answering after it was opened: the change is refused, nothing is claimed.
    void mouseGoneDuringAChange_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("kestrel") << "kestrel";
        QTest::newRow("harrier") << "harrier";
    }

    void mouseGoneDuringAChange()
    {
        QFETCH(QString, model);
        plug(model);
        m_bus.resetTransferCount();
        show();
        const int openCost = m_bus.transferCount();
        EmulatedBackend::Faults faults;
        faults.unplugAfterTransfers = openCost;
        m_bus.setFaults(m_ids.first(), faults);
        const Result r = ctl({QStringLiteral("set"), QStringLiteral("rate"), QStringLiteral("500")});
        QCOMPARE(r.code, int(ExitRefused));
        QVERIFY2(r.err.contains(QStringLiteral("the %1 refused the change or did not answer").arg(model)), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }

    void mouseThatDoesNotAnswer()
    {
        plug(QStringLiteral("kestrel"));
        kestrel()->refuseNextCommands(100000);
        const Result r = ctl({QStringLiteral("show")});
        QCOMPARE(r.code, int(ExitRefused));
        QVERIFY2(r.err.contains(QStringLiteral("did not answer when its settings were read")), qPrintable(r.err));
    }

    void receiverPairedWithAnotherModel()
    {
        plug(QStringLiteral("kestrel-receiver"));
        const ProductInfo *merlin = Products::byName(QStringLiteral("merlin"));
        QVERIFY(m_bus.inspect(m_ids.first(), [&](EmulatedDevice &d) {
            dynamic_cast<EmulatedKestrelReceiver &>(d).setPairedPid(merlin->wiredPid);
        }));
        const Result r = ctl({QStringLiteral("show")});
        QCOMPARE(r.code, int(ExitCannotOpen));
        QVERIFY2(r.err.contains(QStringLiteral("receiver is paired with a mouse of another model")), qPrintable(r.err));
    }

    // A mouse whose settings match none of the stored configurations is
    // shown as it is, and said to match none.
    void showsAMouseMatchingNoConfiguration()
    {
        plug(QStringLiteral("harrier"));
        show(); // the factory configuration is stored as configuration 1
        osprey()->changeSetting(257, quint8(osprey()->profile().at(257)) ^ 1); // the light's brightness

        const QJsonObject shown = show();
        QVERIFY(shown.value(QStringLiteral("configuration")).isNull());
        QCOMPARE(shown.value(QStringLiteral("cpi")).toArray().size(), 7);
        QCOMPARE(shown.value(QStringLiteral("reportRate")).toInt(), 1000);
        QVERIFY(!shown.value(QStringLiteral("light")).toObject().isEmpty());
        const Result text = ctl({QStringLiteral("show")});
        QCOMPARE(text.code, int(ExitOk));
        QVERIFY2(text.out.contains(QStringLiteral("matches no stored configuration")), qPrintable(text.out));
        QVERIFY2(!text.out.contains(QStringLiteral("Report rate:   0 Hz")), qPrintable(text.out));
    }

    // A node the user may not open: exit 6, with the system's words and the udev rule named.
    void noPermissionOnTheNode()
    {
        plug(QStringLiteral("harrier"));
        EmulatedBackend::Faults faults;
        faults.openDenied = true;
        m_bus.setFaults(m_ids.first(), faults);
        const Result r = ctl({QStringLiteral("show")});
        QCOMPARE(r.code, int(ExitCannotOpen));
        QVERIFY2(r.err.contains(QStringLiteral("this user may not open it")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("Permission denied")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("udev rule")), qPrintable(r.err));
    }

    void refusedWhileTheWindowRuns()
    {
        plug(QStringLiteral("kestrel"));
        QLockFile lock(m_runtime.filePath(QStringLiteral("Osprey.lock")));
        QVERIFY(lock.tryLock(0));
        for (const char *command : {"list", "show"}) {
            const Result r = ctl({QLatin1String(command)});
            QCOMPARE(r.code, int(ExitAppRunning));
            QVERIFY2(r.err.contains(QStringLiteral("HarrierDriver is running and holds the mouse")), qPrintable(r.err));
        }
        // Help needs no mouse.
        QCOMPARE(ctl({QStringLiteral("show"), QStringLiteral("--help")}).code, int(ExitOk));
        lock.unlock();
        QCOMPARE(ctl({QStringLiteral("show")}).code, int(ExitOk));
    }

    void helpForEveryCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("usage");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: harrierctl [OPTIONS] COMMAND";
        QTest::newRow("help") << QStringList{"help"} << "Usage: harrierctl [OPTIONS] COMMAND";
        QTest::newRow("list") << QStringList{"list", "--help"} << "Usage: harrierctl list [--json]";
        QTest::newRow("show") << QStringList{"help", "show"} << "Usage: harrierctl show [--json]";
        QTest::newRow("set cpi") << QStringList{"set", "cpi", "-h"} << "Usage: harrierctl set cpi LEVEL...";
        QTest::newRow("set rate") << QStringList{"set", "rate", "--help"} << "Usage: harrierctl set rate HZ";
        QTest::newRow("set light") << QStringList{"set", "light", "--help"} << "Usage: harrierctl set light [--zone";
        QTest::newRow("set button") << QStringList{"set", "button", "--help"} << "Usage: harrierctl set button N ACTION";
        QTest::newRow("load") << QStringList{"load", "--help"} << "Usage: harrierctl load N";
        QTest::newRow("reset") << QStringList{"reset", "--help"} << "Usage: harrierctl reset --yes";
        QTest::newRow("export") << QStringList{"export", "--help"} << "Usage: harrierctl export FILE [N]";
        QTest::newRow("import") << QStringList{"import", "--help"} << "Usage: harrierctl import FILE [N]";
    }

    void helpForEveryCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, usage);
        const Result r = ctl(arguments);
        QCOMPARE(r.code, int(ExitOk));
        QVERIFY2(r.out.startsWith(usage), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("Exit codes:")));
        QCOMPARE(r.err, QString());
    }

    void keysAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // as show names it, and takes it back
        QTest::newRow("letter with modifiers") << "Ctrl+Shift+a" << "ctrl+shift+A";
        QTest::newRow("function key") << "f5" << "F5";
        QTest::newRow("a modifier alone") << "alt" << "alt";
        QTest::newRow("the plus key") << "win++" << "win++";
        QTest::newRow("Qt's name of a key") << "PgDown" << "PageDown";
        QTest::newRow("the name show prints") << "scroll lock" << "Scroll Lock";
    }

    void keysAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        plug(QStringLiteral("harrier"));
        const Result r = ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("3"), QStringLiteral("key"), typed});
        QCOMPARE(r.code, int(ExitOk));
        QCOMPARE(r.out, QStringLiteral("Button 3: key %1\n").arg(shown));
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("button"), QStringLiteral("3"), QStringLiteral("key"), shown}).out,
                 r.out);
    }

    // export then import on each family: the file comes back as another
    // configuration and the mouse holds what it held; a file of another
    // model, or one that is cut short, is refused with exit code 1 and changes nothing.
    void exportAndImport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("other");
        QTest::newRow("kestrel") << "kestrel" << "harrier";
        QTest::newRow("harrier") << "harrier" << "kestrel";
    }

    void exportAndImport()
    {
        QFETCH(QString, name);
        QFETCH(QString, other);
        TextTable::loadTextTable(QFINDTESTDATA("../../resources/translate.json"), TextTable::kEnglishSlot);
        plug(name);
        QCOMPARE(ctl({QStringLiteral("set"), QStringLiteral("cpi"), QStringLiteral("800"), QStringLiteral("1600")}).code,
                 int(ExitOk));
        const QByteArray held = cpiCodesInMouse(7);
        const QString file = m_folder->filePath(QStringLiteral("mine.hdconf"));
        Result r = ctl({QStringLiteral("export"), file});
        QCOMPARE(r.code, int(ExitOk));
        QVERIFY(QFile::exists(file));

        QCOMPARE(ctl({QStringLiteral("load"), QStringLiteral("2")}).code, int(ExitOk));
        QVERIFY(cpiCodesInMouse(7) != held);
        r = ctl({QStringLiteral("import"), file, QStringLiteral("4")});
        QCOMPARE(r.code, int(ExitOk));
        QCOMPARE(cpiCodesInMouse(7), held);
        // Configuration 4 is now configuration 1 again, file for file.
        const int type = Products::byName(name)->mouseType;
        QFile one(JsonHandle::currentConfigJsonFilePath(type, 1)), four(JsonHandle::currentConfigJsonFilePath(type, 4));
        QVERIFY(one.open(QIODevice::ReadOnly) && four.open(QIODevice::ReadOnly));
        QCOMPARE(four.readAll(), one.readAll());

        // Another model's file, from the same commands on that mouse.
        const QString foreign = m_folder->filePath(QStringLiteral("foreign.hdconf"));
        m_bus.unplugAll();
        m_devices.clear();
        plug(other);
        QCOMPARE(ctl({QStringLiteral("export"), foreign, QStringLiteral("1")}).code, int(ExitOk));
        m_bus.unplugAll();
        m_devices.clear();
        plug(name);
        const QByteArray inMouse = cpiCodesInMouse(7);
        const QString configFour = JsonHandle::currentConfigJsonFilePath(Products::byName(name)->mouseType, 4);
        const QByteArray stored = [&configFour] {
            QFile f(configFour);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        r = ctl({QStringLiteral("import"), foreign, QStringLiteral("4")});
        QCOMPARE(r.code, int(ExitBadArguments));
        QVERIFY2(r.err.contains(other), qPrintable(r.err));
        QFile cut(file);
        QVERIFY(cut.open(QIODevice::ReadWrite));
        cut.resize(cut.size() / 2);
        cut.close();
        r = ctl({QStringLiteral("import"), file, QStringLiteral("4")});
        QCOMPARE(r.code, int(ExitBadArguments));
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(cpiCodesInMouse(7), inMouse);
        QFile f(configFour);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), stored);

        QCOMPARE(ctl({QStringLiteral("import")}).code, int(ExitBadArguments));
        QCOMPARE(ctl({QStringLiteral("export"), file, QStringLiteral("6")}).code, int(ExitBadArguments));
    }

    // A factory-fresh Wren shows its five factory levels, and exports, both
    // as it comes and after a factory reset.
    void freshWrenShowsAndExports()
    {
        plug(QStringLiteral("wren"));
        const QJsonArray factory{400, 800, 1200, 2000, 2500};
        QCOMPARE(show().value(QStringLiteral("cpi")).toArray(), factory);
        const QString file = m_folder->filePath(QStringLiteral("wren.hdconf"));
        Result r = ctl({QStringLiteral("export"), file});
        QVERIFY2(r.code == int(ExitOk), qPrintable(r.err));
        QCOMPARE(ctl({QStringLiteral("reset"), QStringLiteral("--yes")}).code, int(ExitOk));
        QCOMPARE(show().value(QStringLiteral("cpi")).toArray(), factory);
        r = ctl({QStringLiteral("export"), file});
        QVERIFY2(r.code == int(ExitOk), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestHarrierCtl)
#include "tst_harrierctl.moc"
