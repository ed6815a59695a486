#include "pages/KeySettingDialog.h"

#include "data/ButtonFunctions.h"
#include "data/DCDataHandle.h"
#include "device/DeviceTypes.h"
#include "pages/MouseButtonLayout.h"
#include "pages/TabOrder.h"
#include "platform/KeyCodes.h"
#include "store/SettingsFiles.h"
#include "store/TextTable.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include <iterator>

namespace {

constexpr int PlayWhilePressed = 4;
constexpr int RowRole = Qt::UserRole;
constexpr int PathRole = Qt::UserRole + 1;

// The advanced page's launch functions, by their "function" code - 1 in
// HighestFunction.ini. The browse dialogs start where such files live here.
struct HighestFunction
{
    const char *checkBox;
    const char *lineEdit;
    const char *button;
    int caption; // a text of the table
    const char *dialogTitle;
    const char *filter; // null: a folder is chosen
};
const HighestFunction kHighestFunctions[] = {
    {"PlayMusicCheckBox", "PlayMusicLineEdit", "PlayMusicButton", TextTable::TextKeyPlaySound, "Sound", "Image Files (*.wav)"},
    // Programs and files here need no ".exe" or any dot in their names.
    {"StartProgramCheckBox", "StartProgramLineEdit", "StartProgramButton", TextTable::TextKeyStartProgram, "Open Program", "Program (*)"},
    {"OpenFileCheckBox", "OpenFileLineEdit", "OpenFileButton", TextTable::TextKeyOpenFile, "Open Program", "Files (*)"},
    {"OpenDirectoryCheckBox", "OpenDirectoryLineEdit", "OpenDirectoryButton", TextTable::TextKeyOpenFolder, "Open Directory", nullptr},
};
constexpr int kHighestFunctionCount = int(std::size(kHighestFunctions));

QString browseStart(int function)
{
    switch (function) {
    case 0:
        return QStringLiteral("/usr/share/sounds");
    case 1:
        return QStringLiteral("/usr/bin");
    case 2:
        return QDir::homePath();
    default:
        return QStringLiteral("/home");
    }
}

QPushButton *makeButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // Reached by Tab; a click leaves the focus where it was, so a key being
    // captured still goes to the key field.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QCheckBox *makeCheckBox(const char *name, const QString &text, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

} // namespace

