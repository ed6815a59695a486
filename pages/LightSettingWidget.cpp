#include "pages/LightSettingWidget.h"

#include "data/DCDataHandle.h"
#include "model/ProductTable.h"
#include "pages/ColorWheel.h"
#include "pages/MoveSlider.h"
#include "pages/PageCards.h"
#include "store/TextTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

namespace {

struct Rgb
{
    int red, green, blue;
};

// The preset colours, button 1 first, five to a row as the page shows them.
// clang-format off
constexpr Rgb kPresets[LightSettingWidget::kPresetCount] = {
    {255, 69, 110}, {255, 94, 67},  {255, 150, 67}, {206, 255, 66}, {154, 255, 67},
    {67, 255, 66},  {75, 159, 96},  {68, 210, 188}, {69, 198, 233}, {67, 149, 255},
    {69, 119, 255}, {66, 103, 255}, {102, 65, 255}, {127, 74, 223}, {149, 74, 221},
    {216, 74, 221}, {186, 255, 108}, {63, 177, 87}, {255, 116, 118}, {186, 105, 80},
    {216, 71, 64},  {75, 116, 166}, {63, 177, 87},  {101, 100, 181}, {135, 101, 239},
};
// clang-format on

// The mode radios, mode 0 first.
struct ModeRadio
{
    const char *name;
    int text;
    void (LightSettingWidget::*clicked)();
};
const ModeRadio kModeRadios[] = {
    {"CloseLightModeRadioButton", TextTable::TextLightModeOff,
     &LightSettingWidget::on_CloseLightModeRadioButton_clicked},
    {"ContinueLightModeRadioButton", TextTable::TextLightModeSteady,
     &LightSettingWidget::on_ContinueLightModeRadioButton_clicked},
    {"BrethModeRaioButton", TextTable::TextLightModeBreathing, &LightSettingWidget::on_BrethModeRaioButton_clicked},
    {"ApmBreathModeRaidoButton", TextTable::TextLightModeApmBreathing,
     &LightSettingWidget::on_ApmBreathModeRaidoButton_clicked},
    {"LightCirleRaioButton", TextTable::TextLightModeSpectrum, &LightSettingWidget::on_LightCirleRaioButton_clicked},
};

// The captions of the two zone buttons.
struct ZoneCaptions
{
    LightZones zones;
    int first;
    int second;
};
const ZoneCaptions kZoneCaptions[] = {
    {LightZones::MainOnly, TextTable::TextLightZoneWheel, TextTable::TextLightZoneLogo},
    {LightZones::WheelAndLogo, TextTable::TextLightZoneWheel, TextTable::TextLightZoneLogo},
    {LightZones::LogoAndStrip, TextTable::TextLightZoneLogoFirst, TextTable::TextLightZoneStrip},
    {LightZones::WheelAndStrip, TextTable::TextLightZoneWheel, TextTable::TextLightZoneStrip},
};

// A COLORREF: red in the low byte, then green, then blue.
COLORREF colorRef(const QColor &c)
{
    return COLORREF(c.red()) | COLORREF(c.green()) << 8 | COLORREF(c.blue()) << 16;
}

// The first colour of a zone as the record holds it: red, green, blue, spare.
QColor colourOf(const BYTE *colours)
{
    return QColor(colours[0], colours[1], colours[2]);
}

using PageCards::card;
using PageCards::label;
using PageCards::title;

} // namespace

LightSettingWidget::LightSettingWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LightSettingWidget"));
    buildModeBox();
    buildColourBox();
    setSliderRangesForType(0);
    showZone();
}

