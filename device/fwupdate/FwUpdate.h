#pragma once
// The first family's firmware transfer: switches the mouse into its boot
// loader, sends the image in 65-byte packets, each acknowledged with the
// boot loader's checksum of it and the next packet number, and checks
// afterwards that the mouse came back with a new firmware version.
#include "device/fwupdate/FirmwareTransfer.h"
#include "device/hidparse/HidParse.h"

#include <QByteArray>
#include <QString>

class FwUpdate : public FirmwareTransfer
{
    Q_OBJECT
public:
    // Which of the two images a file is read into.
    enum class ImageKind { Application, Alternative };

    static constexpr int kImageCapacity = 0x20000;        // 128 KiB, the largest image taken
    static constexpr quint32 kAlternativeStart = 0x1F000; // device address of the alternative image
    static constexpr int kPacketSize = 65;                // report ID 0 and 64 bytes
    static constexpr int kFirstChunk = 48;                // image bytes in the first data packet
    static constexpr int kChunk = 56;                     // image bytes in each following packet
    static constexpr int kWriteTimeoutMs = 5000;
    static constexpr int kReplyDeadlineMs = 20000;
    static constexpr int kMaxResendsPerChunk = 8;

    // lastError values.
    enum { ErrorNone = 0, ErrorShortReply = -1, ErrorChecksum = -2, ErrorTimeout = -3 };

    explicit FwUpdate(QObject *parent = nullptr);
    ~FwUpdate() override;

    void SetDevicePaths(const QString &normalPath, const QString &bootPath) override;
    // Logs the progress of the transfer packet by packet.
    void SetVerbose(bool verbose) { m_verbose = verbose; }
    // Why the last reply was refused: 0, -1 too short, -2 checksum, -3 time-out.
    int lastError() const { return m_lastError; }

    // Reads an image file into the buffer of its kind: binary only (no "hex"
    // in the suffix), not empty, at most 128 KiB. False leaves the buffer's
    // previous image in place.
    bool ReadImageFile(const QString &path, ImageKind kind);
    // The image last read into a buffer.
    QByteArray image(ImageKind kind) const;

public slots:
    // Checks the file, switches the mouse into its boot loader, sends the
    // image, finishes and confirms the new version; one sigUpdateResult.
    void slotUpdate(QString path) override;

private:
    struct Image
    {
        QByteArray bytes;
        quint32 start = 0;
        quint32 sum = 0;
    };

    bool EnterUpdateMode();
    bool TransferImage(ImageKind kind);
    bool WritePacket();
    bool ReadReply();
    void SendFinish();
    void CloseHandles();
    bool ReadNormalVersion(quint32 *version);
    bool ConfirmNewVersion();

    void setCommand(quint32 command);
    void setNumber();
    void putLe32(int offset, quint32 value);

    QString m_normalPath;
    QString m_bootPath;
    bool m_verbose = false;
    HidParseHandle m_bootHandle = nullptr;
    Image m_images[2];
    unsigned char m_packet[256] = {}; // packets are built here; bytes a packet leaves alone keep their last value
    quint32 m_packetNo = 1;
    quint16 m_sentChecksum = 0;
    int m_lastError = ErrorNone;
    bool m_haveOldVersion = false;
    quint32 m_oldVersion = 0;
};
