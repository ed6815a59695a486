#include "app/FirmwareFlow.h"

#include "platform/Log.h"

#include <QDebug>

FirmwareFlow::FirmwareFlow(QObject *parent) : QObject(parent) { }

void FirmwareFlow::moveTo(State state)
{
    if (state == m_state)
        return;
    qCDebug(lcApp) << "FirmwareFlow" << m_state << "->" << state;
    m_state = state;
    emit stateChanged(state);
}

void FirmwareFlow::versionCheckStarted()
{
    // A check never interrupts an update under way.
    if (m_state == State::Idle || m_state == State::Done || m_state == State::Failed || m_state == State::Refused)
        moveTo(State::Checking);
}

void FirmwareFlow::versionCheckEnded()
{
    if (m_state == State::Checking)
        moveTo(State::Idle);
}

void FirmwareFlow::updateRequested()
{
    if (m_state == State::Transferring || m_state == State::Verifying)
        return;
    moveTo(State::WaitingForBootLoader);
}

void FirmwareFlow::warningRaised(int warning)
{
    switch (warning) {
    case kWarningUpdateStarting:
        moveTo(State::Transferring);
        break;
    case kWarningUpdateSucceeded:
        moveTo(State::Done);
        break;
    // No transfer runs after these: a boot loader arriving later is a mouse
    // waiting for its update, not part of ours.
    case kWarningUpdateFailed:
        moveTo(State::Failed);
        break;
    // Turned down before anything was sent: the box says why, and nothing
    // failed that a notification should report.
    case kWarningTooManyUpdates:
    case kWarningUpdateNeedsCable:
        moveTo(transferRunning() || m_state == State::Verifying ? State::Failed : State::Refused);
        break;
    default:
        break;
    }
}

void FirmwareFlow::transferEnded()
{
    if (m_state == State::Transferring || m_state == State::WaitingForBootLoader)
        moveTo(State::Verifying);
    if (m_quitWanted) {
        m_quitWanted = false;
        emit quitNow();
    }
}

bool FirmwareFlow::ownsBootLoader() const
{
    return m_state == State::WaitingForBootLoader || m_state == State::Transferring || m_state == State::Verifying;
}

bool FirmwareFlow::deferQuit()
{
    if (!transferRunning())
        return false;
    m_quitWanted = true;
    return true;
}
