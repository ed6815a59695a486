#include "cli/CtlFormat.h"

#include "data/ButtonFunctions.h"
#include "platform/KeyCodes.h"

#include <QColor>
#include <QKeySequence>
#include <QRegularExpression>
#include <QStringList>
#include <QtEndian>

namespace CtlFormat {

namespace {

const char *const kLightModes[] = {"off", "steady", "breathing", "apm-breathing", "spectrum", "colourful"};

// Modifier bits and their names, Ctrl first as the key dialog shows them.
const struct
{
    int bit;
    const char *name;
} kModifiers[] = {{1, "ctrl"}, {2, "shift"}, {4, "alt"}, {8, "win"}};

QString connectionOf(bool bootLoader, bool viaReceiver)
{
    if (bootLoader)
        return QStringLiteral("update-mode");
    return viaReceiver ? QStringLiteral("receiver") : QStringLiteral("cable");
}

QString modelOf(const ProductInfo *product)
{
    return product ? QLatin1String(product->name) : QStringLiteral("unknown");
}

QJsonValue batteryJson(int battery)
{
    switch (battery) {
    case BatteryCharging:
        return QStringLiteral("charging");
    case BatteryFull:
        return QStringLiteral("full");
    default:
        return battery >= 0 && battery <= 100 ? QJsonValue(battery) : QJsonValue();
    }
}

QString batteryText(int battery)
{
    const QJsonValue v = batteryJson(battery);
    return v.isString() ? v.toString() : v.isDouble() ? QStringLiteral("%1%").arg(battery) : QStringLiteral("-");
}

struct Zone
{
    int mode;
    int speed;
    int brightness;
    QRgb colour;
};

Zone zoneOf(const ProductInfo *product, const LightColorParam &light, bool wheel)
{
    const BYTE *c = wheel ? light.wheelColors : light.colors;
    const COLORREF ref = qFromLittleEndian<quint32>(c);
    const int raw = wheel ? light.wheelSpeed : light.breathSpeed;
    return {wheel ? light.wheelMode : light.lightMode, qMax(0, breathingMaximum(product) - raw),
            wheel ? light.wheelDegree : light.lightDegree, qRgb(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF)};
}

QJsonObject zoneJson(const Zone &z)
{
    return {{QStringLiteral("mode"), lightModeName(z.mode)},
            {QStringLiteral("colour"), QColor(z.colour).name()},
            {QStringLiteral("brightness"), z.brightness},
            {QStringLiteral("speed"), z.speed}};
}

QString zoneText(const Zone &z)
{
    return QStringLiteral("%1, colour %2, brightness %3, speed %4")
        .arg(lightModeName(z.mode), QColor(z.colour).name())
        .arg(z.brightness)
        .arg(z.speed);
}

bool hasWheelZone(const ProductInfo *product)
{
    return product && product->family != Family::First;
}

QString modifierText(int modifiers)
{
    QStringList parts;
    for (const auto &m : kModifiers)
        if (modifiers & m.bit)
            parts << QLatin1String(m.name);
    return parts.join(QLatin1Char('+'));
}

QJsonObject assignmentJson(const ShownButton &b)
{
    QJsonObject o{{QStringLiteral("button"), b.number}};
    if (b.original) {
        o.insert(QStringLiteral("assignment"), QStringLiteral("default"));
        return o;
    }
    switch (b.changeType) {
    case ChangeKey: {
        QJsonArray modifiers;
        for (const auto &m : kModifiers)
            if (b.modifiers & m.bit)
                modifiers.append(QLatin1String(m.name));
        o.insert(QStringLiteral("assignment"), QStringLiteral("key"));
        o.insert(QStringLiteral("key"), KeyCodes::keyName(b.value));
        o.insert(QStringLiteral("keyCode"), b.value);
        o.insert(QStringLiteral("modifiers"), modifiers);
        break;
    }
    case ChangeFunction: {
        const ButtonFunctions::Function *f = ButtonFunctions::byCode(b.value);
        o.insert(QStringLiteral("assignment"), QStringLiteral("function"));
        o.insert(QStringLiteral("function"), f ? QJsonValue(QLatin1String(f->name)) : QJsonValue(b.value));
        break;
    }
    case ChangeMacro:
        o.insert(QStringLiteral("assignment"), QStringLiteral("macro"));
        break;
    case ChangeDisabled:
        o.insert(QStringLiteral("assignment"), QStringLiteral("disabled"));
        break;
    default:
        o.insert(QStringLiteral("assignment"), QStringLiteral("other"));
        o.insert(QStringLiteral("changeType"), b.changeType);
        o.insert(QStringLiteral("value"), b.value);
        break;
    }
    return o;
}

} // namespace

QString listText(const QVector<ListedMouse> &mice)
{
    QString text;
    for (const ListedMouse &m : mice) {
        QString line = QStringLiteral("%1  %2  %3")
                           .arg(modelOf(m.product).leftJustified(10))
                           .arg(QStringLiteral("%1").arg(m.pid, 4, 16, QLatin1Char('0')))
                           .arg(connectionOf(m.bootLoader, m.viaReceiver).leftJustified(11));
        if (!m.bootLoader) {
            line += m.opened ? QStringLiteral("  firmware %1  battery %2")
                                   .arg(Products::firmwareText(m.product ? m.product->mouseType : 0, m.firmware),
                                        batteryText(m.battery))
                             : QStringLiteral("  cannot be opened");
        }
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text;
}

QJsonArray listJson(const QVector<ListedMouse> &mice)
{
    QJsonArray list;
    for (const ListedMouse &m : mice) {
        QJsonObject o{{QStringLiteral("model"), m.product ? QJsonValue(modelOf(m.product)) : QJsonValue()},
                      {QStringLiteral("pid"), QStringLiteral("%1").arg(m.pid, 4, 16, QLatin1Char('0'))},
                      {QStringLiteral("connection"), connectionOf(m.bootLoader, m.viaReceiver)}};
        if (!m.bootLoader) {
            o.insert(QStringLiteral("opened"), m.opened);
            o.insert(QStringLiteral("firmware"), m.opened ? QJsonValue(m.firmware) : QJsonValue());
            o.insert(QStringLiteral("battery"), batteryJson(m.battery));
        }
        list.append(o);
    }
    return list;
}

QString cpiText(const QList<int> &levels)
{
    QStringList parts;
    for (int l : levels)
        parts << (l == 0 ? QStringLiteral("off") : QString::number(l));
    return parts.join(QLatin1Char(' '));
}

QString showText(const Shown &s)
{
    QString text;
    text += QStringLiteral("Mouse:         %1 (%2), firmware %3\n")
                .arg(modelOf(s.product), connectionOf(false, s.wireless),
                     Products::firmwareText(s.product ? s.product->mouseType : 0, s.firmware));
    text += QStringLiteral("Configuration: %1\n")
                .arg(s.configuration ? QString::number(s.configuration)
                                     : QStringLiteral("none: the mouse matches no stored configuration; "
                                                      "\"harrierctl load N\" writes one into it"));
    text += QStringLiteral("CPI levels:    %1\n").arg(cpiText(s.cpi));
    text += QStringLiteral("Report rate:   %1 Hz\n").arg(s.rateHz);
    if (s.hasLight) {
        text += QStringLiteral("Light, main:   %1\n").arg(zoneText(zoneOf(s.product, s.light, false)));
        if (hasWheelZone(s.product))
            text += QStringLiteral("Light, wheel:  %1\n").arg(zoneText(zoneOf(s.product, s.light, true)));
    }
    text += QStringLiteral("Buttons:\n");
    for (const ShownButton &b : s.buttons)
        text += QStringLiteral("  %1  %2\n")
                    .arg(b.number, 2)
                    .arg(assignmentText(b.original, b.changeType, b.value, b.modifiers));
    return text;
}

QJsonObject showJson(const Shown &s)
{
    QJsonArray cpi;
    for (int l : s.cpi)
        cpi.append(l);
    QJsonObject light;
    if (s.hasLight) {
        light.insert(QStringLiteral("main"), zoneJson(zoneOf(s.product, s.light, false)));
        if (hasWheelZone(s.product))
            light.insert(QStringLiteral("wheel"), zoneJson(zoneOf(s.product, s.light, true)));
    }
    QJsonArray buttons;
    for (const ShownButton &b : s.buttons)
        buttons.append(assignmentJson(b));
    return {{QStringLiteral("model"), modelOf(s.product)},
            {QStringLiteral("connection"), connectionOf(false, s.wireless)},
            {QStringLiteral("firmware"), s.firmware},
            {QStringLiteral("configuration"), s.configuration ? QJsonValue(s.configuration) : QJsonValue()},
            {QStringLiteral("cpi"), cpi},
            {QStringLiteral("reportRate"), s.rateHz},
            {QStringLiteral("light"), light},
            {QStringLiteral("buttons"), buttons}};
}

int lightModeOfName(const QString &name)
{
    for (int m = 0; m < int(std::size(kLightModes)); ++m)
        if (name.compare(QLatin1String(kLightModes[m]), Qt::CaseInsensitive) == 0)
            return m;
    return -1;
}

QString lightModeName(int mode)
{
    return mode >= 0 && mode < int(std::size(kLightModes)) ? QLatin1String(kLightModes[mode]) : QString::number(mode);
}

int breathingMaximum(const ProductInfo *product)
{
    return product ? Products::breathSpeedMaximum(product->mouseType) : 9;
}

QString lightText(const ProductInfo *product, const LightColorParam &light, bool wheel)
{
    return QStringLiteral("Light, %1: %2")
        .arg(wheel ? QStringLiteral("wheel") : QStringLiteral("main"), zoneText(zoneOf(product, light, wheel)));
}

bool parseColour(const QString &text, QRgb *colour)
{
    static const QRegularExpression hex(QStringLiteral("^#?([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch m = hex.match(text);
    if (!m.hasMatch())
        return false;
    *colour = QRgb(m.captured(1).toUInt(nullptr, 16)) | 0xFF000000u;
    return true;
}

COLORREF colorRef(QRgb colour)
{
    return COLORREF(qRed(colour)) | COLORREF(qGreen(colour)) << 8 | COLORREF(qBlue(colour)) << 16;
}

bool parseKey(const QString &text, int *virtualKey, int *modifiers, QString *error)
{
    // "+" and "ctrl++" name the plus key itself.
    QStringList parts;
    if (text == QLatin1String("+"))
        parts << text;
    else if (text.endsWith(QLatin1String("++")))
        parts = text.chopped(2).split(QLatin1Char('+')) << QStringLiteral("+");
    else
        parts = text.split(QLatin1Char('+'));
    int bits = 0;
    QString key;
    for (const QString &part : qAsConst(parts)) {
        int bit = 0;
        const QString lower = part.trimmed().toLower();
        for (const auto &m : kModifiers)
            if (lower == QLatin1String(m.name))
                bit = m.bit;
        if (lower == QLatin1String("control"))
            bit = 1;
        else if (lower == QLatin1String("super") || lower == QLatin1String("meta"))
            bit = 8;
        if (bit && key.isEmpty()) {
            bits |= bit;
            continue;
        }
        if (!key.isEmpty() || part.trimmed().isEmpty()) {
            *error = QStringLiteral("\"%1\" is no key: modifiers first, then one key, such as ctrl+shift+a").arg(text);
            return false;
        }
        key = part.trimmed();
    }

    int code = 0;
    if (!key.isEmpty()) {
        // The names show prints come back as they were printed.
        for (int vk = 1; vk < 256 && !code; ++vk)
            if (KeyCodes::keyName(vk).compare(key, Qt::CaseInsensitive) == 0)
                code = vk;
        if (!code) {
            const QKeySequence sequence = QKeySequence::fromString(key, QKeySequence::PortableText);
            if (sequence.count() == 1) {
                const int qtKey = sequence[0] & ~int(Qt::KeyboardModifierMask);
                code = KeyCodes::virtualKey(qtKey, Qt::NoModifier, 0);
            }
        }
        if (!code) {
            *error = QStringLiteral("no key is called \"%1\"").arg(key);
            return false;
        }
    }
    if (!code && !bits) {
        *error = QStringLiteral("\"%1\" names no key").arg(text);
        return false;
    }
    *virtualKey = code;
    *modifiers = bits;
    return true;
}

QString assignmentText(bool original, int changeType, int value, int modifiers)
{
    ShownButton b;
    b.original = original;
    b.changeType = changeType;
    b.value = value;
    b.modifiers = modifiers;
    const QJsonObject o = assignmentJson(b);
    const QString kind = o.value(QStringLiteral("assignment")).toString();
    if (kind == QLatin1String("key")) {
        QString spec = modifierText(modifiers);
        const QString key = o.value(QStringLiteral("key")).toString();
        if (!key.isEmpty())
            spec += (spec.isEmpty() ? QString() : QStringLiteral("+")) + key;
        return QStringLiteral("key ") + spec;
    }
    if (kind == QLatin1String("function"))
        return QStringLiteral("function ") + o.value(QStringLiteral("function")).toVariant().toString();
    if (kind == QLatin1String("other"))
        return QStringLiteral("other (kind %1, value %2)").arg(changeType).arg(value);
    return kind;
}

} // namespace CtlFormat
