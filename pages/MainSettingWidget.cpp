#include "pages/MainSettingWidget.h"

#include "pages/TabOrder.h"

#include <QCheckBox>
#include <QLineEdit>

#include "data/DCDataHandle.h"
#include "pages/CPIForm.h"
#include "pages/CPISlider.h"
#include "pages/USpinBox.h"
#include "model/CpiTables.h"
#include "pages/KeySettingDialog.h"
#include "pages/MouseButtonLayout.h"
#include "pages/MoveSlider.h"
#include "pages/PageCards.h"
#include "pages/MyPushButton.h"
#include "platform/PointerSettings.h"
#include "store/GearHandle.h"
#include "store/TextTable.h"

#include <QButtonGroup>
#include <QDebug>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVariant>
#include <QSpinBox>
#include <iterator>

namespace {

// The assignable buttons of the mouse picture.
constexpr int kFirstButton = 4;
constexpr int kLastButton = 17;
// Report-rate codes, in the order of the radio buttons.
const struct
{
    const char *name;
    const char *caption;
    const char *label;
} kReportRateButtons[] = {
    {"USBReportRate_125RadioButton", "125Hz", "Hz125"},
    {"USBReportRate_250RadioButton", "250Hz", "Hz250"},
    {"USBReportRate_500RadioButton", "500Hz", "Hz500"},
    {"USBReportRate_1000RadioButton", "1000Hz", "Hz1000"},
};
constexpr int kReportRateCount = int(std::size(kReportRateButtons));
constexpr int kReportRate1000 = 3;

// Placement of the CPI rows inside their card.
constexpr int kRowLeft = 20;
constexpr int kRowRight = 360;
constexpr int kRowTop = 44;
constexpr int kRowPitch = 40;

using PageCards::card;
using PageCards::label;
using PageCards::note;

QLabel *title(QWidget *parent, int text, int width)
{
    return PageCards::title(parent, text, QRect(20, 10, width, 22));
}

} // namespace

MainSettingWidget::MainSettingWidget(QWidget *parent) : QWidget(parent), m_gearHandle(new GearHandle(this))
{
    setObjectName(QStringLiteral("MainSettingWidget"));
    buildCpiCard();
    buildReportRateCard();
    buildPointerCard();
    buildWheelCard();
    buildMouseArea();
    readPointerSettings();
    layoutLevels(CpiLevels);
}

// ---------------------------------------------------------------- building

QWidget *MainSettingWidget::buildCpiCard()
{
    m_cpiCard = card(this, QRect(16, 12, 700, 212));
    m_cpiCard->setObjectName(QStringLiteral("CpiCard"));
    title(m_cpiCard, TextTable::TextMainCpiTitle, 300);
    for (int level = 0; level < CpiLevels; ++level) {
        auto *form = new CPIForm(level, m_cpiCard);
        connect(form, &CPIForm::sig_CurrentCPIValue, this, &MainSettingWidget::slot_ChangeCPIValueOnMouse);
        connect(form, &CPIForm::sig_CheckIsLastOneCpi, this, &MainSettingWidget::slot_CheckIsLastOneCpi);
        connect(form, &CPIForm::sig_CpiSliderChange, this, &MainSettingWidget::slot_CpiChangeUIEvent);
        m_cpiForms.insert(level, form);
    }
    return m_cpiCard;
}

QWidget *MainSettingWidget::buildReportRateCard()
{
    QWidget *c = card(this, QRect(16, 236, 700, 56));
    c->setObjectName(QStringLiteral("ReportRateCard"));
    QLabel *caption = label(c, TextTable::TextMainReportRate, QRect(20, 17, 170, 22));
    caption->setProperty("cardTitle", true);
    auto *group = new QButtonGroup(c);
    void (MainSettingWidget::*clicked[])() = {
        &MainSettingWidget::on_USBReportRate_125RadioButton_clicked,
        &MainSettingWidget::on_USBReportRate_250RadioButton_clicked,
        &MainSettingWidget::on_USBReportRate_500RadioButton_clicked,
        &MainSettingWidget::on_USBReportRate_1000RadioButton_clicked,
    };
    for (int code = 0; code < kReportRateCount; ++code) {
        auto *radio = new QRadioButton(QLatin1String(kReportRateButtons[code].caption), c);
        radio->setObjectName(QLatin1String(kReportRateButtons[code].name));
        radio->setFocusPolicy(Qt::TabFocus);
        radio->setGeometry(200 + code * 110, 17, 100, 22);
        group->addButton(radio, code);
        connect(radio, &QRadioButton::clicked, this, clicked[code]);
        m_reportRateButtons.append(radio);
    }
    m_reportRateButtons.at(kReportRate1000)->setChecked(true);
    return c;
}

