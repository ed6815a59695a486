#pragma once
#include "device/DeviceTypes.h"
#include "pages/BridgePage.h"

#include <QColor>
#include <QList>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ColorWheel;
class MoveSlider;

// Page 1: the light of each zone of the mouse — mode, breathing speed,
// steady brightness and colour — and, on the models that have it, the
// colourful effect across both zones. Every change leaves at once as a
// signal for the bridge; the bridge fills the page with the lighting record
// the mouse holds.
class LightSettingWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    // Light modes as the signals carry them.
    enum LightMode { ModeOff = 0, ModeSteady, ModeBreathing, ModeApmBreathing, ModeSpectrum, ModeColourful };
    static constexpr int kPresetCount = 25;
    static constexpr int kBrightnessMaximum = 9;

    explicit LightSettingWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Configures the page for a model type: zone captions, the colourful box
    // and the slider ranges.
    void setMouseType(int mouseType);
    int mouseType() const { return m_mouseType; }
    // The first family's layout (model types 7 to 12) or the other one.
    void setFirstFamilyLayout(bool firstFamily) { m_firstFamilyLayout = firstFamily; }
    bool isFirstFamilyLayout() const { return m_firstFamilyLayout; }
    // The zone captions and the colourful box of a model type.
    void setZoneButtonsForType(int mouseType);
    // The breathing slider's range of a model type (unknown types leave it as it is).
    void setSliderRangesForType(int mouseType);

    // The last lighting record the bridge sent.
    const LightColorParam &lightParameter() const { return m_lightParam; }
    // True while the first zone (wheel or logo light) is edited.
    bool isWheelZoneSelected() const { return m_isWheelLightChange; }
    int breathMaximum() const { return m_breathMaximum; }

signals:
    void sig_MouseColor(bool isWheelLightChange, QList<COLORREF> colorList);
    void sig_MouseLightMode(bool isWheelLightChange, int value);
    void sig_MouseContinueLightDegree(bool isWheelLightChange, int value);
    void sig_MouseBreathSpeed(bool isWheelLightChange, int value);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    // The lighting record the mouse holds: both zones, the first left selected.
    void slot_SetLightParameter(LightColorParam param);
    // The committed slider positions.
    void slot_BreathSliderChange(int value);
    void slot_ContinueLightSliderChange(int value);
    void changeMouseLightDegree(bool isWheelLightChange, int value);
    // Reads the three custom colour sliders.
    void setShowColorButton(int &redValue, int &greenValue, int &blueValue);
    // A mode radio (0..4) was chosen.
    void setLightMode(int value);
    void setLightModeDetail(bool isWheelLightChange, int value);
    void setSpecificColorOnMouse(int red, int green, int blue);
    // A pick on the colour wheel.
    void slot_GetWheelColor(int red, int green, int blue);
    // A preset button.
    void getButtonColor(int r, int g, int b);
    // Shows the colour on the current-colour swatch (and the custom sliders).
    void setSpecialColorOnButton(int red, int green, int blue);
    // Applies the colour to the current zone and sends it.
    void setMouseColorParameter(int red, int green, int blue);
    // Puts the breathing slider at a stored speed.
    void setBreathSpeed(int value);
    void on_CloseLightModeRadioButton_clicked();
    void on_ContinueLightModeRadioButton_clicked();
    void on_BrethModeRaioButton_clicked();
    void on_ApmBreathModeRaidoButton_clicked();
    void on_LightCirleRaioButton_clicked();
    // Selects the first zone (true) or the second.
    void isWheelLightChange(bool isWheel);
    void on_WheelLightButton_clicked();
    void on_LogoLightButton_clicked();
    void on_Red_Slider_sliderReleased();
    void on_Green_Slider_sliderReleased();
    void on_Blue_Slider_sliderReleased();
    void on_Red_Slider_valueChanged(int value);
    void on_Green_Slider_valueChanged(int value);
    void on_Blue_Slider_valueChanged(int value);
    // Shows mode m: its radio (0..4), or the colourful box (5).
    void switchLightMode(int lightMode);
    // 5 when the colourful effect is on, otherwise wheelMode.
    int ifSakerLogoModeIsColorIntrigue(int wheelMode);
    // With the colourful effect on, the other zone takes the new mode first.
    void ifSakerSeriesChangeLightMode(bool isWheelLightChange, int lightMode);
    // Colourful on (5) or off (4) for both zones.
    void setTurnOnOrOffColorIntrigue(int lightMode);
    void on_ColorIntrigueCheckBox_2_clicked();

private:
    struct Zone
    {
        int mode = 0;
        int speed = 0;
        int degree = 0;
        QColor colour = Qt::white;
    };

    QWidget *buildModeBox();
    QWidget *buildColourBox();
    Zone &currentZone() { return m_zones[m_isWheelLightChange ? 0 : 1]; }
    Zone &zone(bool isWheel) { return m_zones[isWheel ? 0 : 1]; }
    bool hasColourful() const;
    void showZone();
    void sendEvent(const QString &action, const QString &label = QString());

    int m_mouseType = 0;
    bool m_firstFamilyLayout = false;
    LightColorParam m_lightParam{};
    Zone m_zones[2];
    bool m_isWheelLightChange = true;
    int m_breathMaximum = 4;

    QPushButton *m_wheelLightButton = nullptr;
    QPushButton *m_logoLightButton = nullptr;
    QLabel *m_singleZoneLabel = nullptr;
    QList<QRadioButton *> m_modeRadios;
    // The modes and the zones are two groups of their own: buttons that are
    // merely auto-exclusive under one parent would take each other's check.
    QButtonGroup *m_modeGroup = nullptr;
    QButtonGroup *m_zoneGroup = nullptr;
    QCheckBox *m_colourfulBox = nullptr;
    MoveSlider *m_degreeSlider = nullptr;
    MoveSlider *m_breathSlider = nullptr;
    QLabel *m_swatch = nullptr;
    QLabel *m_swatchText = nullptr;
    MoveSlider *m_colourSliders[3] = {};
    QLabel *m_colourValueLabels[3] = {};
    ColorWheel *m_colorWheel = nullptr;
};
