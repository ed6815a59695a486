#pragma once
#include <QtGlobal>

// Every wait of a device protocol goes through here. In the product it is
// real time; tests and benchmarks switch to a virtual clock that returns at
// once and adds up the device time the waits would have cost.
namespace DeviceClock {

// Waits ms milliseconds (real clock) or adds them to the virtual total.
void sleep(int ms);

// Switches between the real clock (false, the default) and the virtual one.
void setVirtual(bool isVirtual);
bool isVirtual();

// Device time spent in sleep() on the virtual clock since the last reset.
qint64 virtualElapsedMs();
void resetVirtual();

} // namespace DeviceClock