QWidget *MainSettingWidget::buildPointerCard()
{
    QWidget *c = card(this, QRect(16, 304, 344, 156));
    c->setObjectName(QStringLiteral("PointerCard"));
    title(c, TextTable::TextMainPointerSpeed, 304);
    label(c, TextTable::TextMainSlow, QRect(20, 42, 40, 20))->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pointSpeedSlider = new MoveSlider(c);
    m_pointSpeedSlider->setObjectName(QStringLiteral("PointSpeedSlider"));
    m_pointSpeedSlider->setAccessibleName(TextTable::text(TextTable::TextA11yPointerSpeed));
    m_pointSpeedSlider->setCPIType(PointerSettings::MinSpeed, PointerSettings::MaxSpeed, 200, 10);
    m_pointSpeedSlider->move(68, 47);
    label(c, TextTable::TextMainFast, QRect(276, 42, 48, 20))->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(m_pointSpeedSlider, &MoveSlider::sig_ValueChange, this, &MainSettingWidget::slot_SetPointSpeed);
    m_speedNote = note(c, TextTable::TextMainSpeedKeptOnly, QRect(20, 76, 304, 66), "SpeedNoteLabel");
    return c;
}

QWidget *MainSettingWidget::buildWheelCard()
{
    QWidget *c = card(this, QRect(372, 304, 344, 156));
    c->setObjectName(QStringLiteral("WheelCard"));
    title(c, TextTable::TextMainWheelSpeed, 304);
    label(c, TextTable::TextMainWheelPerNotch, QRect(20, 36, 304, 20));
    m_linesRadio = new QRadioButton(TextTable::text(TextTable::TextMainWheelLines), c);
    m_linesRadio->setObjectName(QStringLiteral("TrolleySpeed_RadioButton_1"));
    m_linesRadio->setGeometry(20, 60, 200, 22);
    m_linesSpinBox = new QSpinBox(c);
    m_linesSpinBox->setObjectName(QStringLiteral("spinBox"));
    m_linesSpinBox->setAccessibleName(TextTable::text(TextTable::TextMainWheelLines));
    m_linesSpinBox->setRange(PointerSettings::MinLines, PointerSettings::MaxLines);
    m_linesSpinBox->setValue(PointerSettings::DefaultLines);
    // A value is applied once typed in full, not at every digit.
    m_linesSpinBox->setKeyboardTracking(false);
    m_linesSpinBox->setGeometry(230, 60, 60, 22);
    m_screenRadio = new QRadioButton(TextTable::text(TextTable::TextMainWheelScreen), c);
    m_screenRadio->setObjectName(QStringLiteral("TrolleySpeed_RadioButton_2"));
    m_screenRadio->setGeometry(20, 88, 280, 22);
    for (QRadioButton *radio : {m_linesRadio, m_screenRadio})
        radio->setFocusPolicy(Qt::TabFocus);
    auto *group = new QButtonGroup(c);
    group->addButton(m_linesRadio);
    group->addButton(m_screenRadio);
    m_wheelNote = note(c, TextTable::TextMainNoWheelSetting, QRect(20, 114, 304, 36), "WheelNoteLabel");
    return c;
}

