#include "pages/DrawDialog.h"

#include "data/DCDataHandle.h"
#include "pages/DrawBorderWidget.h"
#include "pages/MoveSlider.h"
#include "pages/TabOrder.h"
#include "store/JsonHandle.h"
#include "store/SafeFile.h"
#include "store/TextTable.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QAbstractItemView>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Screen behaviours the mode buttons choose.
constexpr int kShowCpi = 1;
constexpr int kShowApm = 2;
constexpr int kScreenOff = 3;

// The one model whose screen is wide (128 x 32); the others have 64 x 48.
constexpr int kWideScreenType = 3;
const QSize kWideCanvas(384, 96);
const QSize kSquareCanvas(192, 144);

// Text height in canvas pixels: a whole number of screen pixels each.
constexpr int kMinTextSize = 33;
constexpr int kMaxTextSize = 99;
constexpr int kTextSizeStep = 3;
constexpr int kStartTextSize = 66;

constexpr int kMinBrightness = 5;
constexpr int kMaxBrightness = 100;

QPushButton *makeButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setCursor(Qt::PointingHandCursor);
    // Reached by Tab; a click leaves the focus in the text being typed.
    button->setFocusPolicy(Qt::TabFocus);
    // Return belongs to the text being typed, not to whichever button comes first.
    button->setAutoDefault(false);
    return button;
}

void repolish(QWidget *w)
{
    w->style()->unpolish(w);
    w->style()->polish(w);
}

// Every picture format this Qt reads, for the file dialog's filter.
QString pictureFilter()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return TextTable::text(TextTable::TextDrawPictureFiles) + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
        + QStringLiteral(")");
}

} // namespace