KeySettingDialog::KeySettingDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("KeySettingDialog"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setModal(true);
    setFocusPolicy(Qt::StrongFocus);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLabel"));
    m_pages = new QStackedWidget(this);

    auto *tabs = new QHBoxLayout;
    const std::pair<const char *, QString> tabNames[] = {
        {"ConbinationKeyButton", TextTable::text(TextTable::TextKeyTabCombination)},
        {"MarcoEditButton", TextTable::text(TextTable::TextKeyTabMacro)},
        {"BasicFunctionButton", TextTable::text(TextTable::TextKeyTabBasic)},
        {"HighestFunctionButton", TextTable::text(TextTable::TextKeyTabAdvanced)},
    };
    for (const auto &tab : tabNames) {
        auto *button = makeButton(tab.first, tab.second, this);
        button->setCheckable(true);
        m_tabs << button;
        tabs->addWidget(button);
    }
    // The advanced functions are built but not offered: the mice do nothing with them yet.
    m_tabs.at(HighestPage)->hide();
    connect(m_tabs.at(KeyPage), &QPushButton::clicked, this, &KeySettingDialog::on_ConbinationKeyButton_clicked);
    connect(m_tabs.at(MacroPage), &QPushButton::clicked, this, &KeySettingDialog::on_MarcoEditButton_clicked);
    connect(m_tabs.at(BasicPage), &QPushButton::clicked, this, &KeySettingDialog::on_BasicFunctionButton_clicked);
    connect(m_tabs.at(HighestPage), &QPushButton::clicked, this, &KeySettingDialog::on_HighestFunctionButton_clicked);

    // Page 0: a key with modifiers.
    auto *keyPage = new QWidget(m_pages);
    m_keyField = new QLineEdit(keyPage);
    m_keyField->setObjectName(QStringLiteral("KeyLineEdit"));
    m_keyField->setAccessibleName(TextTable::text(TextTable::TextKeyTabCombination));
    m_keyField->setReadOnly(true);
    // Tab reaches it; a click, Return or Space starts listening for the key.
    m_keyField->setFocusPolicy(Qt::TabFocus);
    m_keyField->setCursor(Qt::PointingHandCursor);
    m_keyField->installEventFilter(this);
    setCapturing(false);
    m_ctrl = makeCheckBox("CtrlCheckBox", QStringLiteral("Ctrl"), keyPage);
    m_shift = makeCheckBox("ShiftCheckBox", QStringLiteral("Shift"), keyPage);
    m_alt = makeCheckBox("AltCheckBox", QStringLiteral("Alt"), keyPage);
    m_win = makeCheckBox("WinCheckBox", QStringLiteral("Win"), keyPage);
    auto *keyLayout = new QGridLayout(keyPage);
    keyLayout->addWidget(m_ctrl, 0, 0);
    keyLayout->addWidget(m_shift, 0, 1);
    keyLayout->addWidget(m_alt, 0, 2);
    keyLayout->addWidget(m_win, 0, 3);
    keyLayout->addWidget(m_keyField, 1, 0, 1, 4);
    m_pages->addWidget(keyPage);

    // Page 1: macros, by group.
    auto *macroPage = new QWidget(m_pages);
    m_macroGroups = new QListWidget(macroPage);
    m_macroGroups->setObjectName(QStringLiteral("MacroTitleListWidget"));
    m_macroGroups->setAccessibleName(TextTable::text(TextTable::TextKeyTabMacro));
    m_macroNames = new QListWidget(macroPage);
    m_macroNames->setObjectName(QStringLiteral("MacroNameListWidget"));
    m_macroNames->setAccessibleName(TextTable::text(TextTable::TextMacroChoose));
    auto *macroLayout = new QHBoxLayout(macroPage);
    macroLayout->addWidget(m_macroGroups);
    macroLayout->addWidget(m_macroNames);
    m_pages->addWidget(macroPage);
    connect(m_macroGroups, &QListWidget::itemClicked, this, &KeySettingDialog::on_MacroTitleListWidget_itemClicked);
    connect(m_macroNames, &QListWidget::itemClicked, this, &KeySettingDialog::on_MacroNameListWidget_itemClicked);
    connect(m_macroNames, &QListWidget::itemChanged, this, &KeySettingDialog::slot_CheckIsOutOfMacroCheckRange);

    // Page 2: basic functions.
    m_basicList = new QListWidget(m_pages);
    m_basicList->setObjectName(QStringLiteral("BasicFunctionListWidget"));
    m_basicList->setAccessibleName(TextTable::text(TextTable::TextKeyTabBasic));
    m_pages->addWidget(m_basicList);

    // Page 3: advanced functions (not offered): one launch function, its path from a browse dialog.
    auto *highestPage = new QWidget(m_pages);
    auto *highestLayout = new QGridLayout(highestPage);
    void (KeySettingDialog::*boxClicked[])() = {
        &KeySettingDialog::on_PlayMusicCheckBox_clicked, &KeySettingDialog::on_StartProgramCheckBox_clicked,
        &KeySettingDialog::on_OpenFileCheckBox_clicked, &KeySettingDialog::on_OpenDirectoryCheckBox_clicked};
    void (KeySettingDialog::*browseClicked[])() = {
        &KeySettingDialog::on_PlayMusicButton_clicked, &KeySettingDialog::on_StartProgramButton_clicked,
        &KeySettingDialog::on_OpenFileButton_clicked, &KeySettingDialog::on_OpenDirectoryButton_clicked};
    for (int i = 0; i < kHighestFunctionCount; ++i) {
        const HighestFunction &f = kHighestFunctions[i];
        QCheckBox *box = makeCheckBox(f.checkBox, TextTable::text(f.caption), highestPage);
        auto *path = new QLineEdit(highestPage);
        path->setObjectName(QLatin1String(f.lineEdit));
        path->setReadOnly(true);
        path->setFocusPolicy(Qt::TabFocus);
        QPushButton *browse = makeButton(f.button, TextTable::text(TextTable::TextKeyBrowse), highestPage);
        highestLayout->addWidget(box, i, 0);
        highestLayout->addWidget(path, i, 1);
        highestLayout->addWidget(browse, i, 2);
        connect(box, &QCheckBox::clicked, this, boxClicked[i]);
        connect(browse, &QPushButton::clicked, this, browseClicked[i]);
        m_highestBoxes << box;
        m_highestPaths << path;
        m_highestBrowse << browse;
    }
    m_pages->addWidget(highestPage);
    setHighFunctionWidgetUnable();

    m_disable = makeCheckBox("DisableCheckBox", TextTable::text(TextTable::TextKeyDisable), this);
    auto *ok = makeButton("OKButton", TextTable::text(TextTable::TextKeyOk), this);
    auto *backToDefault = makeButton("BackToDefalutButton", TextTable::text(TextTable::TextKeyBackToDefault), this);
    auto *close = makeButton("CloseBattaryButton", QStringLiteral("×"), this);
    connect(ok, &QPushButton::clicked, this, &KeySettingDialog::on_OKButton_clicked);
    connect(backToDefault, &QPushButton::clicked, this, &KeySettingDialog::on_BackToDefalutButton_clicked);
    connect(close, &QPushButton::clicked, this, &KeySettingDialog::on_CloseBattaryButton_clicked);

    auto *header = new QHBoxLayout;
    header->addWidget(m_title, 1);
    header->addWidget(close);
    auto *footer = new QHBoxLayout;
    footer->addWidget(m_disable);
    footer->addStretch();
    footer->addWidget(backToDefault);
    footer->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(m_status);
    layout->addLayout(tabs);
    layout->addWidget(m_pages, 1);
    layout->addLayout(footer);

    // Reading order: the title row, the tabs, the page, the footer.
    QList<QWidget *> order{close};
    for (QPushButton *tab : qAsConst(m_tabs))
        order << tab;
    order << m_ctrl << m_shift << m_alt << m_win << m_keyField << m_macroGroups << m_macroNames << m_basicList;
    for (int i = 0; i < kHighestFunctionCount; ++i)
        order << m_highestBoxes.at(i) << m_highestPaths.at(i) << m_highestBrowse.at(i);
    order << m_disable << backToDefault << ok;
    chainTabOrder(order);

    setPage(KeyPage);
    m_status->hide();
}