QWidget *MainSettingWidget::buildMouseArea()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("MousePictureArea"));
    area->setGeometry(728, 12, 216, 448);
    m_picture = new QLabel(area);
    m_picture->setObjectName(QStringLiteral("MousePictureLabel"));
    m_picture->setGeometry(0, 0, MouseButtonLayout::PictureWidth, MouseButtonLayout::PictureHeight);
    showPicture();

    // The plates take their captions and places from the model's picture.
    for (int index = kFirstButton; index <= kLastButton; ++index) {
        auto *button = new MyPushButton(index, area);
        button->hide();
        connect(button, &MyPushButton::sig_ShowKeySettingDialog, this, &MainSettingWidget::slot_ShowKeySettingDialog);
        connect(button, &MyPushButton::sig_ShowMouseLeftLabel, this, &MainSettingWidget::slot_ShowMouseLeftLabel);
        m_buttons.insert(index, button);
        // Below the mouse: what the pointed-at button is and what it does now.
        auto *keyLabel = new QLabel(area);
        keyLabel->setObjectName(QStringLiteral("KeyLabel_%1").arg(index));
        keyLabel->setProperty("keyLabel", true);
        keyLabel->setAlignment(Qt::AlignCenter);
        keyLabel->setGeometry(4, MouseButtonLayout::PictureHeight - 38, MouseButtonLayout::PictureWidth - 8, 36);
        keyLabel->hide();
        m_keyLabels.insert(index, keyLabel);
    }

    m_drawLabel = label(area, TextTable::TextMainScreenText, QRect(8, 344, 200, 36), "DrawLabel");
    m_drawLabel->setProperty("cardHelp", true);
    m_drawLabel->setWordWrap(true);
    m_drawLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_drawButton = new QPushButton(TextTable::text(TextTable::TextMainScreenButton), area);
    m_drawButton->setObjectName(QStringLiteral("DrawButton"));
    m_drawButton->setCursor(Qt::PointingHandCursor);
    m_drawButton->setFocusPolicy(Qt::TabFocus);
    m_drawButton->setGeometry(28, 388, 160, 34);
    connect(m_drawButton, &QPushButton::clicked, this, &MainSettingWidget::on_DrawButton_clicked);
    m_drawLabel->hide();
    m_drawButton->hide();
    return area;
}

// The desktop's values, read once: nothing below is sent back while they are shown.
void MainSettingWidget::readPointerSettings()
{
    const PointerSettings &pointer = PointerSettings::system();
    m_pointSpeedSlider->setValue(pointer.pointerSpeed());
    m_speedNote->setVisible(!pointer.speedReachesDesktop());

    const int lines = pointer.wheelLines();
    const bool screen = lines == PointerSettings::ScreenPerNotch;
    (screen ? m_screenRadio : m_linesRadio)->setChecked(true);
    if (!screen) {
        const QSignalBlocker blocker(m_linesSpinBox);
        m_linesSpinBox->setValue(lines);
    }
    m_linesSpinBox->setEnabled(!screen && pointer.hasWheelLines());
    m_linesRadio->setEnabled(pointer.hasWheelLines());
    m_screenRadio->setEnabled(pointer.hasScreenPerNotch());
    m_wheelNote->setVisible(!pointer.hasWheelLines());

    connect(m_linesRadio, &QRadioButton::clicked, this, &MainSettingWidget::on_TrolleySpeed_RadioButton_1_clicked);
    connect(m_screenRadio, &QRadioButton::clicked, this, &MainSettingWidget::on_TrolleySpeed_RadioButton_2_clicked);
    connect(m_linesSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MainSettingWidget::on_spinBox_valueChanged);
}

// ---------------------------------------------------------------- model

void MainSettingWidget::connectBridge(DCDataHandle *handle)
{
    connect(this, &MainSettingWidget::sig_ChangeCPIListValue, handle, &DCDataHandle::slot_setCPIListValueOnMouse);
    connect(this, &MainSettingWidget::sig_ChangeUSBReportRate, handle, &DCDataHandle::slot_ChangeUsbReportRate);
    connect(handle, &DCDataHandle::sig_SetCurrentCpiListValueOnPage, this,
            &MainSettingWidget::slot_SetCpidListValueOnPage);
    connect(handle, &DCDataHandle::sig_SetCurrentReportRate, this, &MainSettingWidget::slot_SetUSBReportRateOnPage);
    connect(handle, &DCDataHandle::sig_TrueMouseValue, this, &MainSettingWidget::slot_SetKeyTrueValue);
    connect(handle, &DCDataHandle::sig_CurrentButtonIsOriginalButton, this,
            &MainSettingWidget::slot_SetMouseButtonStyleSheetIsOriginal);
}