QWidget *LightSettingWidget::buildModeBox()
{
    QWidget *c = card(this, QRect(16, 12, 420, 448), "LightModeCard");
    title(c, TextTable::TextLightTitle, QRect(20, 14, 380, 24));

    m_wheelLightButton = new QPushButton(TextTable::text(TextTable::TextLightZoneWheel), c);
    m_wheelLightButton->setObjectName(QStringLiteral("WheelLightButton"));
    m_wheelLightButton->setGeometry(20, 50, 150, 32);
    m_logoLightButton = new QPushButton(TextTable::text(TextTable::TextLightZoneLogo), c);
    m_logoLightButton->setObjectName(QStringLiteral("LogoLightButton"));
    m_logoLightButton->setGeometry(180, 50, 150, 32);
    m_zoneGroup = new QButtonGroup(this);
    for (QPushButton *button : {m_wheelLightButton, m_logoLightButton}) {
        button->setCheckable(true);
        m_zoneGroup->addButton(button);
        button->setProperty("zoneButton", true);
        button->setFocusPolicy(Qt::TabFocus);
    }
    // A mouse with one light shows its name where the zone buttons would be.
    m_singleZoneLabel = new QLabel(TextTable::text(TextTable::TextLightSingleZone), c);
    m_singleZoneLabel->setObjectName(QStringLiteral("SingleZoneLabel"));
    m_singleZoneLabel->setGeometry(20, 50, 150, 32);
    m_singleZoneLabel->setAlignment(Qt::AlignCenter);
    m_singleZoneLabel->hide();
    connect(m_wheelLightButton, &QPushButton::clicked, this, &LightSettingWidget::on_WheelLightButton_clicked);
    connect(m_logoLightButton, &QPushButton::clicked, this, &LightSettingWidget::on_LogoLightButton_clicked);

    m_modeGroup = new QButtonGroup(this);
    for (int mode = 0; mode < int(std::size(kModeRadios)); ++mode) {
        auto *radio = new QRadioButton(TextTable::text(kModeRadios[mode].text), c);
        radio->setAutoExclusive(false);
        m_modeGroup->addButton(radio, mode);
        radio->setObjectName(QLatin1String(kModeRadios[mode].name));
        radio->setFocusPolicy(Qt::TabFocus);
        radio->setGeometry(20, 100 + mode * 30, 300, 24);
        connect(radio, &QRadioButton::clicked, this, kModeRadios[mode].clicked);
        m_modeRadios.append(radio);
    }
    m_colourfulBox = new QCheckBox(TextTable::text(TextTable::TextLightModeColourful), c);
    m_colourfulBox->setObjectName(QStringLiteral("ColorIntrigueCheckBox_2"));
    m_colourfulBox->setFocusPolicy(Qt::TabFocus);
    m_colourfulBox->setGeometry(20, 252, 300, 24);
    connect(m_colourfulBox, &QCheckBox::clicked, this, &LightSettingWidget::on_ColorIntrigueCheckBox_2_clicked);

    title(c, TextTable::TextLightBrightness, QRect(20, 296, 380, 22));
    label(c, TextTable::TextLightLow, QRect(20, 326, 56, 20));
    m_degreeSlider = new MoveSlider(c);
    m_degreeSlider->setObjectName(QStringLiteral("ContinueLightSlider"));
    m_degreeSlider->setAccessibleName(TextTable::text(TextTable::TextLightBrightnessSlider));
    m_degreeSlider->setCPIType(0, kBrightnessMaximum, 240, 10);
    m_degreeSlider->move(84, 331);
    label(c, TextTable::TextLightHigh, QRect(336, 326, 64, 20));
    connect(m_degreeSlider, &MoveSlider::sig_ValueChange, this, &LightSettingWidget::slot_ContinueLightSliderChange);

    title(c, TextTable::TextLightBreathSpeed, QRect(20, 366, 380, 22));
    label(c, TextTable::TextMainSlow, QRect(20, 396, 56, 20));
    m_breathSlider = new MoveSlider(c);
    m_breathSlider->setObjectName(QStringLiteral("BreathSlider"));
    m_breathSlider->setAccessibleName(TextTable::text(TextTable::TextLightBreathSlider));
    m_breathSlider->move(84, 401);
    label(c, TextTable::TextMainFast, QRect(336, 396, 64, 20));
    connect(m_breathSlider, &MoveSlider::sig_ValueChange, this, &LightSettingWidget::slot_BreathSliderChange);
    return c;
}

