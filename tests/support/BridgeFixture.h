#pragma once
// The bridge as the window uses it: on a worker thread of its own, reached
// only through queued calls, with every signal recorded as it is emitted.
#include "data/DCDataHandle.h"
#include "emulator/EmulatedBackend.h"
#include "platform/DeviceClock.h"
#include "platform/hid/HidBackend.h"
#include "support/TempAppFolder.h"

#include <QHash>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

// Lives on the worker thread, so sender() is valid in its direct-called slot.
class SignalRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList log;
public slots:
    void onAny()
    {
        const QMetaMethod m = sender()->metaObject()->method(senderSignalIndex());
        log << QString::fromLatin1(m.name());
    }
};

class BridgeFixture
{
public:
    BridgeFixture()
    {
        DeviceClock::setVirtual(true);
        DeviceClock::resetVirtual();
        Hid::setBackend(&bus);
        DCDataHandle::registerMetaTypes();
        handle = new DCDataHandle;
        handle->moveToThread(&thread);
        record();
        thread.start();
    }

    ~BridgeFixture()
    {
        // Close the device and bring the objects home before the thread ends,
        // so timers are stopped on the thread that owns them.
        QThread *home = QThread::currentThread();
        QMetaObject::invokeMethod(
            handle,
            [this, home] {
                handle->releaseObject();
                handle->moveToThread(home);
                recorder.moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
        qDeleteAll(spies);
        delete handle;
        Hid::setBackend(nullptr);
    }

    // Queues a slot call, as a connection from the GUI thread would.
    template <typename... Args>
    bool call(const char *slot, Args... args)
    {
        return QMetaObject::invokeMethod(handle, slot, Qt::QueuedConnection, args...);
    }

    // Returns once every request queued so far has run on the worker thread.
    void sync()
    {
        QMetaObject::invokeMethod(handle, [] {}, Qt::BlockingQueuedConnection);
    }

    // Runs f on the worker thread and waits for it.
    template <typename F>
    void onWorker(F f)
    {
        QMetaObject::invokeMethod(handle, f, Qt::BlockingQueuedConnection);
    }

    // Names of the signals emitted since the last clear, in order (after sync()).
    QStringList names() const { return recorder.log; }
    // Arguments of every emission of one signal since the last clear, oldest first.
    QList<QVariantList> args(const QString &signal) const
    {
        const QSignalSpy *spy = spies.value(signal);
        return spy ? QList<QVariantList>(*spy) : QList<QVariantList>();
    }
    int count(const QString &signal) const { return args(signal).size(); }
    // The warning numbers raised, in order.
    QList<int> warnings() const
    {
        QList<int> out;
        for (const QVariantList &a : args("sig_ShowWarningDialog"))
            out << a.at(0).toInt();
        return out;
    }
    void clear()
    {
        sync();
        recorder.log.clear();
        for (QSignalSpy *spy : spies)
            spy->clear();
    }

    TempAppFolder dir;
    EmulatedBackend bus;
    QThread thread;
    DCDataHandle *handle = nullptr;

private:
    // Spies and the recorder are called on the worker thread as the signals
    // are emitted; sync() orders those writes before the test reads them.
    void record()
    {
        recorder.moveToThread(&thread);
        const QMetaObject *mo = handle->metaObject();
        const QMetaMethod any =
            recorder.metaObject()->method(recorder.metaObject()->indexOfSlot("onAny()"));
        for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
            const QMetaMethod m = mo->method(i);
            if (m.methodType() != QMetaMethod::Signal)
                continue;
            spies.insert(QString::fromLatin1(m.name()), new QSignalSpy(handle, m));
            QObject::connect(handle, m, &recorder, any, Qt::DirectConnection);
        }
    }

    SignalRecorder recorder;
    QHash<QString, QSignalSpy *> spies;
};