DrawDialog::DrawDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DrawDialog"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setWindowTitle(TextTable::text(TextTable::TextMainScreenButton));
    setModal(true);
    setFixedSize(560, 470);

    auto *title = new QLabel(TextTable::text(TextTable::TextMainScreenButton), this);
    title->setObjectName(QStringLiteral("DrawTitleLabel"));
    auto *close = makeButton("closeButton", QStringLiteral("×"), this);
    connect(close, &QPushButton::clicked, this, &DrawDialog::on_closeButton_clicked);
    auto *header = new QHBoxLayout;
    header->addWidget(title, 1);
    header->addWidget(close);

    // Tools.
    m_brushButton = makeButton("Brush_Button", TextTable::text(TextTable::TextDrawBrush), this);
    m_textButton = makeButton("TextEditButton", TextTable::text(TextTable::TextDrawText), this);
    auto *erase = makeButton("Erase_Button", TextTable::text(TextTable::TextDrawEraser), this);
    auto *undo = makeButton("Recall_Button", TextTable::text(TextTable::TextDrawUndo), this);
    auto *addPicture = makeButton("AddPictureButton", TextTable::text(TextTable::TextDrawAddPicture), this);
    for (QPushButton *b : {m_brushButton, m_textButton})
        b->setProperty("drawTool", true);
    connect(m_brushButton, &QPushButton::clicked, this, &DrawDialog::on_Brush_Button_clicked);
    connect(m_textButton, &QPushButton::clicked, this, &DrawDialog::on_TextEditButton_clicked);
    connect(erase, &QPushButton::clicked, this, &DrawDialog::on_Erase_Button_clicked);
    connect(undo, &QPushButton::clicked, this, &DrawDialog::on_Recall_Button_clicked);
    connect(addPicture, &QPushButton::clicked, this, &DrawDialog::on_AddPictureButton_clicked);
    auto *tools = new QHBoxLayout;
    for (QPushButton *b : {m_brushButton, m_textButton, erase, undo, addPicture})
        tools->addWidget(b);
    tools->addStretch();

    m_backgroundBox = new QCheckBox(TextTable::text(TextTable::TextDrawSwitchBackground), this);
    m_backgroundBox->setObjectName(QStringLiteral("ChangeBackground_CheckBox"));
    m_backgroundBox->setFocusPolicy(Qt::TabFocus);
    connect(m_backgroundBox, &QCheckBox::stateChanged, this, &DrawDialog::on_ChangeBackground_CheckBox_stateChanged);
    m_fontBox = new QFontComboBox(this);
    m_fontBox->setObjectName(QStringLiteral("fontComboBox"));
    m_fontBox->setFocusPolicy(Qt::TabFocus);
    m_fontBox->setFontFilters(QFontComboBox::ScalableFonts);
    // Named for a screen reader as the captions around them read.
    m_fontBox->setAccessibleName(TextTable::text(TextTable::TextDrawText));
    m_fontBox->view()->setAccessibleName(TextTable::text(TextTable::TextDrawText));
    if (m_fontBox->lineEdit())
        m_fontBox->lineEdit()->setAccessibleName(TextTable::text(TextTable::TextDrawText));
    m_sizeBox = new QSpinBox(this);
    m_sizeBox->setObjectName(QStringLiteral("spinBox"));
    m_sizeBox->setAccessibleName(TextTable::text(TextTable::TextDrawSize));
    m_sizeBox->setRange(kMinTextSize, kMaxTextSize);
    m_sizeBox->setSingleStep(kTextSizeStep);
    m_sizeBox->setValue(kStartTextSize);
    m_sizeBox->setMinimumWidth(72);
    // Typed values land on a step too.
    m_sizeBox->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    auto *textRow = new QHBoxLayout;
    textRow->addWidget(m_fontBox, 1);
    textRow->addWidget(new QLabel(TextTable::text(TextTable::TextDrawSize), this));
    textRow->addWidget(m_sizeBox);
    textRow->addSpacing(16);
    textRow->addWidget(m_backgroundBox);

    // The canvas, centred in its frame whichever layout it has.
    m_canvas = new DrawBorderWidget(this);
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("DrawCanvasFrame"));
    frame->setAttribute(Qt::WA_StyledBackground);
    frame->setFixedHeight(kSquareCanvas.height() + 24);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_canvas, 0, Qt::AlignCenter);
    auto *hint = new QLabel(TextTable::text(TextTable::TextDrawHint), this);
    hint->setObjectName(QStringLiteral("DrawHintLabel"));
    hint->setWordWrap(true);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("DrawMessageLabel"));
    m_message->setWordWrap(true);
    m_message->hide();

    // What the screen shows instead of a picture, and how bright it is.
    auto *showCpi = makeButton("ShowCpiValueButton", TextTable::text(TextTable::TextDrawShowCpi), this);
    auto *showApm = makeButton("ShowApmButton", TextTable::text(TextTable::TextDrawShowApm), this);
    auto *screenOff = makeButton("CloseOLEDScreenButton", TextTable::text(TextTable::TextDrawScreenOff), this);
    connect(showCpi, &QPushButton::clicked, this, &DrawDialog::on_ShowCpiValueButton_clicked);
    connect(showApm, &QPushButton::clicked, this, &DrawDialog::on_ShowApmButton_clicked);
    connect(screenOff, &QPushButton::clicked, this, &DrawDialog::on_CloseOLEDScreenButton_clicked);
    auto *modes = new QHBoxLayout;
    modes->addWidget(new QLabel(TextTable::text(TextTable::TextDrawScreenShows), this));
    modes->addWidget(showCpi);
    modes->addWidget(showApm);
    modes->addWidget(screenOff);
    modes->addStretch();

    m_brightness = new MoveSlider(this);
    m_brightness->setObjectName(QStringLiteral("LightSlider"));
    m_brightness->setAccessibleName(TextTable::text(TextTable::TextDrawBrightness));
    m_brightness->setCPIType(kMinBrightness, kMaxBrightness, 300, 20);
    m_brightness->setValue(kMaxBrightness);
    m_brightnessValue = new QLabel(QString::number(kMaxBrightness), this);
    m_brightnessValue->setObjectName(QStringLiteral("LightValueLabel"));
    m_brightnessValue->setMinimumWidth(32);
    connect(m_brightness, &QSlider::valueChanged, m_brightnessValue,
            [this](int value) { m_brightnessValue->setText(QString::number(value)); });
    connect(m_brightness, &MoveSlider::sig_ValueChange, this, [this](int value) {
        sendEvent(QStringLiteral("LightSlider"), QString::number(value));
        emit sig_OLEDScreenLightIntensity(value);
    });
    auto *brightness = new QHBoxLayout;
    brightness->addWidget(new QLabel(TextTable::text(TextTable::TextDrawBrightness), this));
    brightness->addWidget(m_brightness);
    brightness->addWidget(m_brightnessValue);
    brightness->addStretch();

    auto *cancel = makeButton("DrawCancleButton", TextTable::text(TextTable::TextWarningCancel), this);
    auto *ok = makeButton("DrawOkButton", TextTable::text(TextTable::TextWarningOk), this);
    connect(cancel, &QPushButton::clicked, this, &DrawDialog::on_DrawCancleButton_clicked);
    connect(ok, &QPushButton::clicked, this, &DrawDialog::on_DrawOkButton_clicked);
    auto *footer = new QHBoxLayout;
    footer->addStretch();
    footer->addWidget(cancel);
    footer->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 14, 20, 16);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addLayout(tools);
    layout->addLayout(textRow);
    layout->addWidget(frame);
    layout->addWidget(hint);
    layout->addWidget(m_message);
    layout->addStretch();
    layout->addLayout(modes);
    layout->addLayout(brightness);
    layout->addLayout(footer);

    // Reading order: tools, text settings, the text on the canvas, screen, footer.
    chainTabOrder({close, m_brushButton, m_textButton, erase, undo, addPicture, m_fontBox, m_sizeBox, m_backgroundBox,
                   m_canvas->textField(), showCpi, showApm, screenOff, m_brightness, cancel, ok});

    // Connected after the first values, so setting them up sends nothing.
    connect(m_fontBox, &QFontComboBox::currentFontChanged, this, &DrawDialog::on_fontComboBox_currentFontChanged);
    connect(m_sizeBox, qOverload<int>(&QSpinBox::valueChanged), this, &DrawDialog::on_spinBox_valueChanged);
    // Return ends the typing, as pressing "Text" again does.
    connect(m_canvas->textField(), &QLineEdit::returnPressed, this, [this] { textEditButtonSelected(false); });
    initText();
}

