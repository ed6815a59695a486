#include "pages/MacroEditWidget.h"

#include "pages/TabOrder.h"
#include "platform/KeyCodes.h"
#include "store/TextTable.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QToolTip>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Playback types as the macro file stores them.
constexpr int PlayLoopCount = 0;
constexpr int PlayUntilPressAgain = 2;
constexpr int PlayWhilePressed = 4;
constexpr int IgnoreDelayOn = 2;

// The page's mouse-button buttons record these key values.
constexpr int MouseLeft = 1;
constexpr int MouseRight = 2;
constexpr int MouseMiddle = 4;

QString mouseButtonName(int button)
{
    switch (button) {
    case MouseLeft:
        return QStringLiteral("Mouse Left");
    case MouseRight:
        return QStringLiteral("Mouse Right");
    case MouseMiddle:
        return QStringLiteral("Mouse Middle");
    default:
        return QString();
    }
}

QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Reached by Tab; a click leaves the focus on the page, where the keys
    // being recorded go.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

template <typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

MacroEditWidget::MacroEditWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MacroEditWidget"));
    // Takes the keys while recording; not a Tab stop of its own.
    setFocusPolicy(Qt::ClickFocus);

    m_titleCombo = named(new QComboBox(this), "MacroTitleComboBox");
    m_nameList = named(new QListWidget(this), "MacroNameListWidget");
    m_eventList = named(new QListWidget(this), "EventListWidget");
    m_createButton = makeButton(QStringLiteral("CreateButton"), TextTable::text(TextTable::TextMacroNew), this);
    m_deleteButton = makeButton(QStringLiteral("DeleteButton"), TextTable::text(TextTable::TextMacroDelete), this);
    m_recordButton = makeButton(QStringLiteral("StartRecordButton"), TextTable::text(TextTable::TextMacroStartRecording), this);
    m_addEventButton = makeButton(QStringLiteral("AddEventButton"), QStringLiteral("+"), this);
    m_reduceEventButton = makeButton(QStringLiteral("ReduceEventButton"), QStringLiteral("-"), this);
    m_editEventButton = makeButton(QStringLiteral("EditEventButton"), QStringLiteral("✎"), this);
    m_leftButton = makeButton(QStringLiteral("LeftMouseButton"), QStringLiteral("L"), this);
    m_midButton = makeButton(QStringLiteral("MidMouseButton"), QStringLiteral("M"), this);
    m_rightButton = makeButton(QStringLiteral("RightMouseButton"), QStringLiteral("R"), this);
    m_ignoreDelay = named(new QCheckBox(TextTable::text(TextTable::TextMacroIgnoreDelays), this), "IgnoreEventWaiteTimeCheckBox");
    m_repeatTimes = named(new QSpinBox(this), "RepeatTimesSpinBox");
    // Named as the captions beside them say, for a screen reader.
    m_titleCombo->setAccessibleName(TextTable::text(TextTable::TextMacroChoose));
    m_titleCombo->view()->setAccessibleName(TextTable::text(TextTable::TextMacroChoose));
    m_nameList->setAccessibleName(TextTable::text(TextTable::TextMacroChoose));
    m_eventList->setAccessibleName(TextTable::text(TextTable::TextMacroEvents));
    m_repeatTimes->setAccessibleName(TextTable::text(TextTable::TextMacroRepeat));
    m_repeatTimes->setRange(1, 255);
    m_recordButton->setToolTip(TextTable::text(TextTable::TextMacroEscapeStops));
    m_recordButton->setAccessibleDescription(TextTable::text(TextTable::TextMacroEscapeStops));
    m_loopCount = named(new QRadioButton(TextTable::text(TextTable::TextMacroPlayCount), this), "LoopCount_RadioButton");
    m_playWhilePressed =
        named(new QRadioButton(TextTable::text(TextTable::TextMacroPlayWhileHeld), this), "PlayWhenItPressed_RadioButton");
    m_playUntilPressAgain = named(new QRadioButton(TextTable::text(TextTable::TextMacroPlayToggle), this),
                                  "PlayUntilPressAgain_RadioButton");
    m_loopCount->setChecked(true);

    m_editArea = named(new QWidget(this), "EditArea");
    m_editKeyRadio =
        named(new QRadioButton(TextTable::text(TextTable::TextMacroEditKey), m_editArea), "ChangeOrInsertKeyRadioButton");
    m_editDelayRadio =
        named(new QRadioButton(TextTable::text(TextTable::TextMacroEditDelay), m_editArea), "ChangeOrInsertDelayTimeRadioButton");
    m_editPositionRadio = named(new QRadioButton(TextTable::text(TextTable::TextMacroEditPosition), m_editArea),
                                "ChangeOrInsetAMousePositionRadioButton");
    m_editField = named(new QLineEdit(m_editArea), "EditLineEdit");
    m_editField->setAccessibleName(TextTable::text(TextTable::TextMacroEditLabel));
    m_editY = named(new QLineEdit(m_editArea), "YLineEdit");
    m_editY->setAccessibleName(QStringLiteral("Y"));
    m_addCertainButton = makeButton(QStringLiteral("AddCertainButton"), QStringLiteral("OK"), m_editArea);
    m_editY->setValidator(new QIntValidator(0, 65535, m_editY));
    m_editKeyRadio->setChecked(true);
    // A click on a kind leaves the focus in the field, where the key is typed.
    for (QRadioButton *kind : {m_editKeyRadio, m_editDelayRadio, m_editPositionRadio})
        kind->setFocusPolicy(Qt::TabFocus);
    m_editField->installEventFilter(this);

    auto *editLayout = new QGridLayout(m_editArea);
    editLayout->addWidget(m_editKeyRadio, 0, 0, 1, 2);
    editLayout->addWidget(m_editDelayRadio, 1, 0, 1, 2);
    editLayout->addWidget(m_editPositionRadio, 2, 0, 1, 2);
    editLayout->addWidget(new QLabel(TextTable::text(TextTable::TextMacroEditLabel), m_editArea), 3, 0);
    editLayout->addWidget(m_editField, 3, 1);
    // "Y:" belongs to its field: shown and hidden with it.
    m_editYLabel = new QLabel(QStringLiteral("Y:"), m_editArea);
    editLayout->addWidget(m_editYLabel, 4, 0);
    editLayout->addWidget(m_editY, 4, 1);
    editLayout->addWidget(m_addCertainButton, 5, 1);
    m_editArea->hide();

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(TextTable::text(TextTable::TextMacroChoose), this));
    left->addWidget(m_titleCombo);
    left->addWidget(m_nameList);
    auto *nameButtons = new QHBoxLayout;
    nameButtons->addWidget(m_createButton);
    nameButtons->addWidget(m_deleteButton);
    left->addLayout(nameButtons);

    auto *middle = new QVBoxLayout;
    middle->addWidget(new QLabel(TextTable::text(TextTable::TextMacroEvents), this));
    middle->addWidget(m_eventList);
    auto *eventButtons = new QHBoxLayout;
    eventButtons->addWidget(m_addEventButton);
    eventButtons->addWidget(m_reduceEventButton);
    eventButtons->addWidget(m_editEventButton);
    middle->addLayout(eventButtons);

    auto *right = new QVBoxLayout;
    right->addWidget(m_recordButton);
    right->addWidget(new QLabel(TextTable::text(TextTable::TextMacroRecordButtons), this));
    auto *mouseButtons = new QHBoxLayout;
    mouseButtons->addWidget(m_leftButton);
    mouseButtons->addWidget(m_midButton);
    mouseButtons->addWidget(m_rightButton);
    right->addLayout(mouseButtons);
    right->addWidget(m_ignoreDelay);
    auto *repeat = new QHBoxLayout;
    repeat->addWidget(new QLabel(TextTable::text(TextTable::TextMacroRepeat), this));
    repeat->addWidget(m_repeatTimes);
    right->addLayout(repeat);
    right->addWidget(m_loopCount);
    right->addWidget(m_playWhilePressed);
    right->addWidget(m_playUntilPressAgain);
    right->addWidget(m_editArea);
    right->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(middle, 1);
    layout->addLayout(right);

    connect(m_titleCombo, &QComboBox::currentTextChanged, this,
            &MacroEditWidget::on_MacroTitleComboBox_currentTextChanged);
    connect(m_nameList, &QListWidget::currentItemChanged, this, &MacroEditWidget::slot_currentItemChanged);
    connect(m_nameList, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { setMacroNameInFile(item->text(), item->data(Qt::UserRole).toString()); });
    connect(m_nameList, &QListWidget::itemPressed, this, &MacroEditWidget::on_MacroNameListWidget_itemPressed);
    connect(m_createButton, &QPushButton::clicked, this, &MacroEditWidget::on_CreateButton_clicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &MacroEditWidget::on_DeleteButton_clicked);
    connect(m_recordButton, &QPushButton::clicked, this, &MacroEditWidget::on_StartRecordButton_clicked);
    connect(m_addEventButton, &QPushButton::clicked, this, &MacroEditWidget::on_AddEventButton_clicked);
    connect(m_reduceEventButton, &QPushButton::clicked, this, &MacroEditWidget::on_ReduceEventButton_clicked);
    connect(m_editEventButton, &QPushButton::clicked, this, &MacroEditWidget::on_EditEventButton_clicked);
    connect(m_eventList, &QListWidget::currentRowChanged, this, &MacroEditWidget::on_EventListWidget_currentRowChanged);
    connect(m_addCertainButton, &QPushButton::clicked, this, &MacroEditWidget::on_AddCertainButton_clicked);
    connect(m_editKeyRadio, &QRadioButton::clicked, this, &MacroEditWidget::on_ChangeOrInsertKeyRadioButton_clicked);
    connect(m_editDelayRadio, &QRadioButton::clicked, this,
            &MacroEditWidget::on_ChangeOrInsertDelayTimeRadioButton_clicked);
    connect(m_editPositionRadio, &QRadioButton::clicked, this,
            &MacroEditWidget::on_ChangeOrInsetAMousePositionRadioButton_clicked);
    connect(m_repeatTimes, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MacroEditWidget::on_RepeatTimesSpinBox_valueChanged);
    connect(m_ignoreDelay, &QCheckBox::clicked, this, &MacroEditWidget::on_IgnoreEventWaiteTimeCheckBox_clicked);
    connect(m_playWhilePressed, &QRadioButton::clicked, this,
            &MacroEditWidget::on_PlayWhenItPressed_RadioButton_clicked);
    connect(m_loopCount, &QRadioButton::clicked, this, &MacroEditWidget::on_LoopCount_RadioButton_clicked);
    connect(m_playUntilPressAgain, &QRadioButton::clicked, this,
            &MacroEditWidget::on_PlayUntilPressAgain_RadioButton_clicked);
    connect(m_leftButton, &QPushButton::pressed, this, &MacroEditWidget::on_LeftMouseButton_pressed);
    connect(m_leftButton, &QPushButton::released, this, &MacroEditWidget::on_LeftMouseButton_released);
    connect(m_midButton, &QPushButton::pressed, this, &MacroEditWidget::on_MidMouseButton_pressed);
    connect(m_midButton, &QPushButton::released, this, &MacroEditWidget::on_MidMouseButton_released);
    connect(m_rightButton, &QPushButton::pressed, this, &MacroEditWidget::on_RightMouseButton_pressed);
    connect(m_rightButton, &QPushButton::released, this, &MacroEditWidget::on_RightMouseButton_released);

    // Reading order: the macros, their events, then recording and playback.
    chainTabOrder({m_titleCombo, m_nameList, m_createButton, m_deleteButton, m_eventList, m_addEventButton,
                   m_reduceEventButton, m_editEventButton, m_recordButton, m_leftButton, m_midButton, m_rightButton,
                   m_ignoreDelay, m_repeatTimes, m_loopCount, m_playWhilePressed, m_playUntilPressAgain,
                   m_editKeyRadio, m_editDelayRadio, m_editPositionRadio, m_editField, m_editY, m_addCertainButton});

    on_ChangeOrInsertKeyRadioButton_clicked();
    reloadLists();
}

