// The largest pause of the window's thread during device work. The real main
// window runs with an emulated Kestrel on the real clock (the mouse's waits
// take their real time on the bridge's thread); a 5 ms timer on the window's
// thread notes the longest gap between its ticks while an operation runs,
// and the same timer on an idle thread of its own is the control for what
// the machine itself adds. Each operation goes through the window's own
// widgets: a profile switch, a CPI change, a macro recorded and written, a
// screen picture sent and a firmware update. A pause of one frame (16 ms)
// more than the control is the goal.
//
//   build/bench/gui/gui_stall_bench [rounds]     (default 3; offscreen or any display)
#include "bench/BenchSupport.h"
#include "app/MainWindow.h"
#include "app/UpdateMouseDialog.h"
#include "emulator/kestrel/EmulatedKestrelMouse.h"
#include "emulator/kestrel/EmulatedKestrelUpdate.h"
#include "pages/CPIForm.h"
#include "pages/USpinBox.h"
#include "pages/DrawBorderWidget.h"
#include "pages/DrawDialog.h"
#include "pages/KeySettingDialog.h"
#include "pages/MacroEditWidget.h"
#include "pages/MainSettingWidget.h"
#include "pages/MyPushButton.h"
#include "support/FirmwareRig.h"
#include "support/PageInput.h"
#include "support/WindowRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

constexpr int kTickMs = 5;

// The longest gap between two ticks of a 5 ms timer on the thread it lives in.
class GapMeter : public QObject
{
public:
    GapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest.storeRelaxed(std::max<qint64>(m_longest.loadRelaxed(), now - m_last));
            m_last = now;
        });
    }
    // Called in the meter's own thread.
    void begin()
    {
        m_clock.start();
        m_last = 0;
        m_longest.storeRelaxed(0);
        m_timer.start();
    }
    void end() { m_timer.stop(); }
    double longestMs() const { return m_longest.loadRelaxed() / 1e6; }

private:
    QTimer m_timer{this}; // a child, so it moves with the meter to its thread
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QAtomicInteger<qint64> m_longest{0};
};

// The application, timing each event it delivers at the outermost level, so
// the bench can say which event made the longest pause.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        // The bridge's and the transfer's threads deliver their events here too.
        if (QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        if (m_depth++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --m_depth;
            return handled;
        }
        QElapsedTimer clock;
        clock.start();
        const int type = event->type();
        const QString who = QString::fromLatin1(receiver->metaObject()->className()) + QLatin1Char(' ')
            + receiver->objectName();
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const double ms = clock.nsecsElapsed() / 1e6;
        if (ms > m_longestMs) {
            m_longestMs = ms;
            m_longest = QStringLiteral("%1 (event %2)").arg(who.trimmed()).arg(type);
        }
        return handled;
    }
    void resetLongest()
    {
        m_longestMs = 0;
        m_longest.clear();
    }
    QString longest() const { return QStringLiteral("%1 ms: %2").arg(m_longestMs, 0, 'f', 1).arg(m_longest); }

private:
    int m_depth = 0;
    double m_longestMs = 0;
    QString m_longest;
};

struct Operation
{
    const char *name;
    std::function<void()> start;
    std::function<bool()> done;
    int timeoutMs;
};

} // namespace

