#pragma once
// A fresh application folder: a temporary directory as the data root and
// QStandardPaths in test mode, so no test touches the user's files. The
// default root comes back when it goes.
#include "platform/AppPaths.h"

#include <QStandardPaths>
#include <QTemporaryDir>

class TempAppFolder
{
public:
    TempAppFolder()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppPaths::setDataRoot(m_dir.path());
    }
    ~TempAppFolder() { AppPaths::setDataRoot(QString()); }
    TempAppFolder(const TempAppFolder &) = delete;
    TempAppFolder &operator=(const TempAppFolder &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
