#pragma once
#include "pages/BridgePage.h"
#include "store/JsonHandle.h"
#include "store/MacroNode.h"

#include <QElapsedTimer>
#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

// Page 2: the macro editor. Every change is written at once to the macro's
// file; a macro reaches the mouse only when it is bound to a button.
class MacroEditWidget : public QWidget, public BridgePage
{
    Q_OBJECT
public:
    // Event list rows keep their kind as item data.
    enum RowType { KeyRow = 3, DelayRow = 4, PositionRow = 6 };
    enum EditMode { EditKey, EditDelay, EditPosition };
    static constexpr int RowTypeRole = Qt::UserRole;
    static constexpr int RowNodeRole = Qt::UserRole + 1;
    static constexpr int RowTimeRole = Qt::UserRole + 2;
    static constexpr int MaxDelayMs = 9999;

    explicit MacroEditWidget(QWidget *parent = nullptr);
    void connectBridge(DCDataHandle *bridge) override;

    // Configures the editor for a model type.
    void setMouseType(int mouseType) { m_mouseType = mouseType; }
    int mouseType() const { return m_mouseType; }
    // The mouse went away: a recording in progress stops and keeps what it has.
    void resetRecordState();
    int recordStateResets() const { return m_resets; }
    // Rereads the macro lists from the macro folder (the page is opened).
    void reloadLists();
    bool isRecording() const { return m_isRecording; }

signals:
    void sig_HeaderButtonEnable(bool state);
    void sig_ShowWarningWidgetOnMacroEditWidget(int type);
    // True while recording: the window blocks its top buttons meanwhile.
    void sig_BanClickTopButton(bool state, bool isTransparent);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);

public slots:
    void slot_reLoadMacroNamelist();
    void EditArrayEditable(bool state);
    void slot_MacroNameEditFinishedfunc();
    void slot_currentItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void on_CreateButton_clicked();
    void on_DeleteButton_clicked();
    void setMacroBanddingClick(bool state);
    void on_AddEventButton_clicked();
    void on_ReduceEventButton_clicked();
    void on_EditEventButton_clicked();
    void checkIsTwoNormalTime();
    void updateMacroFile();
    void on_StartRecordButton_clicked();
    void deleteListWidgetAllItem(QListWidget *list);
    void setEditKeyAddDelayTimeState(bool addKey, bool addDelayTime);
    void setMacroNameInFile(QString name, QString path);
    void setMacroRepeateTimesInFile(int times);
    void setMacroKeyInFile(QList<MacroNode> nodeList, QString path);
    void setMacroTypeInFile(int type);
    void setMacroLength(int length);
    int getMacroLength();
    void calculateMacroNodeLength(int time);
    int calculateMacroListLength(QList<MacroNode> nodeList);
    void deleteFile(QString path);
    void setRightMouseButtonShowOrHide(bool state);
    void loadNameList(QString path);
    void loadEventList(QString path);
    void on_MacroTitleComboBox_currentTextChanged(QString text);
    void on_MacroNameListWidget_itemPressed(QListWidgetItem *item);
    void addEventListTimeItem(int type, int time, int row);
    void addEventListTextItem(MacroNode node, int row);
    void addEventListPositionItem(MacroNode node, int row);
    void on_EventListWidget_currentRowChanged(int currentRow);
    void on_AddCertainButton_clicked();
    void on_ChangeOrInsertKeyRadioButton_clicked();
    void on_ChangeOrInsertDelayTimeRadioButton_clicked();
    void on_ChangeOrInsetAMousePositionRadioButton_clicked();
    void setSpinBoxUnable();
    void on_RepeatTimesSpinBox_valueChanged(int value);
    void on_IgnoreEventWaiteTimeCheckBox_clicked();
    void on_PlayWhenItPressed_RadioButton_clicked();
    void on_LoopCount_RadioButton_clicked();
    void on_PlayUntilPressAgain_RadioButton_clicked();
    void on_MacroNameListWidget_activated();
    void on_MacroNameListWidget_itemActivated();
    void on_LeftMouseButton_pressed();
    void on_LeftMouseButton_released();
    void on_MidMouseButton_pressed();
    void on_MidMouseButton_released();
    void on_RightMouseButton_pressed();
    void on_RightMouseButton_released();
    MacroNode createMouseButtonPressNode(int button);
    MacroNode createMouseButtonRelaseNode(int button);
    void insertAMouseButtonNode(int button);
    MacroNode createKeyButtonNode(int keyCode, int state, int time);
    // Left and right modifiers by their Windows scan code; other codes unchanged.
    void turnShortCutScanCodeToVirtualCode(int scanCode, int &virtuanCode);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // Leaving the page ends a recording; its events are kept.
    void hideEvent(QHideEvent *event) override;

private:
    QString currentMacroPath() const;
    // Appends one recorded event (and the delay before it) and counts its length.
    void recordEvent(int keyCode, int state);
    void stopRecording();
    void openEditArea(bool replacing);
    void closeEditArea();
    void focusEditField(QRadioButton *kind); // after a kind is chosen, unless by arrow keys
    QList<MacroNode> eventNodes() const;
    void setControlsForRecording(bool recording);

    int m_mouseType = 0;
    int m_resets = 0;
    bool m_isRecording = false;
    bool m_isFirstEvent = false;
    bool m_editReplaces = false;
    int m_macroLength = 0;
    EditMode m_editMode = EditKey;
    QList<MacroNode> m_editNodes;
    QElapsedTimer m_gapTimer;
    JsonHandle m_json;

    QComboBox *m_titleCombo;
    QListWidget *m_nameList;
    QListWidget *m_eventList;
    QPushButton *m_createButton;
    QPushButton *m_deleteButton;
    QPushButton *m_recordButton;
    QPushButton *m_addEventButton;
    QPushButton *m_reduceEventButton;
    QPushButton *m_editEventButton;
    QPushButton *m_leftButton;
    QPushButton *m_midButton;
    QPushButton *m_rightButton;
    QCheckBox *m_ignoreDelay;
    QSpinBox *m_repeatTimes;
    QRadioButton *m_loopCount;
    QRadioButton *m_playWhilePressed;
    QRadioButton *m_playUntilPressAgain;
    QWidget *m_editArea;
    QRadioButton *m_editKeyRadio;
    QRadioButton *m_editDelayRadio;
    QRadioButton *m_editPositionRadio;
    QLineEdit *m_editField;
    QLineEdit *m_editY;
    QLabel *m_editYLabel = nullptr;
    QPushButton *m_addCertainButton;
};
