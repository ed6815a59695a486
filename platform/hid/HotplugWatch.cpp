#include "platform/hid/HotplugWatch.h"

#include <QMutex>
#include <QVector>

namespace {

// Every live watch, for announcements from any thread. Never freed, so a
// watch outliving the other statics at exit still finds it.
struct Watches
{
    QMutex lock;
    QVector<HotplugWatch *> list;
};
Watches &watches()
{
    static Watches *all = new Watches;
    return *all;
}

} // namespace

HotplugWatch::HotplugWatch(QObject *parent) : QObject(parent)
{
    m_system = Hid::watchSystemEvents([this] { emit changed(); });
    QMutexLocker lock(&watches().lock);
    watches().list.append(this);
}

HotplugWatch::~HotplugWatch()
{
    QMutexLocker lock(&watches().lock);
    watches().list.removeAll(this);
}

namespace Hid {

void announceChange()
{
    QMutexLocker lock(&watches().lock);
    // Queued: a bus announcing from inside plug() must not have a scan run
    // into it, and a watch deleted before delivery drops the call with it.
    for (HotplugWatch *watch : qAsConst(watches().list))
        QMetaObject::invokeMethod(watch, [watch] { emit watch->changed(); }, Qt::QueuedConnection);
}

} // namespace Hid
