#pragma once
// A small typed door to one INI file (Qt's INI format, UTF-8). Writes are
// saved at once and atomically: the file is rewritten into a temporary file
// that then replaces it, never edited in place.
#include <QObject>
#include <QString>
#include <memory>

class QSettings;

// The checks every INI file of ours goes through (QSettings opens the file
// itself, so they come first).
namespace IniAccess {
// False when something other than a regular file stands at path (a FIFO
// would block the reader): the file then reads as empty.
bool mayRead(const QString &path);
// False (and the reason logged) when path is a link, a special file or
// another user's file, which are never written; else makes its folder,
// private to the user, and returns true.
bool mayWrite(const QString &path);
// Saves settings; true when the file now holds them, else logs "cannot save".
bool save(QSettings &settings);
} // namespace IniAccess

class OperateIni : public QObject
{
    Q_OBJECT
public:
    enum Access {
        Shared,    // the folder's usual permissions
        OwnerOnly, // readable and writable by the user alone (account data)
    };

    explicit OperateIni(QObject *parent = nullptr);
    ~OperateIni() override;

    // Opens the INI file at path (it need not exist; reading never creates it).
    void open(const QString &path, Access access = Shared);
    // The stored text; "NULL" for an absent key, "key error or unInit obj" before open().
    QString value(const QString &key);
    // Stores text under key and saves the file; false (nothing stored) before
    // open() or when the file may not be written.
    bool setValue(const QString &key, const QString &text);

private:
    // The settings of the file, made on first use; null while the file is no regular file.
    QSettings *settings();

    std::unique_ptr<QSettings> m_settings;
    bool m_opened = false;
    QString m_path;
    Access m_access = Shared;
};