void DrawDialog::connectBridge(DCDataHandle *bridge)
{
    connect(this, &DrawDialog::sig_SetImageOnMouse, bridge, &DCDataHandle::slot_WriteImageToMouse);
    connect(this, &DrawDialog::sig_OLEDScreenParameter, bridge, &DCDataHandle::slot_OLEDScreenpParameter);
    connect(this, &DrawDialog::sig_OLEDScreenLightIntensity, bridge, &DCDataHandle::slot_SetOLEDScreenLightIntensity);
}

void DrawDialog::initDrawDialog(int mouseType, int configNumber)
{
    m_mouseType = mouseType;
    m_configNumber = QString::number(configNumber);
    const QSize canvas = mouseType == kWideScreenType ? kWideCanvas : kSquareCanvas;
    m_canvas->erase();
    m_canvas->setCanvasSize(canvas.width(), canvas.height());
    brushButtonSelected(false);
    textEditButtonSelected(false);
    m_message->clear();
    m_message->hide();
    slot_loadImage();
}

// The picture saved for this configuration comes back as the background, so
// the user goes on from what the screen shows.
void DrawDialog::slot_loadImage()
{
    const QString path = JsonHandle::currentPicturePath(m_mouseType, m_configNumber.toInt());
    if (QFileInfo::exists(path) && !m_canvas->setBackgroundPicture(path))
        qWarning() << "slot_loadImage: the saved picture did not load" << path;
}

bool DrawDialog::loadBackgroundPicture(const QString &path)
{
    if (!m_canvas->setBackgroundPicture(path)) {
        showMessage(TextTable::textWith(TextTable::TextDrawPictureRefused, QFileInfo(path).fileName()));
        return false;
    }
    m_message->hide();
    return true;
}

QString DrawDialog::message() const
{
    return m_message->isVisible() ? m_message->text() : QString();
}

void DrawDialog::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->show();
}

// ---- tools

void DrawDialog::on_Brush_Button_clicked()
{
    sendEvent(QStringLiteral("Brush_Button"));
    brushButtonSelected(!m_canvas->isBrushMode());
}

void DrawDialog::on_TextEditButton_clicked()
{
    sendEvent(QStringLiteral("TextEditButton"));
    textEditButtonSelected(!m_canvas->isTextMode());
}

