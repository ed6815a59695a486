#pragma once
// The session D-Bus without ever waiting on it. Connecting to the bus is a
// blocking exchange inside Qt; a bus that accepts and never answers would
// freeze whatever thread asked first. Every use here goes through one thread
// of its own, so the window's thread only posts and is called back.
#include <QDBusMessage>
#include <QString>

#include <functional>

class QObject;

namespace SessionBus {

// Run before anything of Qt's asks for the bus (the screen-reader bridge
// does while the first widget is built, on the window's thread): whether
// the session bus answers the first step of its protocol within timeoutMs.
// A bus that accepts and never answers is set aside for this run, so no
// part of the program waits on it; why says what happened. True when the
// bus answered, or there is none to ask.
bool setAsideIfSilent(int timeoutMs, QString *why);

// Sends a method call. done runs on context's thread with true and the
// reply, or false and why; it never runs when the bus hangs, nor after
// context is gone.
void call(const QDBusMessage &message, QObject *context,
          std::function<void(bool ok, const QDBusMessage &reply, const QString &error)> done);

// Sends a signal or a call whose answer nobody needs.
void send(const QDBusMessage &message);

// Ends the bus thread at exit: waits a moment for it, and leaves it be when
// it is stuck in a bus that never answered (the process ends it).
void shutDown();

} // namespace SessionBus
