#pragma once
// What the bench programs share: a quiet log, device time on the virtual
// clock, an emulated bus installed for the program's run, and figures
// printed in aligned columns under their headings.
#include "emulator/EmulatedBackend.h"
#include "platform/DeviceClock.h"

#include <QStringList>
#include <QTextStream>
#include <QVariantList>
#include <QVector>

#include <initializer_list>
#include <utility>

namespace Bench {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// Silences the program's own log, so only the figures are printed, and puts
// the mice's waits on the virtual clock: what is measured is device time.
inline void start()
{
    qInstallMessageHandler(quiet);
    DeviceClock::setVirtual(true);
}

// An emulated bus that is the HID backend while it lives.
struct Bus
{
    Bus() { Hid::setBackend(&bus); }
    ~Bus() { Hid::setBackend(nullptr); }
    Bus(const Bus &) = delete;
    Bus &operator=(const Bus &) = delete;

    EmulatedBackend bus;
};

// Rows of figures under headings. A column's width is its heading's, or the
// given one when wider; the first column is left-aligned, the others right.
class Table
{
public:
    Table(QTextStream &out, std::initializer_list<std::pair<const char *, int>> columns) : m_out(out)
    {
        QStringList headings;
        for (const auto &column : columns) {
            const QString heading = QString::fromUtf8(column.first);
            m_widths.append(qMax(column.second, heading.size()));
            headings.append(heading);
        }
        print(headings);
    }

    // One row; booleans print as "yes" and "no".
    void row(const QVariantList &cells)
    {
        QStringList texts;
        for (const QVariant &cell : cells)
            texts.append(cell.type() == QVariant::Bool ? (cell.toBool() ? QStringLiteral("yes") : QStringLiteral("no"))
                                                       : cell.toString());
        print(texts);
    }

private:
    void print(const QStringList &cells)
    {
        QStringList line;
        for (int i = 0; i < cells.size(); ++i) {
            const int width = i < m_widths.size() ? m_widths.at(i) : 0;
            line.append(i == 0 ? cells.at(i).leftJustified(width) : cells.at(i).rightJustified(width));
        }
        m_out << line.join(QLatin1Char(' ')) << '\n';
        m_out.flush();
    }

    QTextStream &m_out;
    QVector<int> m_widths;
};

} // namespace Bench
