#pragma once
// Macro events as the macro editor records them, for tests that build macro files.
#include "store/MacroNode.h"

// A key (or mouse button) pressed (state 0) or released (1) after `delay` ms.
inline MacroNode keyNode(int key, int state, int delay)
{
    MacroNode n;
    n.valueType = 3;
    n.keyValue = key;
    n.state = state;
    n.timeLapse = delay;
    return n;
}

// The pointer moved by (x, y) after `delay` ms.
inline MacroNode moveNode(int x, int y, int delay)
{
    MacroNode n;
    n.valueType = 6;
    n.coordinateX = x;
    n.coordinateY = y;
    n.timeLapse = delay;
    return n;
}
