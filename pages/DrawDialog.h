#pragma once
#include "pages/BridgePage.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class DrawBorderWidget;
class MoveSlider;

// The screen editor of the models with a small monochrome screen: the user
// draws or types the picture the screen shows, or picks what it shows
// instead (the CPI, the user's APM, nothing), and sets its brightness. OK
// saves the picture as the configuration's "drawImage.BMP" and asks the
// bridge to write it; an empty canvas asks for no picture ("0").
class DrawDialog : public QDialog, public BridgePage
{
    Q_OBJECT
public:
    explicit DrawDialog(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Sets the dialog up before it is shown: the canvas of the model (128 x 32
    // pictures for type 3, 64 x 48 for the others) and the picture already
    // saved for the configuration as the background.
    void initDrawDialog(int mouseType, int configNumber);
    int mouseType() const { return m_mouseType; }
    QString configNumber() const { return m_configNumber; }
    DrawBorderWidget *canvas() const { return m_canvas; }
    // Takes a picture file as the background; a file that does not load is
    // refused with a message in the dialog. Returns whether it was taken.
    bool loadBackgroundPicture(const QString &path);
    // The message shown under the canvas; empty when there is none.
    QString message() const;

signals:
    // The configuration whose picture was saved, or "0" for no picture.
    void sig_SetImageOnMouse(QString configNumber);
    // 1 CPI shown, 2 the user's APM shown, 3 screen off.
    void sig_OLEDScreenParameter(int behaviour);
    // Brightness 5..100.
    void sig_OLEDScreenLightIntensity(int intensity);
    void sig_WarningTypeOnMainWindow(int warningType);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    void slot_loadImage();
    void on_closeButton_clicked();
    void on_DrawCancleButton_clicked();
    void on_DrawOkButton_clicked();
    void on_Brush_Button_clicked();
    void on_Recall_Button_clicked();
    void on_TextEditButton_clicked();
    void on_ChangeBackground_CheckBox_stateChanged(int state);
    void on_fontComboBox_currentFontChanged(const QFont &font);
    void on_spinBox_valueChanged(int value);
    void on_AddPictureButton_clicked();
    void brushButtonSelected(bool selected);
    void textEditButtonSelected(bool selected);
    void initText();
    void on_Erase_Button_clicked();
    void on_ShowCpiValueButton_clicked();
    void on_ShowApmButton_clicked();
    void on_CloseOLEDScreenButton_clicked();

private:
    void setScreenMode(int behaviour, const QString &action);
    void showToolSelection();
    void showMessage(const QString &text);
    void sendEvent(const QString &action, const QString &label = QString());

    int m_mouseType = 0;
    QString m_configNumber = QStringLiteral("1");
    DrawBorderWidget *m_canvas = nullptr;
    QPushButton *m_brushButton = nullptr;
    QPushButton *m_textButton = nullptr;
    QCheckBox *m_backgroundBox = nullptr;
    QFontComboBox *m_fontBox = nullptr;
    QSpinBox *m_sizeBox = nullptr;
    QLabel *m_message = nullptr;
    MoveSlider *m_brightness = nullptr;
    QLabel *m_brightnessValue = nullptr;
};
