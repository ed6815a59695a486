#include "device/kestrel/KestrelButtonCodec.h"

#include "device/kestrel/KestrelTables.h"
#include "device/kestrel/USBDriverKestrel.h"

#include <QDebug>
#include <algorithm>

using namespace KestrelTables;

namespace KestrelButtonCodec {

namespace {

// Assignments whose word carries the looked-up key usage (and perhaps the
// page's modifier code) in fixed places.
struct UsageWord
{
    int changeType;
    BYTE type;
    int usageAt;          // byte of the usage; -1: none
    int modifierAt;       // byte of the page's modifier code, as it is; -1: none
    bool needsKnownKey;   // an unknown key is refused rather than written as "no key"
};
const UsageWord kUsageWords[] = {
    {ChangeConsumerKey, 4, 3, -1, true},
    {ChangeMouseButton, 3, 2, 3, false},
    {ChangeDisabled, 7, -1, -1, false},
    {ChangeCpiFunction, 8, 2, -1, false},
    {ChangeType9Lookup, 9, 3, -1, false},
};

DWORD wordWith(BYTE type, int at, BYTE value, DWORD word = 0)
{
    if (word == 0)
        word = makeButtonWord(type, 0, 0, 0);
    return at < 0 ? word : (word & ~(DWORD(0xFF) << (8 * at))) | DWORD(value) << (8 * at);
}

bool keyWord(uint vkCode, int modifyKey, bool modifiersRequired, DWORD *word)
{
    const int usage = vkCode > 0xFFFF ? 0 : USBDriverKestrel::KeyToUsage(int(vkCode));
    // A key the table does not know would silently become "no key".
    if (vkCode != 0 && usage == 0)
        return false;
    if (!modifiersRequired && modifyKey == 0) {
        if (vkCode == 0)
            return false;
        *word = makeButtonWord(0, 0, BYTE(usage), 0);
        return true;
    }
    const int modifier = USBDriverKestrel::ExchangeModifierBits(modifyKey);
    if (modifier < 0)
        return false;
    *word = makeButtonWord(2, 0, BYTE(modifier), BYTE(usage));
    return true;
}

// ---- decoding, one function per word type ----

using Decoder = bool (*)(DWORD word, const std::function<bool()> &rapidFireSet, ButtonAssignment *out);

void report(ButtonAssignment *out, int changeType, int value, int modifier = 0)
{
    out->changeType = changeType;
    out->trueMouseValue = value;
    out->modifyKey = modifier;
}

bool decodeKey(DWORD word, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeKey, USBDriverKestrel::UsageToKey(wordByte(word, 2)));
    return true;
}

bool decodeKeyWithModifiers(DWORD word, const std::function<bool()> &, ButtonAssignment *out)
{
    const BYTE modifier = wordByte(word, 2);
    const int key = USBDriverKestrel::UsageToKey(wordByte(word, 3));
    qDebug() << "FindTheCombinationKeyboardType modifyKey  vkcode" << modifier << key;
    const int shortcut = shortcutIndex(modifier, key);
    if (shortcut >= 0)
        report(out, ChangeFunction, shortcut);
    else
        report(out, ChangeKey, key, std::max(0, USBDriverKestrel::ExchangeModifierBits(modifier & 0x0F)));
    return true;
}

bool decodeMouseButton(DWORD word, const std::function<bool()> &rapidFireSet, ButtonAssignment *out)
{
    const BYTE mask = wordByte(word, 2);
    if (mask == 1 && wordByte(word, 3) == 1)
        report(out, ChangeFunction, ChangeLeftFire);
    else if (mask == 1 && !rapidFireSet())
        report(out, ChangeFunction, ChangeLeftButton);
    else if (mask <= 1) // a left click firing the rapid-fire macros, or no button at all
        report(out, ChangeMacro, -1);
    else
        report(out, ChangeFunction, functionOfButtonMask(mask));
    return true;
}

bool decodeConsumer(DWORD word, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeFunction, functionOfConsumerUsage(wordByte(word, 3)));
    return true;
}

bool decodeMacro(DWORD, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeMacro, -1);
    return true;
}

bool decodeDisabled(DWORD, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeDisabled, 0);
    return true;
}

bool decodeCpi(DWORD word, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeFunction, functionOfCpiWord(wordByte(word, 2)));
    return true;
}

bool decodeType9(DWORD word, const std::function<bool()> &, ButtonAssignment *out)
{
    report(out, ChangeFunction, functionOfType9Word(wordByte(word, 2)));
    return true;
}

struct TypeDecoder
{
    BYTE type;
    Decoder decode;
};
const TypeDecoder kDecoders[] = {
    {0, &decodeKey},      {2, &decodeKeyWithModifiers}, {3, &decodeMouseButton}, {4, &decodeConsumer},
    {5, &decodeMacro},    {7, &decodeDisabled},         {8, &decodeCpi},         {9, &decodeType9},
};

} // namespace

bool encode(int changeType, uint vkCode, int modifyKey, DWORD factoryWord, DWORD *word)
{
    if (!word)
        return false;
    if (changeType == ChangeKey || changeType == ChangeKeyCombination)
        return keyWord(vkCode, modifyKey, changeType == ChangeKeyCombination, word);
    if (changeType == ChangeRestoreFactory) {
        *word = factoryWord;
        return true;
    }
    for (const UsageWord &u : kUsageWords) {
        if (u.changeType != changeType)
            continue;
        const int usage = vkCode > 0xFFFF ? 0 : USBDriverKestrel::KeyToUsage(int(vkCode));
        if (u.needsKnownKey && vkCode != 0 && usage == 0)
            return false;
        *word = wordWith(u.type, u.modifierAt, BYTE(modifyKey), wordWith(u.type, u.usageAt, BYTE(usage)));
        return true;
    }
    if (const WORD consumer = consumerUsageOfChangeType(changeType)) {
        *word = makeButtonWord(4, 0, BYTE(consumer >> 8), BYTE(consumer));
        return true;
    }
    if (const DWORD fixed = fixedButtonWord(changeType)) {
        *word = fixed;
        return true;
    }
    return false;
}

bool decode(DWORD word, const std::function<bool()> &rapidFireSet, ButtonAssignment *out)
{
    if (!out)
        return false;
    for (const TypeDecoder &d : kDecoders)
        if (d.type == wordByte(word, 0))
            return d.decode(word, rapidFireSet, out);
    return false;
}

} // namespace KestrelButtonCodec
