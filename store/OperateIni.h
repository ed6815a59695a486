#pragma once
// A small typed door to one INI file (Qt's INI format, UTF-8). Writes are
// saved at once and atomically: the file is rewritten into a temporary file
// that then replaces it, never edited in place.
#include <QObject>
#include <QString>
#include <memory>

class QSettings;

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
    // Stores text under key and saves the file; does nothing before open().
    void setValue(const QString &key, const QString &text);

private:
    std::unique_ptr<QSettings> m_settings;
    QString m_path;
    Access m_access = Shared;
};
