#pragma once
#include <QWidget>

class QButtonGroup;
class QLabel;
class QProgressBar;
class QPushButton;

// The firmware update view. The first family's firmware is sent by this
// program (the request goes to the bridge); the other families are updated
// by the vendor's updater program found in the model's firmware folder.
class UpdateMouseDialog : public QWidget
{
    Q_OBJECT
public:
    explicit UpdateMouseDialog(QWidget *parent = nullptr);

    // Whether the user may choose another model than the one selected.
    void setChangeable(bool isChangeable);
    // Firmware shipped with the program ("Local") or downloaded ("Clouds").
    void setLocalUpdateState(bool isLocalUpdateState);
    // Selects a model type; 0 leaves the choice to the user.
    void selectModel(int mouseType);
    int selectedModel() const;

    bool isUpdating() const { return m_updating; }

    // The firmware folder of a model type: "/Update/", "Local/" or "Clouds/", model folder.
    static QString firmwareFolder(bool isLocalUpdateState, int mouseType);
    // The lower-case model name as shown on its tile ("kestrelc" shows "KestrelC").
    static QString displayName(const QString &modelName);

signals:
    // First family: send the image at path into the model named mouseType.
    void sig_UpdateFirmwareKorvan(QString path, QString mouseType);
    void sig_SendEventMessageToGA(QString category, QString action, QString Label, QString viewScreen);
    // The view was closed.
    void sig_Closed();

public slots:
    // Starts the update of the selected model.
    void startUpdate();
    // Transfer progress in percent.
    void slot_ProcessValue(int percent);
    // The transfer ended, either way.
    void slot_UpdateFinished();
    // After a failed update the user may try again.
    void slot_EnableUpdateButton();
    void on_CloseButton_clicked();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void refresh();
    void setStatus(const QString &text, bool isError);

    QButtonGroup *m_models;
    QLabel *m_sourceLabel;
    QLabel *m_statusLabel;
    QProgressBar *m_progress;
    QPushButton *m_startButton;
    QPushButton *m_closeButton;
    bool m_changeable = true;
    bool m_local = true;
    bool m_updating = false;
};
