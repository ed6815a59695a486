#pragma once
#include <QWidget>

class QButtonGroup;
class QFileDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The firmware update view. The first family's firmware is sent by this
// program (the request goes to the bridge) from an image file the user may
// choose; the other families are updated by the vendor's updater, a Windows
// program found in the model's firmware folder.
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
    // The first-family image the update sends: the shipped one until the user chooses another.
    QString imagePath() const { return m_imagePath; }
    void setImagePath(const QString &path);

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
    // Opens the file chooser for the image, in the model's firmware folder.
    void chooseImage();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refresh();
    // A model was chosen: its image and what the view says about it.
    void modelChanged();
    void setStatus(const QString &text, bool isError);

    QButtonGroup *m_models;
    QLabel *m_sourceLabel;
    QLabel *m_statusLabel;
    QWidget *m_imageRow;
    QLineEdit *m_imageField;
    QPushButton *m_chooseButton;
    QProgressBar *m_progress;
    QPushButton *m_startButton;
    QPushButton *m_closeButton;
    bool m_changeable = true;
    bool m_local = true;
    bool m_updating = false;
    QString m_imagePath;
};
