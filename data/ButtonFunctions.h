#pragma once
// The functions a mouse button can be given, as the key dialog offers them
// and as the mice report them back, with the rules of which button takes
// what. One table serves the dialog and the command line.
#include <QString>

namespace ButtonFunctions {

struct Function
{
    const char *name;      // command-line name
    int code;              // the value a button given this function reports (ChangeFunction)
    int text;              // caption index in the text table; -1: fixedText
    const char *fixedText; // caption no text table translates
    bool offered;          // in the key dialog's list of basic functions
    int value;             // what choosing it sends: key or function value,
    int modifiers;         //   modifier bits,
    int changeType;        //   and kind (a ChangeType code)
};

// Every function, the offered ones first in the dialog's order.
const Function *begin();
const Function *end();

// The function with this command-line name (case-insensitive), or reported with this code; null when none.
const Function *byName(const QString &name);
const Function *byCode(int code);

// The caption of a function, as the dialog shows it.
QString caption(const Function &function);

// True when the dialog offers `function` for page button `button` (4..17) of a model.
bool isOfferedFor(const Function &function, int button, int mouseType);

// How many macros page button `button` plays (button 4 plays a list).
int macroLimit(int button, int mouseType);

// True when the button cannot hold a macro that plays while the button is held.
bool refusesHeldPlayback(int button, int mouseType);

} // namespace ButtonFunctions