QWidget *LightSettingWidget::buildColourBox()
{
    QWidget *c = card(this, QRect(448, 12, 496, 448), "LightColourCard");
    title(c, TextTable::TextLightCurrentColour, QRect(20, 14, 150, 24));
    m_swatch = new QLabel(c);
    m_swatch->setObjectName(QStringLiteral("CurrentColorLabel"));
    m_swatch->setGeometry(176, 14, 56, 24);
    m_swatchText = new QLabel(c);
    m_swatchText->setObjectName(QStringLiteral("CurrentColorText"));
    m_swatchText->setGeometry(244, 14, 200, 24);
    PageCards::note(c, TextTable::TextLightColourHint, QRect(20, 46, 456, 36));

    title(c, TextTable::TextLightPresets, QRect(20, 92, 220, 22));
    for (int n = 1; n <= kPresetCount; ++n) {
        const Rgb &rgb = kPresets[n - 1];
        auto *button = new QPushButton(c);
        button->setObjectName(QStringLiteral("colorButton%1").arg(n));
        button->setFocusPolicy(Qt::TabFocus);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(20 + (n - 1) % 5 * 42, 124 + (n - 1) / 5 * 42, 32, 32);
        const QString values = QStringLiteral("%1,%2,%3").arg(rgb.red).arg(rgb.green).arg(rgb.blue);
        button->setToolTip(QLatin1Char('(') + values + QLatin1Char(')'));
        button->setAccessibleName(TextTable::text(TextTable::TextA11yPresetColour).arg(n).arg(values));
        button->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); border: 1px solid #34343b;"
                                             " border-radius: 4px; padding: 0; }"
                                             "QPushButton:hover { border: 2px solid #ffffff; }")
                                  .arg(rgb.red)
                                  .arg(rgb.green)
                                  .arg(rgb.blue));
        connect(button, &QPushButton::clicked, this, [this, rgb] { getButtonColor(rgb.red, rgb.green, rgb.blue); });
    }

    title(c, TextTable::TextLightCustom, QRect(268, 92, 208, 22));
    m_colorWheel = new ColorWheel(c);
    m_colorWheel->setAccessibleName(TextTable::text(TextTable::TextA11yColourWheel));
    m_colorWheel->move(300, 124);
    connect(m_colorWheel, &ColorWheel::sigColor, this, &LightSettingWidget::slot_GetWheelColor);

    const struct
    {
        const char *name;
        int text;
        void (LightSettingWidget::*released)();
        void (LightSettingWidget::*changed)(int);
    } sliders[] = {
        {"Red_Slider", TextTable::TextLightRed, &LightSettingWidget::on_Red_Slider_sliderReleased,
         &LightSettingWidget::on_Red_Slider_valueChanged},
        {"Green_Slider", TextTable::TextLightGreen, &LightSettingWidget::on_Green_Slider_sliderReleased,
         &LightSettingWidget::on_Green_Slider_valueChanged},
        {"Blue_Slider", TextTable::TextLightBlue, &LightSettingWidget::on_Blue_Slider_sliderReleased,
         &LightSettingWidget::on_Blue_Slider_valueChanged},
    };
    for (int i = 0; i < 3; ++i) {
        const int y = 284 + i * 34;
        label(c, sliders[i].text, QRect(268, y, 56, 20));
        auto *slider = new MoveSlider(c);
        slider->setObjectName(QLatin1String(sliders[i].name));
        slider->setAccessibleName(TextTable::text(sliders[i].text));
        slider->setCPIType(0, 255, 112, 10);
        slider->move(326, y + 5);
        m_colourValueLabels[i] = new QLabel(QStringLiteral("0"), c);
        m_colourValueLabels[i]->setObjectName(QLatin1String(sliders[i].name) + QStringLiteral("_Value"));
        m_colourValueLabels[i]->setGeometry(444, y, 40, 20);
        m_colourValueLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // MoveSlider reports its release through sliderReleased as well.
        connect(slider, &QSlider::sliderReleased, this, sliders[i].released);
        connect(slider, &QSlider::valueChanged, this, sliders[i].changed);
        m_colourSliders[i] = slider;
    }
    return c;
}

