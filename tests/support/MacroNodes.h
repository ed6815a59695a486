#pragma once
// Macro file events as the macro editor writes them, for tests that build macros.
#include "store/MacroNode.h"

inline MacroNode keyNode(int key, int state, int delay)
{
    MacroNode n;
    n.valueType = 3;
    n.keyValue = key;
    n.state = state;
    n.timeLapse = delay;
    return n;
}

inline MacroNode moveNode(int x, int y, int delay)
{
    MacroNode n;
    n.valueType = 6;
    n.coordinateX = x;
    n.coordinateY = y;
    n.timeLapse = delay;
    return n;
}