void KeySettingDialog::connectBridge(DCDataHandle *bridge)
{
    connect(this, &KeySettingDialog::sig_ButtonChangeToKey, bridge,
            [bridge](int button, uint key, uint modifiers, int changeType) {
                QMetaObject::invokeMethod(bridge, "slot_ChangeButtonToKey", Q_ARG(int, button), Q_ARG(uint, key),
                                          Q_ARG(int, int(modifiers)), Q_ARG(int, changeType));
            });
    connect(this, &KeySettingDialog::sig_WriteSingleMacro, bridge, &DCDataHandle::slot_WriteSingleMacro);
    connect(this, &KeySettingDialog::sig_WriteListMacro, bridge, &DCDataHandle::slot_WriteListMacro);
    // The assignment the mouse reports is what the dialog shows next time.
    connect(bridge, &DCDataHandle::sig_TrueMouseValue, this,
            [this](int button, int changeType, int trueMouseValue, int modifyKey) {
                if (button == m_button)
                    setTrueMouseValue(changeType, trueMouseValue, modifyKey);
            });
}

// ---- Set-up

void KeySettingDialog::setButton(int button)
{
    m_button = button;
    m_currentKey = 0;
    m_currentModifiers = 0;
    m_keyField->clear();
    for (QCheckBox *box : {m_ctrl, m_shift, m_alt, m_win, m_disable})
        box->setChecked(false);
    // The advanced page shows the launch function kept for this button, if any.
    for (int i = 0; i < kHighestFunctionCount; ++i) {
        m_highestBoxes.at(i)->setChecked(false);
        m_highestPaths.at(i)->clear();
    }
    setHighFunctionWidgetUnable();
    int function = 0;
    QString path;
    if (SettingsFiles::launchFunction(button, &function, &path) && function >= 1
        && function <= kHighestFunctionCount) {
        m_highestBoxes.at(function - 1)->setChecked(true);
        m_highestPaths.at(function - 1)->setText(path);
        m_highestBrowse.at(function - 1)->setEnabled(true);
    }
    m_maxMacroCount = ButtonFunctions::macroLimit(button, m_mouseType);
    rebuildBasicList();
    m_title->setText(MouseButtonLayout::dialogTitle(m_mouseType, button));
    loadMacroTitleListWidget();
    setPage(KeyPage);
    setCapturing(false);
    m_keyField->setFocus(Qt::OtherFocusReason);
}

