#pragma once
#include <QStringList>
#include <QtGlobal>

// Collects every message logged while it lives, instead of printing it.
class MessageCapture
{
public:
    MessageCapture()
    {
        clear();
        m_previous = qInstallMessageHandler(&MessageCapture::handler);
    }
    ~MessageCapture() { qInstallMessageHandler(m_previous); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    static QStringList &messages()
    {
        static QStringList list;
        return list;
    }

    static void clear() { messages().clear(); }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        messages().append(message);
    }

    QtMessageHandler m_previous = nullptr;
};