void MainSettingWidget::setMouseType(int mouseType)
{
    m_mouseType = mouseType;
    for (CPIForm *form : qAsConst(m_cpiForms))
        form->setMouseType(mouseType);
    for (MyPushButton *button : qAsConst(m_buttons)) {
        button->setMouseType(mouseType);
        describePlate(button);
    }
    for (QLabel *keyLabel : qAsConst(m_keyLabels))
        keyLabel->hide();
    showPicture();
    const int levels = CpiTables::levelCount(mouseType);
    if (levels > 0)
        layoutLevels(levels);
    const bool screen = CpiTables::hasScreenButton(mouseType);
    m_drawButton->setVisible(screen);
    m_drawLabel->setVisible(screen);
    orderCpiTabStops();
}

void MainSettingWidget::orderCpiTabStops()
{
    // A level's slider and box are rebuilt for each model and would join the
    // end of the focus chain, some thirty Tab stops in. Each level's check
    // box, slider, field and its two steps go together, where the first
    // level's check box stands.
    QList<QWidget *> levels;
    for (CPIForm *form : qAsConst(m_cpiForms)) {
        levels << form->checkBox() << form->slider();
        if (USpinBox *box = form->spinBox())
            levels << box->lineEdit() << box->upButton() << box->downButton();
    }
    levels.removeAll(nullptr);
    QList<QWidget *> chain;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !chain.contains(w))
            chain << w;
    int at = -1;
    for (int i = 0; i < chain.size() && at < 0; ++i)
        if (levels.contains(chain.at(i)))
            at = i;
    for (QWidget *w : qAsConst(levels))
        chain.removeAll(w);
    if (at < 0 || at > chain.size())
        at = 0;
    for (int i = 0; i < levels.size(); ++i)
        chain.insert(at + i, levels.at(i));
    chainTabOrder(chain);
}

// Seven levels: 1-4 left, 5-7 right. Five levels: 1-3 left, 4-5 right, and
// rows 6 and 7 hidden and never counted as active.
void MainSettingWidget::layoutLevels(int count)
{
    const int leftRows = count == CpiLevels ? 4 : 3;
    for (int level = 0; level < CpiLevels; ++level) {
        CPIForm *form = m_cpiForms.value(level);
        const bool left = level < leftRows;
        const int row = left ? level : level - leftRows;
        form->move(left ? kRowLeft : kRowRight, kRowTop + row * kRowPitch);
        const bool shown = level < count;
        form->setVisible(shown);
        form->setCheckable(shown);
    }
}

// ---------------------------------------------------------------- CPI

void MainSettingWidget::slot_CpiChangeUIEvent(bool type)
{
    sendEvent(type ? QStringLiteral("CPISlider") : QStringLiteral("CPISpinBox"));
}

void MainSettingWidget::slot_CheckIsLastOneCpi(int level, int value)
{
    CPIForm *form = m_cpiForms.value(level);
    if (!form)
        return;
    // The form being switched off still counts itself.
    int active = 0;
    for (CPIForm *f : qAsConst(m_cpiForms))
        active += f->isChecked() ? 1 : 0;
    if (active < 2) {
        form->setCPIValue(value, true);
        return;
    }
    slot_ChangeCPIValueOnMouse(level, 0);
    form->setCheckedState(false);
}

void MainSettingWidget::slot_ChangeCPIValueOnMouse(int level, int value)
{
    if (level < 0 || level >= CpiLevels)
        return;
    sendEvent(QStringLiteral("CPILevel%1").arg(level + 1), QString::number(value));
    // A list not yet filled from the mouse grows with switched-off levels.
    while (m_cpiList.size() <= level)
        m_cpiList.append(0);
    m_cpiList[level] = DWORD(value);
    if (value != 0)
        storeCurrentValue(level, value);
    // Fewer than five levels is not a list the mouse was read into.
    if (m_cpiList.size() >= 5)
        emit sig_ChangeCPIListValue(m_cpiList);
}