void KeySettingDialog::setTrueMouseValue(int changeType, int trueMouseValue, int modifyKey)
{
    showStatus(changeType, trueMouseValue, modifyKey);
}

void KeySettingDialog::rebuildBasicList()
{
    m_basicList->clear();
    int row = 0;
    for (const ButtonFunctions::Function *f = ButtonFunctions::begin(); f != ButtonFunctions::end(); ++f, ++row) {
        if (!ButtonFunctions::isOfferedFor(*f, m_button, m_mouseType))
            continue;
        auto *item = new QListWidgetItem(ButtonFunctions::caption(*f), m_basicList);
        // The row number travels with the item, so hidden rows never shift the others.
        item->setData(RowRole, row);
    }
}

QString KeySettingDialog::modifierText(int modifiers)
{
    static const char *const names[] = {"CTRL", "SHIFT", "ALT", "WIN"};
    QStringList parts;
    for (int bit = 0; bit < 4; ++bit)
        if (modifiers & (1 << bit))
            parts << QLatin1String(names[bit]);
    return parts.join(QStringLiteral(" + "));
}

QString KeySettingDialog::functionName(int code)
{
    const ButtonFunctions::Function *f = ButtonFunctions::byCode(code);
    return f ? ButtonFunctions::caption(*f) : QString();
}

namespace {

// One form for every assignment: "Label: value" (a full-width colon takes no space).
QString labelled(QString label, const QString &value)
{
    label = label.trimmed();
    if (!label.endsWith(QLatin1Char(':')) && !label.endsWith(QChar(0xFF1A)))
        label += QLatin1Char(':');
    if (value.isEmpty())
        return label;
    return label.endsWith(QLatin1Char(':')) ? label + QLatin1Char(' ') + value : label + value;
}

} // namespace

QString KeySettingDialog::shortText(int changeType, int trueMouseValue, int modifyKey)
{
    switch (changeType) {
    case ChangeKey: {
        const QString modifiers = modifierText(modifyKey);
        const QString key = KeyCodes::keyName(trueMouseValue);
        if (!modifiers.isEmpty() && !key.isEmpty())
            return modifiers + QStringLiteral(" + ") + key;
        return modifiers + key;
    }
    case ChangeFunction:
        return functionName(trueMouseValue);
    case ChangeMacro:
        return TextTable::text(TextTable::TextStatusMacro);
    case ChangeDisabled:
        return TextTable::text(TextTable::TextStatusDisabled);
    default:
        return QString();
    }
}

QString KeySettingDialog::statusText(int changeType, int trueMouseValue, int modifyKey)
{
    const QString value = shortText(changeType, trueMouseValue, modifyKey);
    switch (changeType) {
    case ChangeKey:
        return labelled(TextTable::text(TextTable::TextStatusKey), value);
    case ChangeFunction:
        return labelled(TextTable::text(TextTable::TextStatusFunction), value);
    default:
        return value;
    }
}

void KeySettingDialog::showStatus(int changeType, int trueMouseValue, int modifyKey)
{
    if (changeType == -1) {
        m_status->hide();
        return;
    }
    m_status->setText(statusText(changeType, trueMouseValue, modifyKey));
    m_status->show();
}

// ---- Pages

