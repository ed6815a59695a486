#include "store/TextTable.h"

#include "store/SafeFile.h"

#include <QDebug>
#include <QJsonDocument>
#include <QStringList>

#include <atomic>
#include <memory>

namespace TextTable {

namespace {

struct LanguageSlot
{
    QLocale::Language language;
    int slot;
};

// System language -> slot of the language file; any other language: English.
const LanguageSlot kLanguageSlots[] = {
    {QLocale::Chinese, 0},
    {QLocale::Korean, 2},
    {QLocale::Albanian, 3},
    {QLocale::German, 4},
    {QLocale::Italian, 6},
    {QLocale::Spanish, 7},
    {QLocale::Dutch, 8},
    {QLocale::Portuguese, 9},
    {QLocale::Russian, 10},
    {QLocale::Ukrainian, 11},
};

// Set at start-up and read from any thread: swapped whole, never edited in place.
std::shared_ptr<const QStringList> g_table = std::make_shared<const QStringList>();

std::shared_ptr<const QStringList> current()
{
    return std::atomic_load(&g_table);
}

} // namespace

int slotForLanguage(QLocale::Language language)
{
    for (const LanguageSlot &entry : kLanguageSlots) {
        if (entry.language == language)
            return entry.slot;
    }
    return kEnglishSlot;
}

QString text(int index)
{
    const auto table = current();
    if (index < 0 || index >= table->size())
        return QString();
    return table->at(index);
}

QString textWith(int index, const QString &value)
{
    const QString t = text(index);
    return t.contains(QLatin1String("%1")) ? t.arg(value) : t;
}

int size()
{
    return current()->size();
}

void setTable(const QJsonArray &table)
{
    QStringList texts;
    texts.reserve(table.size());
    for (const QJsonValue &value : table)
        texts.append(value.toString());
    std::atomic_store(&g_table, std::make_shared<const QStringList>(std::move(texts)));
}

LoadResult loadTextTable(const QString &path, int slot)
{
    // Bounded like every file we read; a FIFO or device reads as missing.
    QByteArray bytes;
    SafeFile::readAll(path, &bytes);
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (document.isNull()) {
        qDebug() << "NoArray";
        setTable(QJsonArray());
        return NoArray;
    }
    if (!document.isArray()) {
        setTable(QJsonArray());
        return NotAnArray;
    }
    // A slot the file lacks reads as Undefined, which is no array: empty table.
    setTable(document.array().at(slot).toArray());
    return Loaded;
}

} // namespace TextTable