// Macros reach the mouse through the button dialog; the page itself only edits files.
void MacroEditWidget::connectBridge(DCDataHandle *) { }

void MacroEditWidget::reloadLists()
{
    if (m_isRecording)
        return;
    const QString player = JsonHandle::playerCustomMacroFolderPath(); // created if missing
    const QString wanted = m_titleCombo->count() ? m_titleCombo->currentData().toString() : QFileInfo(player).absoluteFilePath();
    {
        const QSignalBlocker block(m_titleCombo);
        m_titleCombo->clear();
        const QDir root(JsonHandle::macroFolderPath());
        // The user's own folder by a name a person reads, not its folder name.
        for (const QFileInfo &group : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            m_titleCombo->addItem(group.absoluteFilePath() == QFileInfo(player).absoluteFilePath()
                                      ? TextTable::text(TextTable::TextMacroOwnGroup)
                                      : group.fileName(),
                                  group.absoluteFilePath());
        const int index = m_titleCombo->findData(wanted);
        m_titleCombo->setCurrentIndex(index >= 0 ? index : 0);
    }
    on_MacroTitleComboBox_currentTextChanged(m_titleCombo->currentText());
}

void MacroEditWidget::slot_reLoadMacroNamelist()
{
    reloadLists();
}

void MacroEditWidget::on_MacroTitleComboBox_currentTextChanged(QString)
{
    loadNameList(m_titleCombo->currentData().toString());
}

void MacroEditWidget::loadNameList(QString path)
{
    {
        const QSignalBlocker block(m_nameList);
        m_nameList->clear();
        if (!path.isEmpty()) {
            for (const QString &file : JsonHandle::macroFileList(path)) {
                auto *item = new QListWidgetItem(m_json.getMacroName(file), m_nameList);
                item->setData(Qt::UserRole, file);
                item->setFlags(item->flags() | Qt::ItemIsEditable);
            }
        }
        m_nameList->setCurrentItem(nullptr);
    }
    slot_currentItemChanged(nullptr, nullptr);
}

QString MacroEditWidget::currentMacroPath() const
{
    const QListWidgetItem *item = m_nameList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void MacroEditWidget::slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *)
{
    closeEditArea();
    deleteListWidgetAllItem(m_eventList);
    const QString path = current ? current->data(Qt::UserRole).toString() : QString();
    const QSignalBlocker b1(m_repeatTimes), b2(m_ignoreDelay);
    // Recording fills the chosen macro: with none chosen the button is off,
    // and says what it waits for.
    m_recordButton->setEnabled(m_isRecording || !path.isEmpty());
    m_recordButton->setToolTip(path.isEmpty() ? TextTable::text(TextTable::TextMacroChooseFirst)
                                              : TextTable::text(TextTable::TextMacroEscapeStops));
    if (path.isEmpty()) {
        m_repeatTimes->setValue(1);
        m_ignoreDelay->setChecked(false);
        m_loopCount->setChecked(true);
        setSpinBoxUnable();
        return;
    }
    loadEventList(path);
    const int type = m_json.getMacroType(path);
    (type == PlayWhilePressed          ? m_playWhilePressed
         : type == PlayUntilPressAgain ? m_playUntilPressAgain
                                       : m_loopCount)
        ->setChecked(true);
    m_repeatTimes->setValue(m_json.getRepeatTimes(path));
    m_ignoreDelay->setChecked(m_json.getIgnoreDelayTime(path) == IgnoreDelayOn);
    setSpinBoxUnable();
}

void MacroEditWidget::loadEventList(QString path)
{
    deleteListWidgetAllItem(m_eventList);
    for (const MacroNode &node : m_json.getMacroNodeList(path)) {
        if (node.valueType == KeyRow)
            addEventListTextItem(node, -1);
        else if (node.valueType == PositionRow)
            addEventListPositionItem(node, -1);
        else
            continue;
        if (node.timeLapse != 0)
            addEventListTimeItem(DelayRow, node.timeLapse, -1);
    }
}

void MacroEditWidget::on_MacroNameListWidget_itemPressed(QListWidgetItem *) { }
void MacroEditWidget::on_MacroNameListWidget_activated() { }
void MacroEditWidget::on_MacroNameListWidget_itemActivated() { }

void MacroEditWidget::EditArrayEditable(bool state)
{
    m_addEventButton->setEnabled(state);
    m_reduceEventButton->setEnabled(state);
    m_editEventButton->setEnabled(state);
}

void MacroEditWidget::slot_MacroNameEditFinishedfunc()
{
    if (QListWidgetItem *item = m_nameList->currentItem())
        setMacroNameInFile(item->text(), item->data(Qt::UserRole).toString());
}

void MacroEditWidget::setMacroNameInFile(QString name, QString path)
{
    if (path.isEmpty() || name == m_json.getMacroName(path))
        return;
    m_json.setMacroName(path, name);
}

void MacroEditWidget::on_CreateButton_clicked()
{
    if (m_isRecording)
        return;
    const QString path = m_json.createNewMacroFile();
    const int group = m_titleCombo->findData(QFileInfo(path).absolutePath());
    if (group >= 0 && group != m_titleCombo->currentIndex())
        m_titleCombo->setCurrentIndex(group); // reloads the names, the new file among them
    QListWidgetItem *item = nullptr;
    for (int row = 0; row < m_nameList->count(); ++row)
        if (m_nameList->item(row)->data(Qt::UserRole).toString() == path)
            item = m_nameList->item(row);
    if (!item) {
        const QSignalBlocker block(m_nameList);
        item = new QListWidgetItem(m_json.getMacroName(path), m_nameList);
        item->setData(Qt::UserRole, path);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_nameList->setCurrentItem(item);
    if (isVisible())
        m_nameList->editItem(item);
    emit sig_SendEventMessageToGA(QStringLiteral("MacroEdit"), QStringLiteral("Create"), QString(), QString());
}

void MacroEditWidget::on_DeleteButton_clicked()
{
    if (m_isRecording)
        return;
    QListWidgetItem *item = m_nameList->currentItem();
    if (!item)
        return;
    // Only the file goes: a copy already in the mouse stays bound to its button.
    deleteFile(item->data(Qt::UserRole).toString());
    delete m_nameList->takeItem(m_nameList->row(item));
    slot_currentItemChanged(m_nameList->currentItem(), nullptr);
}

void MacroEditWidget::deleteFile(QString path)
{
    m_json.removeFile(path);
}

void MacroEditWidget::setMacroBanddingClick(bool state)
{
    m_createButton->setEnabled(state);
    m_deleteButton->setEnabled(state);
    m_nameList->setEnabled(state);
    m_titleCombo->setEnabled(state);
}

void MacroEditWidget::deleteListWidgetAllItem(QListWidget *list)
{
    const QSignalBlocker block(list);
    list->clear();
}

// ---- Event list rows

void MacroEditWidget::addEventListTimeItem(int type, int time, int row)
{
    // A clock drawn for the row: the fonts here have no clock character.
    auto *item = new QListWidgetItem(QIcon(QStringLiteral(":/picture/picture/macro_icon_time.png")),
                                     QStringLiteral("%1ms").arg(time));
    item->setData(RowTypeRole, type);
    item->setData(RowTimeRole, time);
    m_eventList->insertItem(row < 0 ? m_eventList->count() : row, item);
}

void MacroEditWidget::addEventListTextItem(MacroNode node, int row)
{
    // Down arrow for a press, up arrow for a release.
    const QString arrow = node.state == 1 ? QStringLiteral("\u2191") : QStringLiteral("\u2193");
    if (node.text.isEmpty()) // files written elsewhere may carry no name
        node.text = createKeyButtonNode(node.keyValue, node.state, node.timeLapse).text;
    auto *item = new QListWidgetItem(QStringLiteral("%1 %2").arg(arrow, node.text));
    item->setData(RowTypeRole, int(KeyRow));
    item->setData(RowNodeRole, QVariant::fromValue(node));
    m_eventList->insertItem(row < 0 ? m_eventList->count() : row, item);
}

void MacroEditWidget::addEventListPositionItem(MacroNode node, int row)
{
    auto *item = new QListWidgetItem(QStringLiteral("(%1,%2)").arg(node.coordinateX).arg(node.coordinateY));
    item->setData(RowTypeRole, int(PositionRow));
    item->setData(RowNodeRole, QVariant::fromValue(node));
    m_eventList->insertItem(row < 0 ? m_eventList->count() : row, item);
}

void MacroEditWidget::on_EventListWidget_currentRowChanged(int) { }

// Two delays in a row become one holding their sum.
void MacroEditWidget::checkIsTwoNormalTime()
{
    for (int row = 1; row < m_eventList->count();) {
        QListWidgetItem *above = m_eventList->item(row - 1);
        QListWidgetItem *here = m_eventList->item(row);
        if (above->data(RowTypeRole).toInt() == DelayRow && here->data(RowTypeRole).toInt() == DelayRow) {
            const int sum = above->data(RowTimeRole).toInt() + here->data(RowTimeRole).toInt();
            delete m_eventList->takeItem(row);
            delete m_eventList->takeItem(row - 1);
            addEventListTimeItem(DelayRow, sum, row - 1);
        } else {
            ++row;
        }
    }
}

// The rows as the file stores them: each delay row folded into the event above it.
QList<MacroNode> MacroEditWidget::eventNodes() const
{
    QList<MacroNode> nodes;
    for (int row = 0; row < m_eventList->count(); ++row) {
        const QListWidgetItem *item = m_eventList->item(row);
        if (item->data(RowTypeRole).toInt() == DelayRow) {
            if (!nodes.isEmpty())
                nodes.last().timeLapse += item->data(RowTimeRole).toInt();
            continue;
        }
        MacroNode node = item->data(RowNodeRole).value<MacroNode>();
        node.timeLapse = 0;
        nodes.append(node);
    }
    return nodes;
}

void MacroEditWidget::updateMacroFile()
{
    const QString path = currentMacroPath();
    if (path.isEmpty())
        return;
    checkIsTwoNormalTime();
    const QList<MacroNode> nodes = eventNodes();
    setMacroKeyInFile(nodes, path);
    setMacroLength(calculateMacroListLength(nodes));
}

void MacroEditWidget::setMacroKeyInFile(QList<MacroNode> nodeList, QString path)
{
    m_json.setMacroNodeList(path, nodeList);
}

void MacroEditWidget::setMacroLength(int length)
{
    const QString path = currentMacroPath();
    if (!path.isEmpty())
        m_json.setMacroLength(path, length);
}

int MacroEditWidget::getMacroLength()
{
    const QString path = currentMacroPath();
    return path.isEmpty() ? 0 : m_json.getMacroLength(path);
}

void MacroEditWidget::calculateMacroNodeLength(int time)
{
    m_macroLength += JsonHandle::calculateMacroNodeLength(time);
    if (m_macroLength >= JsonHandle::MacroLengthLimit)
        qInfo().noquote() << QStringLiteral("MacroNodeIsTooLong ") << m_macroLength;
}

int MacroEditWidget::calculateMacroListLength(QList<MacroNode> nodeList)
{
    return JsonHandle::calculateMacroListLength(nodeList);
}

// ---- Recording

void MacroEditWidget::setControlsForRecording(bool recording)
{
    m_addEventButton->setVisible(!recording);
    m_reduceEventButton->setVisible(!recording);
    m_editEventButton->setVisible(!recording);
    setMacroBanddingClick(!recording);
    m_ignoreDelay->setEnabled(!recording);
    m_loopCount->setEnabled(!recording);
    m_playWhilePressed->setEnabled(!recording);
    m_playUntilPressAgain->setEnabled(!recording);
    if (recording)
        m_repeatTimes->setEnabled(false);
    else
        setSpinBoxUnable();
}

void MacroEditWidget::on_StartRecordButton_clicked()
{
    if (m_isRecording) {
        stopRecording();
        return;
    }
    if (currentMacroPath().isEmpty())
        return;
    closeEditArea();
    m_macroLength = 0;
    deleteListWidgetAllItem(m_eventList);
    m_editNodes.clear();
    m_isFirstEvent = true;
    m_isRecording = true;
    m_recordButton->setText(TextTable::text(TextTable::TextMacroStopRecording));
    setControlsForRecording(true);
    setFocus(Qt::OtherFocusReason);
    emit sig_BanClickTopButton(true, true);
    emit sig_SendEventMessageToGA(QStringLiteral("MacroEdit"), QStringLiteral("StartRecord"), QString(), QString());
}

void MacroEditWidget::stopRecording()
{
    if (!m_isRecording)
        return;
    m_isRecording = false;
    m_recordButton->setText(TextTable::text(TextTable::TextMacroStartRecording));
    setControlsForRecording(false);
    updateMacroFile();
    setMacroLength(m_macroLength);
    m_macroLength = 0;
    emit sig_BanClickTopButton(false, false);
}

void MacroEditWidget::resetRecordState()
{
    ++m_resets;
    stopRecording();
}

void MacroEditWidget::hideEvent(QHideEvent *event)
{
    stopRecording();
    QWidget::hideEvent(event);
}

void MacroEditWidget::recordEvent(int keyCode, int state)
{
    int time = 1;
    if (m_isFirstEvent) {
        m_isFirstEvent = false;
        m_gapTimer.restart();
    } else {
        time = int(qMin<qint64>(m_gapTimer.restart(), INT_MAX));
        addEventListTimeItem(DelayRow, time, -1);
    }
    addEventListTextItem(createKeyButtonNode(keyCode, state, time), -1);
    m_eventList->scrollToBottom();
    calculateMacroNodeLength(time);
    if (m_macroLength >= JsonHandle::MacroLengthLimit) {
        stopRecording();
        emit sig_ShowWarningWidgetOnMacroEditWidget(27);
    }
}

MacroNode MacroEditWidget::createKeyButtonNode(int keyCode, int state, int time)
{
    MacroNode node;
    node.valueType = KeyRow;
    node.keyValue = keyCode;
    node.state = state;
    node.timeLapse = time;
    node.text = keyCode == MouseLeft || keyCode == MouseRight || keyCode == MouseMiddle ? mouseButtonName(keyCode)
                                                                                        : KeyCodes::keyName(keyCode);
    if (node.text.isEmpty())
        node.text = QString::number(keyCode);
    return node;
}

MacroNode MacroEditWidget::createMouseButtonPressNode(int button)
{
    return createKeyButtonNode(button, 0, 1);
}
MacroNode MacroEditWidget::createMouseButtonRelaseNode(int button)
{
    return createKeyButtonNode(button, 1, 1);
}

void MacroEditWidget::turnShortCutScanCodeToVirtualCode(int scanCode, int &virtuanCode)
{
    // Set-1 scan codes of the left and right modifiers; 0xE0-prefixed ones count 256 up.
    static const struct
    {
        int scan, code;
    } modifiers[] = {
        {29, KeyCodes::VkLControl}, {42, KeyCodes::VkLShift},    {54, KeyCodes::VkRShift},
        {56, KeyCodes::VkLMenu},    {285, KeyCodes::VkRControl}, {312, KeyCodes::VkRMenu},
    };
    for (const auto &m : modifiers)
        if (m.scan == scanCode)
            virtuanCode = m.code;
}

void MacroEditWidget::insertAMouseButtonNode(int button)
{
    if (!m_editArea->isVisible() || m_editMode != EditKey)
        return;
    m_editNodes = {createMouseButtonPressNode(button), createMouseButtonRelaseNode(button)};
    m_editField->setText(mouseButtonName(button));
}

void MacroEditWidget::on_LeftMouseButton_pressed()
{
    m_isRecording ? recordEvent(MouseLeft, 0) : insertAMouseButtonNode(MouseLeft);
}
void MacroEditWidget::on_LeftMouseButton_released()
{
    if (m_isRecording)
        recordEvent(MouseLeft, 1);
}
void MacroEditWidget::on_MidMouseButton_pressed()
{
    m_isRecording ? recordEvent(MouseMiddle, 0) : insertAMouseButtonNode(MouseMiddle);
}
void MacroEditWidget::on_MidMouseButton_released()
{
    if (m_isRecording)
        recordEvent(MouseMiddle, 1);
}
void MacroEditWidget::on_RightMouseButton_pressed()
{
    m_isRecording ? recordEvent(MouseRight, 0) : insertAMouseButtonNode(MouseRight);
}
void MacroEditWidget::on_RightMouseButton_released()
{
    if (m_isRecording)
        recordEvent(MouseRight, 1);
}

void MacroEditWidget::setRightMouseButtonShowOrHide(bool state)
{
    m_rightButton->setVisible(state);
}

bool MacroEditWidget::event(QEvent *event)
{
    // While recording every key is part of the macro: Tab too, and no
    // shortcut takes one away.
    if (m_isRecording) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                event->type() == QEvent::KeyPress ? keyPressEvent(key) : keyReleaseEvent(key);
                return true;
            }
        }
    }
    return QWidget::event(event);
}