int KeySettingDialog::currentPage() const
{
    return m_pages->currentIndex();
}

void KeySettingDialog::setPage(int type)
{
    m_pages->setCurrentIndex(type);
    for (int i = 0; i < m_tabs.size(); ++i)
        m_tabs.at(i)->setChecked(i == type);
    if (type != KeyPage)
        setCapturing(false);
}

void KeySettingDialog::on_ConbinationKeyButton_clicked()
{
    setPage(KeyPage);
}
void KeySettingDialog::on_MarcoEditButton_clicked()
{
    setPage(MacroPage);
}
void KeySettingDialog::on_BasicFunctionButton_clicked()
{
    setPage(BasicPage);
}
void KeySettingDialog::on_HighestFunctionButton_clicked()
{
    setPage(HighestPage);
}

void KeySettingDialog::setCheckBoxCheckState(QCheckBox *box)
{
    box->setChecked(!box->isChecked());
}

int KeySettingDialog::countModifyValue()
{
    return (m_ctrl->isChecked() ? ModCtrl : 0) | (m_shift->isChecked() ? ModShift : 0)
        | (m_alt->isChecked() ? ModAlt : 0) | (m_win->isChecked() ? ModWin : 0);
}

void KeySettingDialog::setCapturing(bool capturing)
{
    m_capturing = capturing;
    m_keyField->setPlaceholderText(TextTable::text(capturing ? TextTable::TextKeyPressAKey : TextTable::TextKeyClickToCapture));
    // The field shows that it listens (the style sheet selects on the property).
    m_keyField->setProperty("capturing", capturing);
    m_keyField->style()->unpolish(m_keyField);
    m_keyField->style()->polish(m_keyField);
}

