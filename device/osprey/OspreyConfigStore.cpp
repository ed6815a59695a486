#include "device/osprey/OspreyConfigStore.h"

OspreyConfiguration OspreyConfigStore::load(int mouseType, int number, bool withMacros)
{
    OspreyConfiguration c;
    c.settings = m_json->getMouseData_Tern(mouseType, number);
    c.settings.resize(JsonHandle::TernRecordSize);
    c.macros.resize(OspreyConfiguration::kMacroCount);
    if (withMacros) {
        for (int i = 0; i < OspreyConfiguration::kMacroCount; ++i)
            m_json->getMacroData_Tern(c.macros[i], mouseType, number, i);
    }
    return c;
}

void OspreyConfigStore::save(const OspreyConfiguration &configuration, int mouseType, int number)
{
    m_json->saveMouseData_Tern(configuration.settings, mouseType, number);
    for (int i = 0; i < configuration.macros.size(); ++i)
        m_json->saveMacroData_Tern(configuration.macros.at(i), i, mouseType, number);
}