void MainSettingWidget::slot_SetCpidListValueOnPage(QList<DWORD> listDword)
{
    const QJsonObject gear = SharedGear::current();
    for (int level = 0; level < CpiLevels; ++level) {
        CPIForm *form = m_cpiForms.value(level);
        form->setCPIValue(m_gearHandle->GetGearCurrentValue(gear, level), false);
        form->setCheckedState(false);
    }
    // Every level the list does not switch on is off: nothing of the previous
    // list may reach the mouse with the next change.
    m_cpiList = QList<DWORD>();
    for (int level = 0; level < CpiLevels; ++level)
        m_cpiList.append(0);

    // With variable positions the i-th level of the mouse sits at the i-th
    // enabled position of the gear file. A gear file with fewer enabled
    // positions than the mouse has levels is not this mouse's: the levels
    // then go in order, so none of them is lost.
    QList<int> positions;
    if (gear.value(QStringLiteral("GearVariable")).toBool()) {
        const QJsonArray levels = gear.value(QStringLiteral("GearData")).toArray();
        for (int p = 0; p < CpiLevels && p < levels.size(); ++p)
            if (levels.at(p).toObject().value(QStringLiteral("GearEnable")).toBool())
                positions.append(p);
    }
    int lastOn = -1;
    for (int i = 0; i < CpiLevels && i < listDword.size(); ++i)
        if (listDword.at(i) != 0)
            lastOn = i;
    const bool variable = !positions.isEmpty() && positions.size() > lastOn;

    // The values shown are kept in the gear file in one write, not one per level.
    QVector<QPair<int, int>> kept;
    for (int i = 0; i < CpiLevels && i < listDword.size(); ++i) {
        if (listDword.at(i) == 0)
            continue;
        // Shown and sent back only as a value the model can take.
        const DWORD value = m_mouseType != 0 ? DWORD(CpiTables::clamped(m_mouseType, int(listDword.at(i))))
                                              : listDword.at(i);
        const int p = variable ? positions.at(i) : i;
        CPIForm *form = m_cpiForms.value(p);
        form->setCheckedState(true);
        m_cpiList[p] = value;
        form->setCPIValue(int(value), true);
        kept.append({p, int(value)});
    }
    if (m_mouseType != 0 && !kept.isEmpty()) {
        QJsonObject updated = SharedGear::current();
        m_gearHandle->SetGearCurrentValues(m_mouseType, m_configNumber, updated, kept);
        SharedGear::setCurrent(updated);
    }
}

void MainSettingWidget::storeCurrentValue(int level, int value)
{
    // Nothing to keep before a model is known.
    if (m_mouseType == 0)
        return;
    QJsonObject gear = SharedGear::current();
    if (m_gearHandle->GetGearCurrentValue(gear, level) == value)
        return;
    m_gearHandle->SetGearCurrentValue(m_mouseType, m_configNumber, gear, level, value);
    SharedGear::setCurrent(gear);
}

// ---------------------------------------------------------------- report rate

void MainSettingWidget::slot_SetUSBReportRateOnPage(int value)
{
    if (value < 0 || value >= m_reportRateButtons.size())
        return;
    m_reportRateButtons.at(value)->setChecked(true);
}

void MainSettingWidget::changeReportRate(int code)
{
    emit sig_ChangeUSBReportRate(code);
    sendEvent(QStringLiteral("USBReportRate"), QLatin1String(kReportRateButtons[code].label));
}

void MainSettingWidget::on_USBReportRate_125RadioButton_clicked()
{
    changeReportRate(0);
}

void MainSettingWidget::on_USBReportRate_250RadioButton_clicked()
{
    changeReportRate(1);
}

void MainSettingWidget::on_USBReportRate_500RadioButton_clicked()
{
    changeReportRate(2);
}

void MainSettingWidget::on_USBReportRate_1000RadioButton_clicked()
{
    changeReportRate(3);
}

// ---------------------------------------------------------------- pointer and wheel