void LightSettingWidget::connectBridge(DCDataHandle *bridge)
{
    connect(bridge, &DCDataHandle::sig_SetLightParameterOnPage, this, &LightSettingWidget::slot_SetLightParameter);
    connect(this, &LightSettingWidget::sig_MouseColor, bridge, &DCDataHandle::slot_SetMouseColor);
    connect(this, &LightSettingWidget::sig_MouseLightMode, bridge, &DCDataHandle::slot_setMouseLightMode);
    connect(this, &LightSettingWidget::sig_MouseContinueLightDegree, bridge,
            &DCDataHandle::slot_MouseContinueLightDegree);
    connect(this, &LightSettingWidget::sig_MouseBreathSpeed, bridge, &DCDataHandle::slot_MouseBreathSpeed);
}

// ---- model ------------------------------------------------------------------

void LightSettingWidget::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
    setZoneButtonsForType(mouseType);
    setSliderRangesForType(mouseType);
}

void LightSettingWidget::setZoneButtonsForType(int mouseType)
{
    const LightZones zones = Products::lightZones(mouseType);
    for (const ZoneCaptions &z : kZoneCaptions) {
        if (z.zones != zones)
            continue;
        m_wheelLightButton->setText(TextTable::text(z.first));
        m_logoLightButton->setText(TextTable::text(z.second));
    }
    const bool twoZones = zones != LightZones::MainOnly;
    m_wheelLightButton->setVisible(twoZones);
    m_logoLightButton->setVisible(twoZones);
    m_singleZoneLabel->setVisible(!twoZones);
    if (!twoZones && m_isWheelLightChange)
        isWheelLightChange(false);
    m_colourfulBox->setVisible(Products::hasColourfulLight(mouseType));
}

void LightSettingWidget::setSliderRangesForType(int mouseType)
{
    const int maximum = mouseType == 0 ? m_breathMaximum : Products::breathSpeedMaximum(mouseType);
    if (maximum <= 0)
        return;
    m_breathMaximum = maximum;
    m_breathSlider->setCPIType(0, maximum, 240, 10);
    setBreathSpeed(currentZone().speed);
}

bool LightSettingWidget::hasColourful() const
{
    return Products::hasColourfulLight(m_mouseType);
}

// ---- loading ----------------------------------------------------------------

void LightSettingWidget::slot_SetLightParameter(LightColorParam param)
{
    m_lightParam = param;
    m_zones[0] = {param.wheelMode, param.wheelSpeed, param.wheelDegree, colourOf(param.wheelColors)};
    m_zones[1] = {param.lightMode, param.breathSpeed, param.lightDegree, colourOf(param.colors)};
    if (Products::lightZones(m_mouseType) == LightZones::MainOnly) {
        m_wheelLightButton->hide();
        m_logoLightButton->hide();
        m_singleZoneLabel->show();
        isWheelLightChange(false);
        return;
    }
    // The second zone first, so the first is left selected.
    isWheelLightChange(false);
    isWheelLightChange(true);
}

void LightSettingWidget::isWheelLightChange(bool isWheel)
{
    m_isWheelLightChange = isWheel;
    (isWheel ? m_wheelLightButton : m_logoLightButton)->setChecked(true);
    showZone();
}

void LightSettingWidget::showZone()
{
    const Zone &z = currentZone();
    setSpecialColorOnButton(z.colour.red(), z.colour.green(), z.colour.blue());
    switchLightMode(z.mode);
    setBreathSpeed(z.speed);
    m_degreeSlider->setValue(qBound(0, z.degree, kBrightnessMaximum));
}

