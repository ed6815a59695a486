#pragma once
// The thread the web client's transfers run on. Its event loop does nothing
// else, so a reply's size and time limits are checked as its bytes arrive,
// however busy the window's thread is: Qt's network thread reads on as long
// as the reply's own thread has not aborted it.
#include <functional>

class QObject;

namespace TransferThread {

// Hands a QNetworkAccessManager (made without a parent) to the thread.
void adopt(QObject *manager);

// Runs call on the transfer thread and returns when it has run: requests
// are only handed over, no network time is waited for. After the thread
// has ended (at exit) call runs at once where it is.
void run(const std::function<void()> &call);

} // namespace TransferThread