bool KeySettingDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_keyField)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        setCapturing(true);
        m_keyField->setFocus(Qt::MouseFocusReason);
        return true;
    case QEvent::ShortcutOverride:
        // While listening, every key is the one being assigned.
        if (m_capturing) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_capturing) {
            // Tab and Escape too: they are keys a button can send.
            captureKey(key);
            return true;
        }
        const bool starts = key->modifiers() == Qt::NoModifier
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space);
        if (starts) {
            setCapturing(true);
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        // Keys no longer reach the field: it stops saying it listens.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            setCapturing(false);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void KeySettingDialog::keyPressEvent(QKeyEvent *event)
{
    if (m_pages->currentIndex() != KeyPage || !m_capturing) {
        QDialog::keyPressEvent(event);
        return;
    }
    captureKey(event);
}

void KeySettingDialog::captureKey(QKeyEvent *event)
{
    event->accept();
    const int code =
        KeyCodes::genericModifier(KeyCodes::virtualKey(event->key(), event->modifiers(), event->nativeScanCode()));
    switch (code) {
    case 0:
        return;
    case KeyCodes::VkShift:
        setCheckBoxCheckState(m_shift);
        return;
    case KeyCodes::VkControl:
        setCheckBoxCheckState(m_ctrl);
        return;
    case KeyCodes::VkMenu:
        setCheckBoxCheckState(m_alt);
        return;
    case KeyCodes::VkLWin:
    case KeyCodes::VkRWin:
        setCheckBoxCheckState(m_win);
        return;
    default:
        m_currentKey = code;
        m_keyField->setText(KeyCodes::keyName(code));
        setCapturing(false);
        return;
    }
}

// ---- Macros

void KeySettingDialog::loadMacroTitleListWidget()
{
    deleteListWidgetAllItem(m_macroGroups);
    deleteListWidgetAllItem(m_macroNames);
    JsonHandle::playerCustomMacroFolderPath(); // the users' own group always exists
    const QDir root(JsonHandle::macroFolderPath());
    for (const QFileInfo &group : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        addMacroTitleWidgetItem(group.absoluteFilePath());
}

void KeySettingDialog::addMacroTitleWidgetItem(const QString &folder)
{
    auto *item = new QListWidgetItem(QFileInfo(folder).fileName(), m_macroGroups);
    item->setData(PathRole, folder);
}

void KeySettingDialog::addMacroListWigetItem(const QString &path)
{
    const QSignalBlocker block(m_macroNames);
    auto *item = new QListWidgetItem(m_json.getMacroName(path), m_macroNames);
    item->setData(PathRole, path);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
}

void KeySettingDialog::deleteListWidgetAllItem(QListWidget *list)
{
    const QSignalBlocker block(list);
    list->clear();
    if (list == m_macroNames)
        m_checkedOrder.clear();
}

void KeySettingDialog::on_MacroTitleListWidget_itemClicked(QListWidgetItem *item)
{
    deleteListWidgetAllItem(m_macroNames);
    for (const QString &file : JsonHandle::macroFileList(item->data(PathRole).toString()))
        addMacroListWigetItem(file);
}

void KeySettingDialog::on_MacroNameListWidget_itemClicked(QListWidgetItem *) { }

void KeySettingDialog::slot_SetMacroListWidgetItemSelected(int row)
{
    if (QListWidgetItem *item = m_macroNames->item(row))
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

// A check past the maximum unchecks the macro checked first.
void KeySettingDialog::slot_CheckIsOutOfMacroCheckRange(QListWidgetItem *item)
{
    if (item->checkState() != Qt::Checked) {
        m_checkedOrder.removeAll(item);
        return;
    }
    if (m_checkedOrder.contains(item))
        return;
    m_checkedOrder.append(item);
    if (countMacroCheckedNumber() > m_maxMacroCount) {
        removeFirstSelectedStaeInFormList();
        emit sig_SetFirstOneUnchecked();
    }
}

int KeySettingDialog::countMacroCheckedNumber()
{
    return m_checkedOrder.size();
}

void KeySettingDialog::removeFirstSelectedStaeInFormList()
{
    if (m_checkedOrder.isEmpty())
        return;
    QListWidgetItem *first = m_checkedOrder.takeFirst();
    const QSignalBlocker block(m_macroNames);
    first->setCheckState(Qt::Unchecked);
}

QString KeySettingDialog::getMacroSinglePath()
{
    return m_checkedOrder.isEmpty() ? QString() : m_checkedOrder.first()->data(PathRole).toString();
}

QStringList KeySettingDialog::getMacroListPath()
{
    QStringList paths;
    for (const QListWidgetItem *item : qAsConst(m_checkedOrder))
        paths << item->data(PathRole).toString();
    return paths;
}

bool KeySettingDialog::refusesHeldPlayback() const
{
    return ButtonFunctions::refusesHeldPlayback(m_button, m_mouseType);
}

void KeySettingDialog::sendMacros()
{
    const QStringList paths = getMacroListPath();
    if (paths.isEmpty()) {
        // OK with nothing ticked says what it waits for, rather than nothing.
        m_status->setText(TextTable::text(TextTable::TextKeyTickAMacro));
        m_status->show();
        return;
    }
    if (refusesHeldPlayback()) {
        for (const QString &path : paths) {
            if (m_json.getMacroType(path) == PlayWhilePressed) {
                emit sig_ShowWarningDialog(43);
                close();
                return;
            }
        }
    }
    close();
    if (paths.size() == 1) {
        if (m_json.getMacroEventCount(paths.first()) == 0) {
            emit sig_ShowWarningDialog(50);
            return;
        }
        emit sig_WriteSingleMacro(m_button, paths.first());
        sendEvent(QStringLiteral("WriteSingleMacro"));
        return;
    }
    for (const QString &path : paths) {
        if (m_json.getMacroEventCount(path) == 0) {
            emit sig_ShowWarningDialog(51);
            return;
        }
    }
    emit sig_WriteListMacro(paths);
    sendEvent(QStringLiteral("WriteListMacro"));
}

// ---- Results

void KeySettingDialog::setKeyToBasicFunction()
{
    const QListWidgetItem *item = m_basicList->currentItem();
    if (!item)
        return;
    const ButtonFunctions::Function &f = ButtonFunctions::begin()[item->data(RowRole).toInt()];
    emit sig_ButtonChangeToKey(m_button, uint(f.value), uint(f.modifiers), f.changeType);
}

// The advanced functions have no device form: the choice is kept in
// HighestFunction.ini for the button, and nothing is sent to the mouse.
void KeySettingDialog::setKeyToHighestFunction()
{
    for (int i = 0; i < kHighestFunctionCount; ++i) {
        const QString path = m_highestPaths.at(i)->text();
        if (m_highestBoxes.at(i)->isChecked() && !path.isEmpty()) {
            SettingsFiles::setLaunchFunction(m_button, 1, i + 1, path);
            return;
        }
    }
}

void KeySettingDialog::setHighFunctionWidgetUnable()
{
    for (QPushButton *browse : qAsConst(m_highestBrowse))
        browse->setEnabled(false);
}

void KeySettingDialog::chooseHighestFunction(int function)
{
    const bool on = m_highestBoxes.at(function)->isChecked();
    for (int i = 0; i < kHighestFunctionCount; ++i) {
        m_highestPaths.at(i)->clear();
        if (i != function)
            m_highestBoxes.at(i)->setChecked(false);
    }
    setHighFunctionWidgetUnable();
    m_highestBrowse.at(function)->setEnabled(on);
}

void KeySettingDialog::browseHighestFunction(int function)
{
    const HighestFunction &f = kHighestFunctions[function];
    auto *dialog = new QFileDialog(this, QLatin1String(f.dialogTitle), browseStart(function));
    dialog->setObjectName(QStringLiteral("HighestFunctionFileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (f.filter) {
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setNameFilter(QLatin1String(f.filter));
    } else {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
    }
    QLineEdit *field = m_highestPaths.at(function);
    connect(dialog, &QFileDialog::fileSelected, field, &QLineEdit::setText);
    dialog->open();
}

void KeySettingDialog::on_PlayMusicCheckBox_clicked()
{
    chooseHighestFunction(0);
}
void KeySettingDialog::on_StartProgramCheckBox_clicked()
{
    chooseHighestFunction(1);
}
void KeySettingDialog::on_OpenFileCheckBox_clicked()
{
    chooseHighestFunction(2);
}
void KeySettingDialog::on_OpenDirectoryCheckBox_clicked()
{
    chooseHighestFunction(3);
}
void KeySettingDialog::on_PlayMusicButton_clicked()
{
    browseHighestFunction(0);
}
void KeySettingDialog::on_StartProgramButton_clicked()
{
    browseHighestFunction(1);
}
void KeySettingDialog::on_OpenFileButton_clicked()
{
    browseHighestFunction(2);
}
void KeySettingDialog::on_OpenDirectoryButton_clicked()
{
    browseHighestFunction(3);
}

void KeySettingDialog::on_OKButton_clicked()
{
    if (m_disable->isChecked()) {
        emit sig_ButtonChangeToKey(m_button, 0, 0, ChangeDisabled);
    } else {
        switch (m_pages->currentIndex()) {
        case KeyPage:
            m_currentModifiers = countModifyValue();
            if (m_currentKey != 0 || m_currentModifiers != 0) {
                emit sig_ButtonChangeToKey(m_button, uint(m_currentKey), uint(m_currentModifiers), ChangeKey);
                showStatus(ChangeKey, m_currentKey, m_currentModifiers);
            }
            break;
        case MacroPage:
            sendMacros();
            return;
        case BasicPage:
            setKeyToBasicFunction();
            break;
        default:
            setKeyToHighestFunction();
            break;
        }
    }
    sendEvent(QStringLiteral("OK"));
    close();
}

void KeySettingDialog::on_BackToDefalutButton_clicked()
{
    sendEvent(QStringLiteral("BackToDefault"));
    emit sig_ButtonChangeToKey(m_button, uint(m_currentKey), uint(m_currentModifiers), ChangeRestoreFactory);
    close();
}

void KeySettingDialog::on_CloseBattaryButton_clicked()
{
    close();
}

void KeySettingDialog::sendEvent(const QString &action)
{
    emit sig_SendEventMessageToGA(QStringLiteral("KeySetting"), action, QString::number(m_button), QString());
}