void LightSettingWidget::on_WheelLightButton_clicked()
{
    sendEvent(QStringLiteral("WheelLightButton"));
    isWheelLightChange(true);
}

void LightSettingWidget::on_LogoLightButton_clicked()
{
    sendEvent(QStringLiteral("LogoLightButton"));
    isWheelLightChange(false);
}

// ---- modes ------------------------------------------------------------------

void LightSettingWidget::switchLightMode(int lightMode)
{
    // An exclusive group cannot be cleared; it lets go for a moment (the
    // colourful mode has no radio of its own).
    m_modeGroup->setExclusive(false);
    for (QRadioButton *radio : qAsConst(m_modeRadios))
        radio->setChecked(false);
    if (lightMode >= ModeOff && lightMode < ModeColourful)
        m_modeRadios.at(lightMode)->setChecked(true);
    m_modeGroup->setExclusive(true);
    m_colourfulBox->setChecked(lightMode == ModeColourful);
}

int LightSettingWidget::ifSakerLogoModeIsColorIntrigue(int wheelMode)
{
    return hasColourful() && m_zones[1].mode == ModeColourful ? ModeColourful : wheelMode;
}

void LightSettingWidget::ifSakerSeriesChangeLightMode(bool isWheelLightChange, int lightMode)
{
    // The colourful effect spans both zones: leaving it moves the other zone too.
    if (ifSakerLogoModeIsColorIntrigue(lightMode) != ModeColourful)
        return;
    emit sig_MouseLightMode(!isWheelLightChange, lightMode);
    zone(!isWheelLightChange).mode = lightMode;
}

void LightSettingWidget::setLightModeDetail(bool isWheelLightChange, int value)
{
    ifSakerSeriesChangeLightMode(isWheelLightChange, value);
    emit sig_MouseLightMode(isWheelLightChange, value);
    zone(isWheelLightChange).mode = value;
    m_colourfulBox->setChecked(false);
}

void LightSettingWidget::setLightMode(int value)
{
    sendEvent(QStringLiteral("LightMode"), QString::number(value));
    setLightModeDetail(m_isWheelLightChange, value);
}

void LightSettingWidget::on_CloseLightModeRadioButton_clicked()
{
    setLightMode(ModeOff);
}
void LightSettingWidget::on_ContinueLightModeRadioButton_clicked()
{
    setLightMode(ModeSteady);
}
void LightSettingWidget::on_BrethModeRaioButton_clicked()
{
    setLightMode(ModeBreathing);
}
void LightSettingWidget::on_ApmBreathModeRaidoButton_clicked()
{
    setLightMode(ModeApmBreathing);
}
void LightSettingWidget::on_LightCirleRaioButton_clicked()
{
    setLightMode(ModeSpectrum);
}

void LightSettingWidget::setTurnOnOrOffColorIntrigue(int lightMode)
{
    emit sig_MouseLightMode(false, lightMode);
    emit sig_MouseLightMode(true, lightMode);
    m_zones[0].mode = lightMode;
    m_zones[1].mode = lightMode;
    switchLightMode(lightMode);
}

void LightSettingWidget::on_ColorIntrigueCheckBox_2_clicked()
{
    // Leaving the colourful effect falls back to the spectrum cycle, not to darkness.
    const int mode = m_colourfulBox->isChecked() ? ModeColourful : ModeSpectrum;
    sendEvent(QStringLiteral("ColorIntrigue"), QString::number(mode));
    setTurnOnOrOffColorIntrigue(mode);
}

// ---- speed and brightness ---------------------------------------------------

void LightSettingWidget::setBreathSpeed(int value)
{
    m_breathSlider->setValue(m_breathMaximum - qBound(0, value, m_breathMaximum));
}

void LightSettingWidget::slot_BreathSliderChange(int value)
{
    // The slider runs slow to fast; the mouse counts 0 as the fastest.
    const int speed = qBound(0, m_breathMaximum - value, m_breathMaximum);
    currentZone().speed = speed;
    sendEvent(QStringLiteral("BreathSpeed"), QString::number(speed));
    emit sig_MouseBreathSpeed(m_isWheelLightChange, speed);
}

