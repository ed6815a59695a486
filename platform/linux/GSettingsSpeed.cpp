// GLib names a struct member "signals", which Qt defines as a keyword: GIO comes first.
#include <gio/gio.h>

#include "platform/linux/DesktopPointer.h"

#include <QDebug>
#include <algorithm>
#include <cmath>

namespace {

const char kSpeedKey[] = "speed";

class GSettingsSpeed : public PointerSpeedBackend
{
public:
    explicit GSettingsSpeed(GSettings *settings) : m_settings(settings) { }
    ~GSettingsSpeed() override { g_object_unref(m_settings); }
    GSettingsSpeed(const GSettingsSpeed &) = delete;
    GSettingsSpeed &operator=(const GSettingsSpeed &) = delete;

    bool reachesDesktop() const override { return true; }

    int speed() const override
    {
        return DesktopPointer::speedFromGSettings(g_settings_get_double(m_settings, kSpeedKey));
    }

    bool setSpeed(int speed) override
    {
        if (!g_settings_set_double(m_settings, kSpeedKey, DesktopPointer::speedToGSettings(speed))) {
            qWarning() << "GSettings refused the pointer speed" << speed;
            return false;
        }
        // Writes are queued to the settings daemon; hand them over before returning.
        g_settings_sync();
        return true;
    }

private:
    GSettings *m_settings;
};

} // namespace

namespace DesktopPointer {

double speedToGSettings(int speed)
{
    speed = std::clamp(speed, PointerSettings::MinSpeed, PointerSettings::MaxSpeed);
    const int d = PointerSettings::DefaultSpeed;
    if (speed <= d)
        return double(speed - d) / double(d - PointerSettings::MinSpeed);
    return double(speed - d) / double(PointerSettings::MaxSpeed - d);
}

int speedFromGSettings(double value)
{
    const int d = PointerSettings::DefaultSpeed;
    if (std::isnan(value))
        return d;
    value = std::clamp(value, -1.0, 1.0);
    const double span = value <= 0 ? d - PointerSettings::MinSpeed : PointerSettings::MaxSpeed - d;
    return int(std::lround(d + value * span));
}

std::unique_ptr<PointerSpeedBackend> makeGSettingsSpeed(const char *schemaId)
{
    // g_settings_new() aborts the program on a schema that is not installed: look first.
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema)
        return nullptr;
    bool usable = false;
    if (g_settings_schema_has_key(schema, kSpeedKey)) {
        GSettingsSchemaKey *key = g_settings_schema_get_key(schema, kSpeedKey);
        usable = g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_DOUBLE);
        g_settings_schema_key_unref(key);
    }
    GSettings *settings = usable ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
    g_settings_schema_unref(schema);
    if (!settings)
        return nullptr;
    return std::make_unique<GSettingsSpeed>(settings);
}

} // namespace DesktopPointer
