#pragma once
// The screen settings both families with a screen accept, whatever the wire
// encoding: the page offers nothing else, and a mouse must not be sent more.
#include <algorithm>
#include <iterator>

namespace ScreenSettings {

// 1 no picture, 2 and 3 the built-in shows, 8 the stored picture.
constexpr int kBehaviours[] = {1, 2, 3, 8};
constexpr int kMinIntensity = 5;
constexpr int kMaxIntensity = 100;

inline bool isBehaviour(int behaviour)
{
    return std::find(std::begin(kBehaviours), std::end(kBehaviours), behaviour) != std::end(kBehaviours);
}

inline bool isIntensity(int intensity)
{
    return intensity >= kMinIntensity && intensity <= kMaxIntensity;
}

} // namespace ScreenSettings
