#pragma once
// The firmware update as the window sees it, one state at a time: the
// window forwards what happens (the user's request, the bridge's warnings,
// the end of the transfer) and asks the flow what follows from it.
#include <QObject>

class FirmwareFlow : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Idle,
        Checking,             // the service is asked for the latest firmware
        WaitingForBootLoader, // the update was asked for; the mouse leaves for its boot loader
        Transferring,         // the image is being sent
        Verifying,            // the transfer ended; its result is on its way
        Done,
        Failed,               // a transfer ran and did not take
        Refused,              // the update was turned down before anything was sent (by receiver, too many tries)
    };
    Q_ENUM(State)

    // The bridge's warnings the flow follows.
    static constexpr int kWarningUpdateFailed = 7;
    static constexpr int kWarningUpdateSucceeded = 8;
    static constexpr int kWarningUpdateStarting = 13;
    static constexpr int kWarningTooManyUpdates = 14;
    static constexpr int kWarningUpdateNeedsCable = 40;

    explicit FirmwareFlow(QObject *parent = nullptr);

    State state() const { return m_state; }

    // ---- what happened
    void versionCheckStarted();
    void versionCheckEnded();
    // The user started a first-family update.
    void updateRequested();
    // A warning of the bridge; those of the update move the flow on.
    void warningRaised(int warning);
    // The bridge closed the progress view: the transfer is over, whatever its result.
    void transferEnded();

    // ---- what follows
    // A boot loader on the bus now is our own update's (not a mouse waiting for one).
    bool ownsBootLoader() const;
    // Quitting now would cut the image short.
    bool transferRunning() const { return m_state == State::Transferring; }
    // When the image is being sent: remembers that the user wants to quit,
    // and quitNow() follows the end of the transfer. False otherwise.
    bool deferQuit();

signals:
    void stateChanged(FirmwareFlow::State state);
    // The transfer the user wanted to quit during has ended.
    void quitNow();

private:
    void moveTo(State state);

    State m_state = State::Idle;
    bool m_quitWanted = false;
};
