#pragma once
// The second family's driver. The mouse shows two vendor collections: a
// short "command" collection (6-byte feature report) and a long "data"
// collection (1032-byte feature report). Every exchange is a command set on
// one of them, a reply read from the data collection, and where the mouse
// has work to do, a status poll. The mouse keeps a 1024-byte profile block
// (the 476-byte profile record, two key bytes and the settings checksum), 24
// macro blocks and a screen-picture block.
#include "device/KorvanUSBDriver.h"
#include "platform/hid/HidBackend.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

class USBDriver_Osprey : public KorvanUSBDriver
{
    Q_OBJECT
public:
    // One HID collection in use, with a handle to read and one to write.
    struct Channel
    {
        QString productName;                   // for the log
        std::unique_ptr<HidDevice> readHandle;  // feature reads and input reports; null when closed
        std::unique_ptr<HidDevice> writeHandle; // feature writes and output reports; null when closed
        int reportId = 0;                       // report ID of the collection's feature value caps
        USHORT reportLength = 0;                // feature report length, report-ID byte included

        bool isOpen() const { return readHandle && writeHandle; }
    };

    static constexpr USHORT kCommandReportLength = 6;
    static constexpr USHORT kDataReportLength = 1032;
    static constexpr int kProfileSize = 476;      // the profile record
    static constexpr int kBlockSize = 1024;       // profile, macro and screen blocks
    static constexpr int kMacroSlots = 24;
    static constexpr int kReadableMacros = 17;    // ReadMacros reads the first 17 slots
    static constexpr int kMaxMacroItems = 511;    // two header bytes and 511 steps fill a block

    explicit USBDriver_Osprey(QObject *parent = nullptr);
    ~USBDriver_Osprey() override;

    // The model this driver talks to (its checksum pair and tolerances);
    // set by the manager that owns it, never read from the process.
    void SetMouseType(int mouseType) { m_mouseType = mouseType; }
    int mouseType() const { return m_mouseType; }

    // ---- operations of the driver interface ----

    // Finds the command and the data collection of the mouse SetPidVid names
    // and opens both; false unless both are there.
    bool FindHIDDevice() override;
    // Closes every handle.
    void UnInitDevice() override;
    // The mouse FindHIDDevice looks for.
    void SetPidVid(USHORT pid, USHORT vid) override;
    // Writes the macros into slots 0x8C, 0x90, ... in list order; at most 24
    // macros of at most 511 steps, else nothing is sent. An empty list succeeds.
    bool WriteMacroBlocks(const QList<MacroRecord> &macros) override;
    // 05: writes the 1024-byte screen block.
    bool WriteScreenBlock(const BYTE *block1024) override;
    // 85: reads the 1024-byte screen block.
    bool ReadScreenBlock(BYTE *block1024) override;
    // 83: reads the profile record; true when its fixed part balances (types
    // 18 and 19: whenever the mouse answered).
    bool GetProfileDataBlock(BYTE *block476) override;
    // 03: writes the profile record with the key bytes and a fresh settings
    // checksum; refused when its fixed part does not balance (except types 18 and 19).
    bool SetProfileDataBlock(const BYTE *block476) override;

    // ---- the second family's own operations, in this order ----

    // 84 for the first 17 macro slots; every non-empty macro is appended to out.
    virtual bool ReadMacros(QList<MacroRecord> *out);
    // 84 for one slot; false for an empty slot too.
    virtual bool ReadMacro(uchar address, MacroRecord *out);
    // The release number of the opened device.
    virtual USHORT GetDeviceVersion();
    // Waits 100 ms, then sets len bytes as a feature report on the channel.
    virtual bool SendCommand(Channel *channel, const BYTE *data, int len);
    // Waits 100 ms, then reads the channel's feature report; out gets its first len bytes.
    virtual bool ReceiveReply(Channel *channel, BYTE *out, int len);
    // One feature report: the report ID, then len bytes (at most the report's
    // length less the ID byte), zero filled.
    virtual bool SetFeatureReport(Channel *channel, const BYTE *data, int len);
    // One feature report read; out gets its first len bytes (report ID
    // included). False when the device gave fewer than len bytes.
    virtual bool GetFeatureReport(Channel *channel, BYTE *out, int len);
    // One output report built like a feature report.
    virtual bool WriteOutputReport(Channel *channel, const BYTE *data, int len);
    // One input report; out gets its first len bytes.
    virtual bool ReadInputReport(Channel *channel, BYTE *out, int len);
    // Closes the four handles.
    virtual void CloseAllHandles();
    // Checks the fixed part of a profile (bytes 0..480) against the constant
    // of the open model (the process-wide model code); on a match writes the
    // key bytes and the settings checksum into bytes 476..480. A mismatch
    // leaves the bytes alone.
    virtual bool CheckProfileSum(BYTE *profile);

    // ---- helpers ----

    // The status poll: up to four 82 exchanges, 100 ms apart, until status
    // byte `index` is 0. *status holds the last status byte read (also on
    // failure, when one was read).
    bool GetStatus(BYTE *status, int index);
    // 04: writes one macro into the slot at `address`; more than 511 steps is refused unsent.
    bool SetMacroStruct(const MacroRecord &macro, uchar address);
    // Builds one 1024-byte block per macro; false (nothing built) when the
    // list holds more than 24 macros or a macro does not fit its block.
    bool PrepareMacroBlocks(const QList<MacroRecord> &macros);
    // Reads a macro out of a whole 1032-byte 84 reply: false for an empty slot.
    bool ParseMacroReply(const BYTE *reply, MacroRecord *out);

    // ---- for tests and the bench ----
    Channel *commandChannel() { return &m_command; }
    Channel *dataChannel() { return &m_data; }
    // The profile block last read or written (1024 bytes).
    QByteArray profileCache() const;
    uchar keyA() const { return m_keyA; }
    uchar keyB() const { return m_keyB; }
    const QList<uchar> &macroAddresses() const { return m_macroAddresses; }

protected:
    // Sends a block write on the data channel and polls its status.
    bool writeWithStatus(const BYTE *data, int len, int statusIndex);
    // The reply to a read command: whole report, header checked.
    bool readReply(BYTE command, BYTE *reply1032);

    Channel m_command;
    Channel m_data;
    USHORT m_vid = 0;
    USHORT m_pid = 0;
    BYTE m_profileCache[kBlockSize] = {};
    BYTE m_macroBlocks[kMacroSlots][kBlockSize] = {};
    int m_macroBlockCount = 0;
    QList<uchar> m_macroAddresses;
    USHORT m_versionNumber = 0;
    uchar m_keyA = 0;
    uchar m_keyB = 0;
    int m_mouseType = 0;
};
