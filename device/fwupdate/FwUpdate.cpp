#include "device/fwupdate/FwUpdate.h"

#include "device/kestrel/USBDriverKestrel.h"
#include "platform/DeviceClock.h"
#include "platform/LocalFiles.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtDebug>

namespace {

// Commands, in bytes 1..4 of a packet.
constexpr quint32 kCmdSync = 0xA4;
constexpr quint32 kCmdFirstApplication = 0xA0;
constexpr quint32 kCmdFirstAlternative = 0xC3;
constexpr quint32 kCmdData = 0x00;
constexpr quint32 kCmdResend = 0xFF;
constexpr quint32 kCmdFinish = 0xAB;

constexpr int kOffsetCommand = 1;
constexpr int kOffsetNumber = 5;
constexpr int kOffsetPayload = 9;

// The request that sends a mouse in normal mode to its boot loader.
constexpr int kModeReportSize = 32;
constexpr BYTE kModeReportId = 0xBA;
constexpr BYTE kModeRequest = 0xA8;

constexpr int kSwitchWaitMs = 3000;
constexpr int kBootRetryWaitMs = 2000;
constexpr int kBootRetries = 5;
constexpr int kFinishWaitMs = 2000;
constexpr int kReplyPollMs = 1;
constexpr int kFinalStepMs = 100;

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

int indexOf(FwUpdate::ImageKind kind)
{
    return kind == FwUpdate::ImageKind::Application ? 0 : 1;
}

} // namespace

FwUpdate::FwUpdate(QObject *parent) : FirmwareTransfer(parent)
{
    m_images[1].start = kAlternativeStart;
}

FwUpdate::~FwUpdate()
{
    CloseHandles();
}

void FwUpdate::SetDevicePaths(const QString &normalPath, const QString &bootPath)
{
    m_normalPath = normalPath;
    m_bootPath = bootPath;
}

QByteArray FwUpdate::image(ImageKind kind) const
{
    return m_images[indexOf(kind)].bytes;
}

bool FwUpdate::ReadImageFile(const QString &path, ImageKind kind)
{
    // Only binary images: an Intel hex file would be flashed as text.
    if (QFileInfo(path).suffix().contains(QLatin1String("hex"), Qt::CaseInsensitive))
        return false;
    // A regular file only, read bounded: a FIFO in the image's place would
    // block this thread, and quitting waits for it.
    QByteArray bytes;
    LocalFiles::ReadFailure failure = LocalFiles::ReadFailure::None;
    if (!LocalFiles::readRegularFile(path, kImageCapacity, &bytes, &failure)) {
        if (failure == LocalFiles::ReadFailure::TooLarge && m_verbose)
            qWarning("File size is too big");
        return false;
    }
    // An empty image would erase the application and leave nothing to start.
    if (bytes.isEmpty())
        return false;
    Image &img = m_images[indexOf(kind)];
    img.bytes = bytes;
    img.sum = 0;
    for (char c : bytes)
        img.sum += quint8(c);
    return true;
}

void FwUpdate::slotUpdate(QString path)
{
    // The file is checked before the mouse is touched: a bad file must never
    // leave the mouse waiting in its boot loader.
    if (!ReadImageFile(path, ImageKind::Application)) {
        qWarning("Get file info fail");
        qWarning("update fw file failed");
        emit sigUpdateResult(false);
        return;
    }
    if (!EnterUpdateMode()) {
        CloseHandles();
        emit sigUpdateResult(false);
        qWarning(" FW no enter updatemode ");
        return;
    }
    qInfo() << path;
    if (!TransferImage(ImageKind::Application)) {
        CloseHandles();
        emit sigUpdateResult(false);
        qWarning("update fw file failed");
        return;
    }
    qInfo("update fw file ok");
    SendFinish();
    if (!ConfirmNewVersion()) {
        emit sigUpdateResult(false);
        qWarning("update fw file failed");
        return;
    }
    for (uint percent = 80; percent < 100; percent += 5) {
        emit sigPercent(percent);
        DeviceClock::sleep(kFinalStepMs);
    }
    emit sigPercent(100);
    emit sigUpdateResult(true);
}

