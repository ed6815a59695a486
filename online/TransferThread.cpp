#include "online/TransferThread.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

namespace TransferThread {

namespace {

QThread *g_thread = nullptr;
QObject *g_worker = nullptr; // lives on the thread; calls are queued to it

// Ends the thread as the application goes, after which run() works in place.
void endThread()
{
    if (!g_thread)
        return;
    g_thread->quit();
    g_thread->wait();
}

QThread *thread()
{
    if (!g_thread && QCoreApplication::instance()) {
        g_thread = new QThread;
        g_thread->setObjectName(QStringLiteral("transfers"));
        g_worker = new QObject;
        g_worker->moveToThread(g_thread);
        QObject::connect(g_thread, &QThread::finished, g_worker, &QObject::deleteLater);
        g_thread->start();
        qAddPostRoutine(endThread);
    }
    return g_thread;
}

bool onTheThread()
{
    QThread *t = thread();
    return !t || !t->isRunning() || QThread::currentThread() == t;
}

} // namespace

void adopt(QObject *manager)
{
    if (QThread *t = thread(); t && t->isRunning())
        manager->moveToThread(t);
}

void run(const std::function<void()> &call)
{
    if (onTheThread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(g_worker, call, Qt::BlockingQueuedConnection);
}

} // namespace TransferThread
