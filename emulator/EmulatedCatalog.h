#pragma once
#include "emulator/EmulatedDevice.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

// The mice the emulator can stand in for, by the names `--emulate` takes:
// "<model>" (by cable), "<model>-receiver" (a first-family mouse through its
// receiver) and "<model>-boot" (the mouse waiting in firmware-update mode).

enum class EmulatedFamily { First, Second, Third };
enum class EmulatedForm { Wired, Receiver, Boot };

// The identity of one model as its hardware shows it on the bus.
struct EmulatedModel
{
    const char *name;        // lower-case model name
    const char *productName; // how the mouse names itself
    EmulatedFamily family;
    quint16 wiredPid;
    quint16 receiverPid;     // 0: no receiver
};

using EmulatedDevices = QVector<std::shared_ptr<EmulatedDevice>>;

// Builds the devices one model shows in one form (Wired or Receiver): the
// mouse, or the receiver with the mouse behind it. A family's emulator
// provides one and lists it in the factory table of EmulatedCatalog.cpp.
using EmulatedFactory = EmulatedDevices (*)(const EmulatedModel &model, EmulatedForm form);

namespace EmulatedCatalog {

// Every model, in the vendor's table order.
const QVector<EmulatedModel> &models();
// The model with this lower-case name; null when unknown.
const EmulatedModel *model(const QString &name);

// Builds the devices a name such as "kestrel", "merlin-receiver" or
// "harrier-boot" stands for. False, with a message for the user in *error,
// when the name is unknown, the form does not exist for the model, or the
// model's protocol is not emulated yet.
bool create(const QString &name, EmulatedDevices *devices, QString *error);

// Every name create() accepts today, for help texts.
QStringList availableNames();

} // namespace EmulatedCatalog