bool FwUpdate::EnterUpdateMode()
{
    m_haveOldVersion = false;
    if (!LoadHidParse())
        return false;
    if (FindHidDevice(m_bootPath)) {
        qInfo() << "EnterUpdateMode" << m_bootPath;
        m_bootHandle = OpenHidDevice(0, 0, m_bootPath, 0, 0);
        return m_bootHandle != nullptr;
    }
    if (!FindHidDevice(m_normalPath))
        return false;
    // The version before the update, to tell afterwards whether the new image runs.
    m_haveOldVersion = ReadNormalVersion(&m_oldVersion);
    HidParseHandle normal = OpenHidDeviceWithReport(0xFF00, 0x0E, m_normalPath, kModeReportId, kModeReportSize);
    if (!normal)
        return false;
    BYTE request[kModeReportSize] = {kModeReportId, kModeRequest};
    const bool written = WriteHidReport(normal, request, kModeReportSize);
    CloseHidDevice(normal);
    if (!written)
        return false;
    DeviceClock::sleep(kSwitchWaitMs);
    for (int i = 0; i < kBootRetries && !m_bootHandle; ++i) {
        DeviceClock::sleep(kBootRetryWaitMs);
        m_bootHandle = OpenHidDevice(0, 0, m_bootPath, 0, 0);
        qInfo("m_hBoot = %llx", static_cast<unsigned long long>(reinterpret_cast<quintptr>(m_bootHandle)));
    }
    return m_bootHandle != nullptr;
}

void FwUpdate::setCommand(quint32 command)
{
    putLe32(kOffsetCommand, command);
}

// The counter goes into the packet and moves on: the reply must carry the new value.
void FwUpdate::setNumber()
{
    putLe32(kOffsetNumber, m_packetNo);
    ++m_packetNo;
}

