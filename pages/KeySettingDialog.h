#pragma once
#include "pages/BridgePage.h"
#include "store/JsonHandle.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;

// What one mouse button does: a key with modifiers, a macro (a list of them
// for button 4), a basic function, nothing, or the factory assignment. The
// choice goes to the bridge, which writes it to the mouse and reports the
// button's assignment back.
class KeySettingDialog : public QDialog, public BridgePage
{
    Q_OBJECT
public:
    enum PageIndex { KeyPage = 0, MacroPage = 1, BasicPage = 2, HighestPage = 3 };
    // Modifier bits as the devices and the profile files count them.
    enum Modifier { ModCtrl = 1, ModShift = 2, ModAlt = 4, ModWin = 8 };

    explicit KeySettingDialog(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Set up before showing: model type, button (4..17) and its current
    // assignment. The title names the button as the model calls it.
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    void setButton(int button);
    void setTrueMouseValue(int changeType, int trueMouseValue, int modifyKey);
    int button() const { return m_button; }
    int currentPage() const;
    int maxMacroCount() const { return m_maxMacroCount; }

    // "CTRL + SHIFT ..." for modifier bits.
    static QString modifierText(int modifiers);
    // Name of a mouse function code of the device; empty when it has none.
    static QString functionName(int code);
    // What a reported assignment does, as the status label and the settings
    // page's picture say it; empty for an assignment not known (-1) or not shown.
    static QString statusText(int changeType, int trueMouseValue, int modifyKey);
    // The same without its label, short enough for a button's plate ("Ctrl + F5", "Volume up").
    static QString shortText(int changeType, int trueMouseValue, int modifyKey);

signals:
    void sig_ButtonChangeToKey(int button, uint pysicalButton, uint changedModifyKey, int changeType);
    void sig_WriteSingleMacro(int button, QString path);
    void sig_WriteListMacro(QStringList macroList);
    void sig_SetFirstOneUnchecked();
    void sig_ShowWarningDialog(int warningType);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    void on_ConbinationKeyButton_clicked();
    void on_MarcoEditButton_clicked();
    void on_BasicFunctionButton_clicked();
    void on_HighestFunctionButton_clicked();
    void setPage(int type);
    void loadMacroTitleListWidget();
    void addMacroTitleWidgetItem(const QString &folder);
    void addMacroListWigetItem(const QString &path);
    void deleteListWidgetAllItem(QListWidget *list);
    void on_MacroTitleListWidget_itemClicked(QListWidgetItem *item);
    void on_MacroNameListWidget_itemClicked(QListWidgetItem *item);
    void slot_SetMacroListWidgetItemSelected(int row);
    void slot_CheckIsOutOfMacroCheckRange(QListWidgetItem *item);
    int countMacroCheckedNumber();
    QString getMacroSinglePath();
    QStringList getMacroListPath();
    void removeFirstSelectedStaeInFormList();
    void on_OKButton_clicked();
    void on_BackToDefalutButton_clicked();
    void on_CloseBattaryButton_clicked();
    void on_PlayMusicCheckBox_clicked();
    void on_StartProgramCheckBox_clicked();
    void on_OpenFileCheckBox_clicked();
    void on_OpenDirectoryCheckBox_clicked();
    void on_PlayMusicButton_clicked();
    void on_StartProgramButton_clicked();
    void on_OpenFileButton_clicked();
    void on_OpenDirectoryButton_clicked();
    void setHighFunctionWidgetUnable();
    void setCheckBoxCheckState(QCheckBox *box);
    void setKeyToBasicFunction();
    void setKeyToHighestFunction();
    int countModifyValue();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildBasicList();
    void showStatus(int changeType, int trueMouseValue, int modifyKey);
    bool refusesHeldPlayback() const;
    void sendMacros();
    void sendEvent(const QString &action);
    // The advanced page: a launch function chosen by its check box, its path
    // by a browse dialog.
    void chooseHighestFunction(int function);
    void browseHighestFunction(int function);

    int m_mouseType = 0;
    int m_button = 4;
    int m_currentKey = 0;
    // Keys are taken as the assignment only after the key field was clicked,
    // until a key other than a modifier comes: otherwise Escape closes the
    // dialog and Tab moves on, as everywhere else.
    bool m_capturing = false;
    void setCapturing(bool capturing);
    void captureKey(QKeyEvent *event); // a modifier toggles its box, another key ends the capture
    int m_currentModifiers = 0;
    int m_maxMacroCount = 1;
    QList<QListWidgetItem *> m_checkedOrder;
    JsonHandle m_json;

    QLabel *m_title;
    QLabel *m_status;
    QStackedWidget *m_pages;
    QList<QPushButton *> m_tabs;
    QLineEdit *m_keyField;
    QCheckBox *m_ctrl;
    QCheckBox *m_shift;
    QCheckBox *m_alt;
    QCheckBox *m_win;
    QListWidget *m_macroGroups;
    QListWidget *m_macroNames;
    QListWidget *m_basicList;
    QCheckBox *m_disable;
    QList<QCheckBox *> m_highestBoxes;
    QList<QLineEdit *> m_highestPaths;
    QList<QPushButton *> m_highestBrowse;
};
