#include "device/fwupdate/FirmwareUpdateRun.h"

FirmwareUpdateRun::FirmwareUpdateRun(std::unique_ptr<FirmwareTransfer> transfer) : m_transfer(std::move(transfer))
{
    m_thread.setObjectName(QStringLiteral("FwUpdate"));
    if (m_transfer)
        m_transfer->moveToThread(&m_thread);
    m_thread.start();
}

FirmwareUpdateRun::~FirmwareUpdateRun()
{
    // An update queued to the transfer still runs: a mouse half way into its
    // boot loader must not be left there by a dropped request.
    if (m_transfer && m_thread.isRunning())
        QMetaObject::invokeMethod(m_transfer.get(), [] {}, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_transfer.reset();
}
