#pragma once
#include "pages/BridgePage.h"
#include "platform/WinTypes.h"

#include <QList>
#include <QMap>
#include <QWidget>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class CPIForm;
class DCDataHandle;
class GearHandle;
class MoveSlider;
class MyPushButton;

// Page 0: the CPI levels of the mouse (five or seven rows by model), its USB
// report rate, the desktop's pointer speed and wheel scrolling, and the
// picture of the mouse with its assignable buttons. The page never talks to
// the mouse: every change leaves as a signal, and the bridge answers through
// the slots when a profile is read from the mouse or loaded from a file.
class MainSettingWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    static constexpr int CpiLevels = 7;

    explicit MainSettingWidget(QWidget *parent = nullptr);

    // Connects the page's requests to the bridge and the bridge's page-filling
    // signals to the page; across threads both go queued.
    void connectBridge(DCDataHandle *handle) override;

    // Configures the page for a model type: CPI rows and their ranges, five
    // or seven levels, the screen button, the mouse buttons.
    void setMouseType(int mouseType);
    int mouseType() const { return m_mouseType; }
    // The configuration (1..5) the profile buttons selected; the CPI rows'
    // values are kept in its gear file.
    void setCurrentConfigNumber(int configNumber) { m_configNumber = configNumber; }
    int currentConfigNumber() const { return m_configNumber; }

    // The CPI list as the page holds it, one entry per level, 0 for a level switched off.
    QList<DWORD> cpiList() const { return m_cpiList; }
    CPIForm *cpiForm(int level) const { return m_cpiForms.value(level); }
    MyPushButton *mouseButton(int index) const { return m_buttons.value(index); }

signals:
    void sig_showDrawDialog();
    void sig_showKeySettingDialog(int changedKey, int buttonChangeType, int buttonTrueValue, int modifyKeyValue);
    // Declared for the window's connection list; the page sends whole lists.
    void sig_ChangeCPIValue(int level, int value);
    void sig_ChangeCPIListValue(QList<DWORD> list);
    // Report-rate code 0..3 (125, 250, 500, 1000 reports per second).
    void sig_ChangeUSBReportRate(int value);
    // Pointer speed 1..20.
    void sig_SetPointSpeed(int value);
    // Wheel lines per notch, or -1 for one screen per notch.
    void sig_SetTrolleySpeed(int value);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    // Checks the report rate the mouse holds (0..3), sending nothing.
    void slot_SetUSBReportRateOnPage(int value);
    void slot_SetKeyTrueValue(int button, int changeType, int trueMosueValue, int modifyKey);
    void slot_SetMouseButtonStyleSheetIsOriginal(bool state, int button);
    // Shows the CPI list the mouse holds (one value per device level).
    void slot_SetCpidListValueOnPage(QList<DWORD> listDword);
    void on_DrawButton_clicked();
    void on_USBReportRate_125RadioButton_clicked();
    void on_USBReportRate_250RadioButton_clicked();
    void on_USBReportRate_500RadioButton_clicked();
    void on_USBReportRate_1000RadioButton_clicked();
    void on_spinBox_valueChanged(int arg1);
    void on_TrolleySpeed_RadioButton_1_clicked();
    void on_TrolleySpeed_RadioButton_2_clicked();
    // A level is being switched off: the last active level stays on.
    void slot_CheckIsLastOneCpi(int level, int value);
    // A level's new value (0: switched off) goes into the list, which is sent whole.
    void slot_ChangeCPIValueOnMouse(int level, int value);
    void slot_ShowKeySettingDialog(int changedKey, int buttonChangeType, int buttonTrueValue, int modifyKeyValue);
    void slot_CpiChangeUIEvent(bool type);
    void slot_SetPointSpeed(int value);
    // The pointer entered (true) or left a button: only its key label shows.
    void slot_ShowMouseLeftLabel(bool state, int button);

private:
    // Puts each CPI level's controls together, early in the page's Tab order.
    void orderCpiTabStops();
    QWidget *buildCpiCard();
    QWidget *buildReportRateCard();
    QWidget *buildPointerCard();
    QWidget *buildWheelCard();
    QWidget *buildMouseArea();
    void readPointerSettings();
    void showPicture();
    void layoutLevels(int count);
    void changeReportRate(int code);
    void applyWheelLines(int lines);
    void storeCurrentValue(int level, int value);
    // What a plate's button does now, in words; and the plate's name and
    // description for a screen reader.
    QString plateDoes(const MyPushButton *b) const;
    void describePlate(MyPushButton *b) const;
    void sendEvent(const QString &action, const QString &label = QString());

    QMap<int, CPIForm *> m_cpiForms;
    QList<DWORD> m_cpiList;
    QMap<int, MyPushButton *> m_buttons;
    QMap<int, QLabel *> m_keyLabels;
    QLabel *m_picture = nullptr;
    int m_mouseType = 0;
    int m_configNumber = 1;
    GearHandle *m_gearHandle = nullptr;

    QWidget *m_cpiCard = nullptr;
    QList<QRadioButton *> m_reportRateButtons;
    MoveSlider *m_pointSpeedSlider = nullptr;
    QLabel *m_speedNote = nullptr;
    QRadioButton *m_linesRadio = nullptr;
    QRadioButton *m_screenRadio = nullptr;
    QSpinBox *m_linesSpinBox = nullptr;
    QLabel *m_wheelNote = nullptr;
    QPushButton *m_drawButton = nullptr;
    QLabel *m_drawLabel = nullptr;
};
