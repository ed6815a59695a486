#pragma once
// One event of a user macro, as the macro editor edits it and the macro
// files store it (one JSON object per event).
#include <QList>
#include <QMetaType>
#include <QString>

struct MacroNode
{
    int valueType = -1;   // 3 = key or mouse-button event, 6 = mouse-position event
    int mouseValue = -1;  // read from files when present, never written
    int keyValue = -1;    // virtual-key code, or mouse button 1 left, 2 right, 4 middle
    int timeLapse = 1;    // delay in milliseconds after the event
    int coordinateX = -1;
    int coordinateY = -1;
    int state = -1;       // 0 = press, 1 = release
    QString text;         // what the event list shows

    bool operator==(const MacroNode &o) const
    {
        return valueType == o.valueType && mouseValue == o.mouseValue && keyValue == o.keyValue
            && timeLapse == o.timeLapse && coordinateX == o.coordinateX
            && coordinateY == o.coordinateY && state == o.state && text == o.text;
    }
    bool operator!=(const MacroNode &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(MacroNode)
Q_DECLARE_METATYPE(QList<MacroNode>)