int main(int argc, char **argv)
{
    TimedApplication app(argc, argv);
    qInstallMessageHandler(Bench::quiet);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 3;

    WindowRig rig;
    DeviceClock::setVirtual(false); // the mouse's waits take their real time
    auto kestrel = std::make_shared<EmulatedKestrelMouse>(QStringLiteral("kestrel"));
    kestrel->setFirmwareVersion(FirmwareRig::kOldVersion);
    const int id = rig.bus->plug(kestrel);
    EmulatedKestrelUpdate update(*rig.bus, kestrel, id);
    rig.poll();
    if (!QTest::qWaitFor([&] { return rig.window->isDeviceOpen(); }, 20000)) {
        fprintf(stderr, "the Kestrel did not open\n");
        return 1;
    }
    QTest::qWait(1500);
    MainWindow *window = rig.window.get();
    MainSettingWidget *page = rig.page();

    // The control: the same timer on a thread that does nothing else.
    QThread controlThread;
    GapMeter control;
    control.moveToThread(&controlThread);
    controlThread.start();
    GapMeter gui;

    int config = 1;
    const QByteArray image = FirmwareRig::image(64 * 1024);
    const QString imagePath = UpdateMouseDialog::firmwareFolder(true, 11) + QStringLiteral("/Nuc123.bin");
    QDir().mkpath(QFileInfo(imagePath).absolutePath());
    {
        QFile f(imagePath);
        f.open(QIODevice::WriteOnly);
        f.write(image);
    }
    const int firmwareBefore = window->currentFirmwareVersion();

    const QList<Operation> operations = {
        {"profile switch",
         [&] {
             config = config % 5 + 1;
             clickNamed(window, qPrintable(QStringLiteral("ConfigureButton_%1").arg(config)));
         },
         [] { return false; }, 1500},
        {"CPI change",
         [&] {
             // The up arrow of level 1's box, as a user steps a level.
             QTest::mouseClick(page->cpiForm(0)->spinBox()->upButton(), Qt::LeftButton);
         },
         [] { return false; }, 800},
        {"macro write",
         [&] {
             clickNamed(window, "MacroEditButton");
             auto *macros = window->findChild<MacroEditWidget *>();
             clickNamed(macros, "CreateButton");
             clickNamed(macros, "StartRecordButton");
             sendKey(macros, QEvent::KeyPress, Qt::Key_A, Keycode::A);
             sendKey(macros, QEvent::KeyRelease, Qt::Key_A, Keycode::A);
             clickNamed(macros, "StartRecordButton");
             clickNamed(window, "MainSettingButton");
             QTest::mouseClick(page->mouseButton(5), Qt::LeftButton);
             auto *d = window->findChild<KeySettingDialog *>();
             clickNamed(d, "MarcoEditButton");
             auto *groups = d->findChild<QListWidget *>(QStringLiteral("MacroTitleListWidget"));
             if (QListWidgetItem *player = groups->findItems(QStringLiteral("PlayerCustom"), Qt::MatchExactly).value(0))
                 QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualItemRect(player).center());
             auto *names = d->findChild<QListWidget *>(QStringLiteral("MacroNameListWidget"));
             if (names->count() > 0)
                 names->item(names->count() - 1)->setCheckState(Qt::Checked);
             clickNamed(d, "OKButton");
         },
         [] { return false; }, 2000},
        {"screen picture",
         [&] {
             clickNamed(page, "DrawButton");
             auto *editor = window->findChild<DrawDialog *>();
             clickNamed(editor, "Brush_Button");
             dragThrough(editor->canvas(), {QPoint(20, 20), QPoint(60, 40), QPoint(120, 90)});
             clickNamed(editor, "DrawOkButton");
         },
         [] { return false; }, 2500},
        {"firmware update",
         [&] {
             clickNamed(window, "SupportButton");
             clickNamed(window, "FirmwareUpdateButton");
             clickNamed(window->updateMouseDialog(), "StartUpdateButton");
         },
         [&] { return window->isDeviceOpen() && window->currentFirmwareVersion() != firmwareBefore; }, 60000},
    };

    QTextStream out(stdout);
    out << "Largest pause of the window's thread during each operation (ms), " << rounds
        << " rounds, Kestrel by cable on the real clock; the control is an idle thread's timer.\n";
    Bench::Table table(out, {{"operation", 16}, {"round", 5}, {"window", 8}, {"control", 8}, {"over control", 12},
                             {"longest event", 14}});
    for (const Operation &op : operations) {
        const int opRounds = QByteArray(op.name) == "firmware update" ? 1 : rounds;
        for (int round = 1; round <= opRounds; ++round) {
            QMetaObject::invokeMethod(&control, [&] { control.begin(); }, Qt::BlockingQueuedConnection);
            gui.begin();
            app.resetLongest();
            QElapsedTimer clock;
            clock.start();
            op.start();
            while (!op.done() && clock.elapsed() < op.timeoutMs)
                QTest::qWait(10);
            QTest::qWait(200);
            gui.end();
            QMetaObject::invokeMethod(&control, [&] { control.end(); }, Qt::BlockingQueuedConnection);
            const double w = gui.longestMs() - kTickMs;
            const double c = control.longestMs() - kTickMs;
            table.row({QString::fromLatin1(op.name), round, QString::number(w, 'f', 1), QString::number(c, 'f', 1),
                       QString::number(w - c, 'f', 1), app.longest()});
        }
    }
    controlThread.quit();
    controlThread.wait();
    return 0;
}