void LightSettingWidget::slot_ContinueLightSliderChange(int value)
{
    changeMouseLightDegree(m_isWheelLightChange, qBound(0, value, kBrightnessMaximum));
}

void LightSettingWidget::changeMouseLightDegree(bool isWheelLightChange, int value)
{
    zone(isWheelLightChange).degree = value;
    emit sig_MouseContinueLightDegree(isWheelLightChange, value);
    sendEvent(QStringLiteral("LightDegree"), QString::number(value));
}

// ---- colours ----------------------------------------------------------------

void LightSettingWidget::getButtonColor(int r, int g, int b)
{
    setMouseColorParameter(r, g, b);
}

void LightSettingWidget::slot_GetWheelColor(int red, int green, int blue)
{
    setMouseColorParameter(red, green, blue);
}

void LightSettingWidget::setSpecificColorOnMouse(int red, int green, int blue)
{
    setMouseColorParameter(red, green, blue);
}

void LightSettingWidget::setShowColorButton(int &redValue, int &greenValue, int &blueValue)
{
    redValue = m_colourSliders[0]->value();
    greenValue = m_colourSliders[1]->value();
    blueValue = m_colourSliders[2]->value();
}

void LightSettingWidget::setSpecialColorOnButton(int red, int green, int blue)
{
    m_swatch->setStyleSheet(QStringLiteral("background-color: rgb(%1,%2,%3); border: 1px solid #34343b;"
                                           " border-radius: 4px;")
                                .arg(red)
                                .arg(green)
                                .arg(blue));
    m_swatch->setProperty("rgb", QColor(red, green, blue));
    // A pick on the wheel keeps its mark where the pointer was.
    if (QColor(red, green, blue) != m_colorWheel->image().pixelColor(m_colorWheel->markerPosition()))
        m_colorWheel->setColor(QColor(red, green, blue));
    m_swatchText->setText(QStringLiteral("(%1,%2,%3)").arg(red).arg(green).arg(blue));
    // The custom sliders start from the colour shown.
    const int values[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i)
        if (!m_colourSliders[i]->isSliderDown())
            m_colourSliders[i]->setValue(values[i]);
}

void LightSettingWidget::setMouseColorParameter(int red, int green, int blue)
{
    const QColor colour(qBound(0, red, 255), qBound(0, green, 255), qBound(0, blue, 255));
    setSpecialColorOnButton(colour.red(), colour.green(), colour.blue());
    sendEvent(QStringLiteral("LightColor"),
              QStringLiteral("(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
    currentZone().colour = colour;
    emit sig_MouseColor(m_isWheelLightChange, QList<COLORREF>{colorRef(colour)});
}

void LightSettingWidget::on_Red_Slider_sliderReleased()
{
    int r = 0, g = 0, b = 0;
    setShowColorButton(r, g, b);
    setMouseColorParameter(r, g, b);
}

void LightSettingWidget::on_Green_Slider_sliderReleased()
{
    on_Red_Slider_sliderReleased();
}
void LightSettingWidget::on_Blue_Slider_sliderReleased()
{
    on_Red_Slider_sliderReleased();
}

void LightSettingWidget::on_Red_Slider_valueChanged(int value)
{
    m_colourValueLabels[0]->setNum(value);
}
void LightSettingWidget::on_Green_Slider_valueChanged(int value)
{
    m_colourValueLabels[1]->setNum(value);
}
void LightSettingWidget::on_Blue_Slider_valueChanged(int value)
{
    m_colourValueLabels[2]->setNum(value);
}

void LightSettingWidget::sendEvent(const QString &action, const QString &label)
{
    emit sig_SendEventMessageToGA(QStringLiteral("LightSettingWidget"), action, label,
                                  QStringLiteral("LightSettingWidget"));
}