void DrawDialog::brushButtonSelected(bool selected)
{
    m_canvas->setBrushMode(selected);
    showToolSelection();
}

void DrawDialog::textEditButtonSelected(bool selected)
{
    m_canvas->setTextMode(selected);
    showToolSelection();
}

// One mode turns the other off: both buttons show the canvas's modes.
void DrawDialog::showToolSelection()
{
    m_brushButton->setProperty("selected", m_canvas->isBrushMode());
    m_textButton->setProperty("selected", m_canvas->isTextMode());
    repolish(m_brushButton);
    repolish(m_textButton);
}

void DrawDialog::initText()
{
    m_canvas->setTextFont(m_fontBox->currentFont());
    m_canvas->setTextSize(m_sizeBox->value());
}

void DrawDialog::on_Recall_Button_clicked()
{
    sendEvent(QStringLiteral("Recall_Button"));
    m_canvas->undo();
}

void DrawDialog::on_Erase_Button_clicked()
{
    sendEvent(QStringLiteral("Erase_Button"));
    m_canvas->erase();
    m_message->hide();
}

void DrawDialog::on_ChangeBackground_CheckBox_stateChanged(int state)
{
    sendEvent(QStringLiteral("ChangeBackground_CheckBox"), QString::number(state));
    // Ticked: lit background, dark drawing.
    m_canvas->setInvertedBackground(state != Qt::Checked);
}

void DrawDialog::on_fontComboBox_currentFontChanged(const QFont &font)
{
    m_canvas->setTextFont(font);
}

void DrawDialog::on_spinBox_valueChanged(int value)
{
    m_canvas->setTextSize(value);
}

void DrawDialog::on_AddPictureButton_clicked()
{
    sendEvent(QStringLiteral("AddPictureButton"));
    const QString path = QFileDialog::getOpenFileName(this, TextTable::text(TextTable::TextDrawChoosePicture),
                                                      QString(), pictureFilter());
    if (!path.isEmpty())
        loadBackgroundPicture(path);
}

// ---- leaving

void DrawDialog::on_DrawOkButton_clicked()
{
    sendEvent(QStringLiteral("DrawOkButton"));
    textEditButtonSelected(false);
    m_canvas->fixText();
    const QString path = JsonHandle::currentPicturePath(m_mouseType, m_configNumber.toInt());
    if (m_canvas->isEmpty()) {
        emit sig_SetImageOnMouse(QStringLiteral("0"));
        close();
        return;
    }
    const QImage picture = m_canvas->grabPicture();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A picture that is not on disk whole is never sent: the mouse would get an old one, or none.
    if (!picture.save(&buffer, "BMP") || !SafeFile::writeAtomically(path, bytes)) {
        qWarning() << "save widget screen failed" << path;
        showMessage(TextTable::textWith(TextTable::TextDrawPictureNotSaved, path));
        return;
    }
    qDebug() << "save widget screen succed" << path;
    emit sig_SetImageOnMouse(m_configNumber);
    close();
}

void DrawDialog::on_DrawCancleButton_clicked()
{
    sendEvent(QStringLiteral("DrawCancleButton"));
    close();
}

void DrawDialog::on_closeButton_clicked()
{
    sendEvent(QStringLiteral("closeButton"));
    close();
}

void DrawDialog::on_ShowCpiValueButton_clicked()
{
    setScreenMode(kShowCpi, QStringLiteral("ShowCpiValueButton"));
}

void DrawDialog::on_ShowApmButton_clicked()
{
    setScreenMode(kShowApm, QStringLiteral("ShowApmButton"));
}

void DrawDialog::on_CloseOLEDScreenButton_clicked()
{
    setScreenMode(kScreenOff, QStringLiteral("CloseOLEDScreenButton"));
}

void DrawDialog::setScreenMode(int behaviour, const QString &action)
{
    sendEvent(action);
    emit sig_OLEDScreenParameter(behaviour);
    close();
}

void DrawDialog::sendEvent(const QString &action, const QString &label)
{
    emit sig_SendEventMessageToGA(QStringLiteral("DrawDialog"), action, label, QStringLiteral("DrawDialog"));
}