void MainSettingWidget::slot_SetPointSpeed(int value)
{
    sendEvent(QStringLiteral("PointSpeed"), QString::number(value));
    emit sig_SetPointSpeed(value);
}

void MainSettingWidget::on_TrolleySpeed_RadioButton_1_clicked()
{
    m_linesSpinBox->setEnabled(true);
    applyWheelLines(m_linesSpinBox->value());
}

void MainSettingWidget::on_TrolleySpeed_RadioButton_2_clicked()
{
    m_linesSpinBox->setEnabled(false);
    applyWheelLines(PointerSettings::ScreenPerNotch);
}

void MainSettingWidget::on_spinBox_valueChanged(int arg1)
{
    applyWheelLines(arg1);
}

void MainSettingWidget::applyWheelLines(int lines)
{
    emit sig_SetTrolleySpeed(lines);
    sendEvent(QStringLiteral("TrolleySpeed"),
              lines == PointerSettings::ScreenPerNotch ? QStringLiteral("OneScreen") : QString::number(lines));
}

// ---------------------------------------------------------------- buttons and screen

void MainSettingWidget::slot_SetKeyTrueValue(int button, int changeType, int trueMosueValue, int modifyKey)
{
    if (MyPushButton *b = m_buttons.value(button)) {
        b->setAssignment(changeType, trueMosueValue, modifyKey);
        // What the button now does is read on its plate, not only on hover.
        b->setAssignmentText(b->isOriginal() ? QString()
                                             : KeySettingDialog::shortText(changeType, trueMosueValue, modifyKey));
        describePlate(b);
    }
}

QString MainSettingWidget::plateDoes(const MyPushButton *b) const
{
    if (b->isOriginal())
        return TextTable::text(TextTable::TextButtonFactorySetting);
    return KeySettingDialog::statusText(b->changeType(), b->trueMouseValue(), b->modifyKey());
}

void MainSettingWidget::describePlate(MyPushButton *b) const
{
    // A screen reader says which button it is, then what it does now.
    b->setAccessibleName(MouseButtonLayout::dialogTitle(m_mouseType, b->index()));
    b->setAccessibleDescription(plateDoes(b));
}

// The mouse reports the look first and then, for a changed button, what it
// does: a button back to its factory function forgets what it did before.
void MainSettingWidget::slot_SetMouseButtonStyleSheetIsOriginal(bool state, int button)
{
    if (MyPushButton *b = m_buttons.value(button)) {
        b->setMouseButtonStyleSheetIsOriginal(state);
        describePlate(b);
    }
}

void MainSettingWidget::slot_ShowMouseLeftLabel(bool state, int button)
{
    for (QLabel *keyLabel : qAsConst(m_keyLabels))
        keyLabel->hide();
    MyPushButton *b = m_buttons.value(button);
    QLabel *keyLabel = m_keyLabels.value(button);
    if (!state || !b || !keyLabel)
        return;
    const QString does = plateDoes(b);
    const QString name = MouseButtonLayout::dialogTitle(m_mouseType, button);
    keyLabel->setText(does.isEmpty() ? name : name + QLatin1Char('\n') + does);
    keyLabel->show();
    keyLabel->raise();
}

void MainSettingWidget::showPicture()
{
    m_picture->setStyleSheet(QStringLiteral("border-image:url(%1);").arg(MouseButtonLayout::picturePath(m_mouseType)));
}

void MainSettingWidget::slot_ShowKeySettingDialog(int changedKey, int buttonChangeType, int buttonTrueValue,
                                                  int modifyKeyValue)
{
    sendEvent(QStringLiteral("MouseButton"), QString::number(changedKey));
    emit sig_showKeySettingDialog(changedKey, buttonChangeType, buttonTrueValue, modifyKeyValue);
}

void MainSettingWidget::on_DrawButton_clicked()
{
    sendEvent(QStringLiteral("DrawButton"));
    emit sig_showDrawDialog();
}

void MainSettingWidget::sendEvent(const QString &action, const QString &label)
{
    emit sig_SendEventMessageToGA(QStringLiteral("MainSettingWidget"), action, label,
                                  QStringLiteral("MainSettingWidget"));
}