bool MacroEditWidget::eventFilter(QObject *watched, QEvent *event)
{
    // In key mode the edit field takes the key to insert, all but Tab,
    // which moves on to the next control.
    if (watched == m_editField && m_editMode == EditKey
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (!tab) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                keyPressEvent(key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MacroEditWidget::keyPressEvent(QKeyEvent *event)
{
    // Escape ends a recording, so that one started from the keyboard can be
    // stopped from it; an Escape for the macro is inserted by hand.
    if (m_isRecording && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat()) {
            stopRecording();
            m_recordButton->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    const int code = KeyCodes::virtualKey(event->key(), event->modifiers(), event->nativeScanCode());
    if (event->isAutoRepeat() || code == 0 || code == 12) {
        event->accept();
        return;
    }
    if (m_isRecording) {
        recordEvent(code, 0);
    } else if (m_editArea->isVisible() && m_editMode == EditKey) {
        m_editNodes = {createKeyButtonNode(code, 0, 1), createKeyButtonNode(code, 1, 1)};
        m_editField->setText(m_editNodes.first().text);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void MacroEditWidget::keyReleaseEvent(QKeyEvent *event)
{
    const int code = KeyCodes::virtualKey(event->key(), event->modifiers(), event->nativeScanCode());
    if (m_isRecording && !event->isAutoRepeat() && code != 0 && code != 12) {
        recordEvent(code, 1);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

// ---- Editing by hand

void MacroEditWidget::on_AddEventButton_clicked()
{
    if (m_isRecording)
        return;
    if (m_eventList->currentRow() < 0) {
        // Said where the click was, not only in the log.
        QToolTip::showText(m_addEventButton->mapToGlobal(QPoint(0, m_addEventButton->height())),
                           TextTable::text(currentMacroPath().isEmpty() ? TextTable::TextMacroChooseFirst
                                                                        : TextTable::TextMacroChooseEventFirst),
                           m_addEventButton);
        return;
    }
    if (getMacroLength() >= JsonHandle::MacroLengthLimit) {
        emit sig_ShowWarningWidgetOnMacroEditWidget(27);
        return;
    }
    openEditArea(false);
}

void MacroEditWidget::on_EditEventButton_clicked()
{
    QListWidgetItem *item = m_eventList->currentItem();
    if (m_isRecording || !item) {
        qInfo() << "no event row selected";
        return;
    }
    openEditArea(true);
    const MacroNode node = item->data(RowNodeRole).value<MacroNode>();
    switch (item->data(RowTypeRole).toInt()) {
    case DelayRow:
        m_editDelayRadio->setChecked(true);
        on_ChangeOrInsertDelayTimeRadioButton_clicked();
        m_editField->setText(QString::number(item->data(RowTimeRole).toInt()));
        break;
    case PositionRow:
        m_editPositionRadio->setChecked(true);
        on_ChangeOrInsetAMousePositionRadioButton_clicked();
        m_editField->setText(QString::number(node.coordinateX));
        m_editY->setText(QString::number(node.coordinateY));
        break;
    default:
        m_editKeyRadio->setChecked(true);
        on_ChangeOrInsertKeyRadioButton_clicked();
        m_editNodes = {createKeyButtonNode(node.keyValue, 0, 1), createKeyButtonNode(node.keyValue, 1, 1)};
        m_editField->setText(node.text);
        break;
    }
}

void MacroEditWidget::on_ReduceEventButton_clicked()
{
    const int row = m_eventList->currentRow();
    if (m_isRecording || row < 0) {
        qInfo() << "no event row selected";
        return;
    }
    delete m_eventList->takeItem(row);
    checkIsTwoNormalTime();
    updateMacroFile();
}

void MacroEditWidget::openEditArea(bool replacing)
{
    m_editReplaces = replacing;
    m_editNodes.clear();
    m_editField->clear();
    m_editY->clear();
    m_editArea->show();
    m_editField->setFocus(Qt::OtherFocusReason);
}

void MacroEditWidget::closeEditArea()
{
    // Focus in the closing area goes back to the events it edited.
    if (m_editArea->isAncestorOf(window()->focusWidget()))
        m_eventList->setFocus(Qt::OtherFocusReason);
    m_editArea->hide();
    m_editNodes.clear();
    m_editField->clear();
    m_editY->clear();
}

void MacroEditWidget::on_AddCertainButton_clicked()
{
    int row = m_eventList->currentRow();
    if (row < 0 || currentMacroPath().isEmpty())
        return;
    bool ok = false;
    QList<QListWidgetItem *> added;
    const int at = m_editReplaces ? row : row + 1;
    switch (m_editMode) {
    case EditKey:
        if (m_editNodes.isEmpty())
            return;
        if (m_editReplaces)
            delete m_eventList->takeItem(row);
        for (int i = 0; i < m_editNodes.size(); ++i)
            addEventListTextItem(m_editNodes.at(i), at + i);
        break;
    case EditDelay: {
        const int ms = m_editField->text().toInt(&ok);
        if (!ok || ms < 0 || ms > MaxDelayMs)
            return;
        if (m_editReplaces)
            delete m_eventList->takeItem(row);
        addEventListTimeItem(DelayRow, ms, at);
        break;
    }
    case EditPosition: {
        bool okY = false;
        MacroNode node;
        node.valueType = PositionRow;
        node.coordinateX = m_editField->text().toInt(&ok);
        node.coordinateY = m_editY->text().toInt(&okY);
        if (!ok || !okY)
            return;
        node.text = QStringLiteral("(%1,%2)").arg(node.coordinateX).arg(node.coordinateY);
        if (m_editReplaces)
            delete m_eventList->takeItem(row);
        addEventListPositionItem(node, at);
        break;
    }
    }
    checkIsTwoNormalTime();
    closeEditArea();
    updateMacroFile();
}

void MacroEditWidget::setEditKeyAddDelayTimeState(bool addKey, bool addDelayTime)
{
    m_editField->setReadOnly(addKey);
    m_editY->setVisible(!addKey && !addDelayTime);
    m_editYLabel->setVisible(m_editY->isVisibleTo(m_editArea));
    delete m_editField->validator();
    if (addDelayTime)
        m_editField->setValidator(new QIntValidator(0, MaxDelayMs, m_editField));
    else if (!addKey)
        m_editField->setValidator(new QIntValidator(0, 65535, m_editField));
    else
        m_editField->setValidator(nullptr);
}

void MacroEditWidget::on_ChangeOrInsertKeyRadioButton_clicked()
{
    m_editMode = EditKey;
    m_editNodes.clear();
    m_editField->clear();
    setEditKeyAddDelayTimeState(true, false);
    focusEditField(m_editKeyRadio);
}

void MacroEditWidget::on_ChangeOrInsertDelayTimeRadioButton_clicked()
{
    m_editMode = EditDelay;
    m_editField->clear();
    setEditKeyAddDelayTimeState(false, true);
    focusEditField(m_editDelayRadio);
}

void MacroEditWidget::on_ChangeOrInsetAMousePositionRadioButton_clicked()
{
    m_editMode = EditPosition;
    m_editField->clear();
    m_editY->clear();
    setEditKeyAddDelayTimeState(false, false);
    focusEditField(m_editPositionRadio);
}

void MacroEditWidget::focusEditField(QRadioButton *kind)
{
    // Arrow keys moving through the kinds keep the focus there.
    if (m_editArea->isVisible() && !kind->hasFocus())
        m_editField->setFocus(Qt::OtherFocusReason);
}

// ---- Playback settings, each written at once

void MacroEditWidget::setSpinBoxUnable()
{
    m_repeatTimes->setEnabled(m_loopCount->isChecked());
}

void MacroEditWidget::setMacroTypeInFile(int type)
{
    const QString path = currentMacroPath();
    if (!path.isEmpty())
        m_json.setMacroType(path, type);
    setSpinBoxUnable();
    emit sig_SendEventMessageToGA(QStringLiteral("MacroEdit"), QStringLiteral("PlayType"), QString::number(type),
                                  QString());
}

void MacroEditWidget::setMacroRepeateTimesInFile(int times)
{
    const QString path = currentMacroPath();
    if (!path.isEmpty())
        m_json.setRepeatTimes(path, times);
}

void MacroEditWidget::on_RepeatTimesSpinBox_valueChanged(int value)
{
    setMacroRepeateTimesInFile(value);
    emit sig_SendEventMessageToGA(QStringLiteral("MacroEdit"), QStringLiteral("RepeatTimes"), QString::number(value),
                                  QString());
}

void MacroEditWidget::on_IgnoreEventWaiteTimeCheckBox_clicked()
{
    const QString path = currentMacroPath();
    if (!path.isEmpty())
        m_json.setIgnoreDelayTime(path, m_ignoreDelay->isChecked() ? IgnoreDelayOn : 0);
    emit sig_SendEventMessageToGA(QStringLiteral("MacroEdit"), QStringLiteral("IgnoreDelay"), QString(), QString());
}

void MacroEditWidget::on_PlayWhenItPressed_RadioButton_clicked()
{
    setMacroTypeInFile(PlayWhilePressed);
}
void MacroEditWidget::on_LoopCount_RadioButton_clicked()
{
    setMacroTypeInFile(PlayLoopCount);
}
void MacroEditWidget::on_PlayUntilPressAgain_RadioButton_clicked()
{
    setMacroTypeInFile(PlayUntilPressAgain);
}
