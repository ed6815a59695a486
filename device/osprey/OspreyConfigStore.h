#pragma once
// One stored configuration of a second- or third-family mouse: its settings
// record (profile positions 242..475) and the sixteen macros of its buttons,
// kept in the partner flavour of the profile files.
#include "store/JsonHandle.h"
#include "store/MacroRecord.h"

#include <QByteArray>
#include <QVector>

struct OspreyConfiguration
{
    static constexpr int kMacroCount = 16;

    QByteArray settings;          // 234 bytes
    QVector<MacroRecord> macros;  // kMacroCount records
};

class OspreyConfigStore
{
public:
    explicit OspreyConfigStore(JsonHandle *json) : m_json(json) {}

    // Configuration n (0: factory) of the model; without macros when
    // `withMacros` is false (the macros are then left empty).
    OspreyConfiguration load(int mouseType, int number, bool withMacros);
    // Stores settings and macros as configuration n.
    void save(const OspreyConfiguration &configuration, int mouseType, int number);

private:
    JsonHandle *m_json;
};