void FwUpdate::putLe32(int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        m_packet[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

bool FwUpdate::TransferImage(ImageKind kind)
{
    const Image &img = m_images[indexOf(kind)];
    if (img.bytes.isEmpty()) {
        qWarning("Get file info fail");
        return false;
    }
    const int length = img.bytes.size();
    const auto *bytes = reinterpret_cast<const unsigned char *>(img.bytes.constData());
    std::fill(std::begin(m_packet), std::end(m_packet), 0);

    m_packetNo = 1;
    setCommand(kCmdSync);
    putLe32(kOffsetPayload, m_packetNo);
    setNumber();
    if (!WritePacket() || !ReadReply()) {
        qWarning("Send sync packno cmd fail");
        return false;
    }
    qInfo("Send sync packno cmd OK");

    int sent = qMin(length, kFirstChunk);
    setCommand(kind == ImageKind::Application ? kCmdFirstApplication : kCmdFirstAlternative);
    setNumber();
    putLe32(kOffsetPayload, img.start);
    putLe32(kOffsetPayload + 4, quint32(length));
    std::copy(bytes, bytes + sent, m_packet + kOffsetPayload + 8);
    if (m_verbose)
        qInfo("Need to transfer  %d  bytes", length);
    if (!WritePacket() || !ReadReply())
        return false;
    if (m_verbose) {
        qInfo("Send index %d:  %d bytes", 0, sent);
        qInfo("Sending next packets...");
    }

    int index = 1;
    int resends = 0;
    while (sent < length) {
        emit sigPercent(uint((qint64(sent) * 100 / length) * 8 / 10));
        const int n = qMin(kChunk, length - sent);
        setCommand(kCmdData);
        setNumber();
        std::copy(bytes + sent, bytes + sent + n, m_packet + kOffsetPayload);
        if (!WritePacket())
            return false;
        if (ReadReply()) {
            if (m_verbose)
                qInfo("Send index %d:  %d bytes", index, n);
            sent += n;
            ++index;
            resends = 0;
            continue;
        }
        if (m_lastError != ErrorShortReply && m_lastError != ErrorChecksum)
            return false;
        // A boot loader that garbles every copy of a chunk would keep us here for ever.
        if (++resends > kMaxResendsPerChunk)
            return false;
        qWarning("Resend this packet");
        // The marker tells the boot loader to drop the chunk it just took; the
        // same chunk then goes again as an ordinary data packet.
        setCommand(kCmdResend);
        setNumber();
        if (!WritePacket() || !ReadReply())
            return false;
    }
    return true;
}

bool FwUpdate::WritePacket()
{
    m_lastError = ErrorNone;
    quint16 sum = 0;
    for (int i = 1; i < kPacketSize; ++i)
        sum = quint16(sum + m_packet[i]);
    m_sentChecksum = sum;
    if (m_verbose)
        qInfo("WriteFile: %08x %08x %08x, gcksum= %x", le32(m_packet + kOffsetCommand), le32(m_packet + kOffsetNumber),
              le32(m_packet + kOffsetPayload), m_sentChecksum);
    QElapsedTimer took;
    took.start();
    if (!WriteHidReport(m_bootHandle, m_packet, kPacketSize)) {
        qWarning("Failed to write data,error code: %d", -1);
        return false;
    }
    if (took.elapsed() > kWriteTimeoutMs) {
        qWarning("Timeout[Write PENDING]");
        return false;
    }
    return true;
}

bool FwUpdate::ReadReply()
{
    m_lastError = ErrorNone;
    unsigned char reply[kPacketSize];
    int waited = 0;
    for (;;) {
        const int n = ReadHidReport(m_bootHandle, reply, kPacketSize, 0);
        if (n < 0) {
            qWarning("Failed to read data,error code: %d", n);
            return false;
        }
        if (n == 0 || (n >= kPacketSize && le32(reply + kOffsetNumber) != m_packetNo)) {
            // Nothing yet, or a reply to some other packet: keep listening until the deadline.
            if (waited >= kReplyDeadlineMs) {
                m_lastError = ErrorTimeout;
                return false;
            }
            DeviceClock::sleep(kReplyPollMs);
            waited += kReplyPollMs;
            continue;
        }
        if (n < kPacketSize) {
            qWarning("Wrong size: %d", n);
            ++m_packetNo;
            m_lastError = ErrorShortReply;
            return false;
        }
        const quint16 checksum = quint16(reply[1] | reply[2] << 8);
        if (m_verbose)
            qInfo("ReadFile: lcksum= %x curPacketNo= %x", checksum, m_packetNo);
        ++m_packetNo;
        if (checksum != m_sentChecksum) {
            qWarning("Checksum error: %x %x", checksum, m_sentChecksum);
            m_lastError = ErrorChecksum;
            return false;
        }
        return true;
    }
}

void FwUpdate::SendFinish()
{
    setCommand(kCmdFinish);
    setNumber();
    WritePacket();
    CloseHandles();
    DeviceClock::sleep(kFinishWaitMs);
}

void FwUpdate::CloseHandles()
{
    CloseHidDevice(m_bootHandle);
    m_bootHandle = nullptr;
}

bool FwUpdate::ReadNormalVersion(quint32 *version)
{
    USBDriverKestrel driver;
    driver.SetWiredWirelessString(m_normalPath, QString());
    driver.SetMode(0);
    DWORD v = 0;
    const bool ok = driver.FindHIDDevice() && driver.GetFwVersion(&v);
    driver.UnInitDevice();
    if (ok)
        *version = v;
    return ok;
}

// The boot loader takes any image without complaint; only the mouse coming
// back with another version shows that the new firmware runs.
bool FwUpdate::ConfirmNewVersion()
{
    quint32 version = 0;
    bool back = false;
    for (int i = 0; i < kBootRetries && !back; ++i) {
        if (i > 0)
            DeviceClock::sleep(kBootRetryWaitMs);
        back = FindHidDevice(m_normalPath) && ReadNormalVersion(&version);
    }
    if (!back) {
        qWarning("FW mouse not back in normal mode after update");
        return false;
    }
    qInfo("FW version after update: %x", version);
    if (m_haveOldVersion && version == m_oldVersion) {
        qWarning("FW version unchanged after update: %x", version);
        return false;
    }
    return true;
}
