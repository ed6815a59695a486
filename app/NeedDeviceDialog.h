#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// The overlay shown while no mouse is present. After a while it offers a
// firmware repair, for a mouse stuck in update mode that the bus does not
// show as a mouse.
class NeedDeviceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NeedDeviceDialog(QWidget *parent = nullptr);

    // How long the dialog waits before offering the firmware repair.
    static constexpr int kRepairOfferMs = 3800;

signals:
    // The user chose to quit the program.
    void sig_closeWindow();
    // The user asked for a firmware repair: (true, true, 0, false) is a local update of an unknown model.
    void sig_ShowUpdateWidget(bool isChangeable, bool isLocalUpdateState, int mouseType, bool isUpdateNow);

public slots:
    void on_OkButton_clicked();
    void on_FirmwareRepairPushButton_clicked();
    // The wait is over: offer the firmware repair.
    void slot_TimeOut();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Follows the window it sits over while it is shown.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOverOwner();

    QLabel *m_message;
    QPushButton *m_okButton;
    QPushButton *m_repairButton;
    QTimer *m_timer;
};
