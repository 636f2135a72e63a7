#pragma once

#include "core/IniFile.h"
#include "zaltor/DeviceTable.h"
#include "zaltor/MidiInbox.h"
#include "zaltor/MidiMessage.h"
#include "zaltor/MidiParam.h"
#include "zaltor/MidiPort.h"
#include "zaltor/Patch.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class BulkDump;
class PatchDump;
class Sysex;

// What the framework asks of the owner of MIDI ports: complete messages, as they arrive.
class IMidiPortOwner {
public:
    virtual ~IMidiPortOwner() = default;
    virtual void OnShortMessage(const MidiBytes& message, MidiSource source) = 0;
    virtual void OnLongMessage(const MidiBytes& message, MidiSource source) = 0;
};

// A part the instrument has beyond the 16 MIDI channels (plug-in board parts).
struct ExtraPart {
    std::array<std::uint8_t, 3> flags{0, 0, 0};
    int value = -1;
};

// An instrument as the framework sees it. A device module derives from it and overrides what
// is particular to its instrument; the defaults here are the framework's general behaviour.
//
// All work runs on the caller's thread. Input from the transports is queued in inboxes and
// handled when the caller polls, or while a synchronous request waits for its answer.
class MidiDevice : public QObject, public IMidiPortOwner {
    Q_OBJECT
public:
    MidiDevice(const QString& name, int id, QObject* parent = nullptr);
    ~MidiDevice() override;

    // ---- Identity and configuration
    QString name() const { return name_; }
    int deviceId() const { return id_; }
    QString modelName() const { return modelName_; }
    void setModelName(const QString& name) { modelName_ = name; }
    int receiveChannel() const { return receiveChannel_; }
    void setReceiveChannel(int channel) { receiveChannel_ = channel; }
    // One record for each of the 16 MIDI parts; a device appends the parts it has beyond them.
    std::vector<ExtraPart>& extraParts() { return extraParts_; }
    const std::vector<ExtraPart>& extraParts() const { return extraParts_; }
    std::vector<std::uint32_t>& addresses() { return addresses_; }
    const std::vector<std::uint32_t>& addresses() const { return addresses_; }
    // The pause after each message of a bulk, for instruments that need time to digest.
    void setTransmitDelay(int ms) { transmitDelayMs_ = ms; }
    int transmitDelay() const { return transmitDelayMs_; }

    // ---- Ports
    MidiPort& mainIn() { return mainIn_; }
    MidiOutPort& mainOut() { return mainOut_; }
    MidiPort& secondaryIn() { return secondaryIn_; }
    MidiOutPort& secondaryOut() { return secondaryOut_; }
    // Wires the main ports to transports (not owned); either may be null.
    void connectPorts(MidiTransport* input, MidiTransport* output);
    void connectSecondaryPorts(MidiTransport* input, MidiTransport* output);
    // Called with every message sent (outgoing true) and every message taken from the inboxes.
    using Monitor = std::function<void(bool outgoing, const MidiBytes& message)>;
    void setMonitor(Monitor monitor);

    // Handles every message that has arrived so far; answers how many.
    int poll();
    // Sends an identity request and waits for the reply, which checkId judges.
    bool identify(int waitMs = 1000);
    // The last identity reply identify saw, known to checkId or not; empty when none came.
    const MidiBytes& lastIdentityReply() const { return identityReply_; }
    // How many messages the main input delivered while a synchronous request waited: a request
    // that leaves it unchanged was met with silence.
    std::uint64_t receivedWhileWaiting() const { return receivedWhileWaiting_; }
    // Why waiting for the instrument is pointless ("port 'X' is gone"); empty while the ports live.
    QString portError() const { return portError_; }

    // ---- Data tables
    bool loadIni(const QString& path);
    void loadXml(const QString& path) { xmlPath_ = path; }
    QString xmlPath() const { return xmlPath_; }
    const IniFile& ini() const { return ini_; }
    // The table of a data file section, owned by the device; null for an unknown section.
    DeviceTable* createTable(const QString& section);
    BankSet bankSet(const QString& section) { return BankSet(createTable(section)); }
    // Forgets a table so that the next lookup reads it again.
    void deleteBankSet(const QString& section);
    void updateUserPatchName(const Patch& patch, const QString& name);
    QString userPatchName(const Patch& patch) const;

    // ---- Sending
    void sendSysex(const Sysex* message);
    // Once a bulk is coming in, the longest the instrument stays quiet between two of its
    // messages. A 31250-baud cable moves about 3 bytes a millisecond, so the longest block of a
    // patch (under 100 bytes) takes some 30 ms, and the instrument pauses only briefly between
    // blocks; a reply quiet for ten times that has lost its end (or, with its header lost, was
    // never ours), and waiting the full request time for it would only delay the next request.
    static constexpr int BulkQuietMs = 300;

    // Asks through bulkRequest and collects header, blocks and footer into `dump`. The instrument
    // has `waitMs` to begin a bulk; once one is coming in, each message must follow the one before
    // within BulkQuietMs. Answers whether the bulk came to its end; when it did not, `dump` holds
    // what came of it (empty without its header), whose whole blocks a caller may keep.
    bool syncBulkRequest(unsigned int control, BulkDump& dump, int waitMs);
    // Asks for a parameter and answers its value, -1 when no answer came within `waitMs`.
    int syncParamRequest(const MidiParam& param, int waitMs);

    // ---- The device's virtual slots, in the framework's order.
    virtual void OnMidiMessage(const MidiMessage& message, MidiSource source);
    virtual void OnSysex(Sysex* message, MidiSource source);
    virtual void OnPatchChange(Patch patch, MidiSource source);
    // Bank select and program change on `channel`, or on the receive channel when it is not 0-15.
    virtual void patchChange(Patch patch, int channel = -1);
    virtual void patchChangeByType(int type);
    virtual void idRequest(MidiOutPort* port);
    virtual void paramRequest(MidiParam param);
    virtual void paramChange(MidiParam param, int value);
    virtual void bulkRequest(unsigned int control);
    virtual void patchRequest(Patch patch, bool setMode);
    virtual bool syncPatchRequest(Patch patch, BulkDump& dump, bool setMode);
    virtual bool syncEditBufferRequest(int type, BulkDump& dump, int waitMs);
    virtual void bulkTransmit(unsigned int control, BulkDump* dump);
    virtual void patchTransmit(Patch patch, BulkDump* dump, bool store);
    virtual void toEditBuffer(PatchDump* dump);
    virtual void strip(BulkDump* dump);
    virtual QString displaySysex(Sysex* message);
    virtual void waitRequest();
    virtual void waitTransmit();
    virtual bool checkId(Sysex* reply);
    virtual Sysex* createSysex();
    virtual void setMode(int mode);
    virtual void setModeByType(int type);
    virtual void setModeByBank(unsigned short bank);
    virtual QString bankNumber(unsigned short bank);
    virtual bool isUserBank(unsigned short bank);
    virtual int bankType(unsigned short bank);
    virtual QString bankTypeName(int type);
    virtual PatchDump* createPatchDump(int type);
    virtual unsigned int getIndexedAddress(unsigned int address, int index);
    virtual void setPartVolume(int part, int volume);
    virtual void storeAllPatches();
    virtual void storePatch(Patch patch);
    virtual void storeGlobal();
    virtual bool hasDeviceId();
    virtual bool hasKeyboard();
    virtual bool hasSecondaryPorts();
    virtual void setSecondaryPorts();
    // Whether a received message may belong to the bulk that answers a request of `control`;
    // a device whose headers and footers name the location checks them here.
    virtual bool isReplyTo(unsigned int control, const Sysex& message);

    // ---- IMidiPortOwner
    void OnShortMessage(const MidiBytes& message, MidiSource source) override;
    void OnLongMessage(const MidiBytes& message, MidiSource source) override;

signals:
    void patchChanged(Patch patch, int source);
    void sysexReceived(const Sysex& message, int source);
    void shortMessageReceived(const MidiMessage& message, int source);
    void identified(const QString& modelName);

protected:
    // The device's own message class over received bytes.
    std::unique_ptr<Sysex> makeSysex(const MidiBytes& bytes);
    static bool isIdentityReply(const MidiBytes& bytes);

private:
    void dispatch(const MidiBytes& message, MidiSource source);
    void wire(MidiSource source, MidiTransport* input, MidiTransport* output);
    MidiInbox& inbox(MidiSource source) { return source == SourceSecondary ? secondaryInbox_ : mainInbox_; }
    // Waits for a message from the main input that `accept` takes; the others are handled.
    bool waitForMessage(const std::function<bool(const MidiBytes&)>& accept, int waitMs, MidiBytes* out);
    // What arrived before a request cannot answer it: handled now, so that a late or duplicate
    // reply to an earlier request is never taken for the answer to the next one.
    void drainStale();
    // Records and answers whether a port of the main connection has disappeared.
    bool portsGone();

    QString name_;
    int id_;
    QString modelName_;
    int receiveChannel_ = 0;
    int transmitDelayMs_ = 10;
    std::vector<ExtraPart> extraParts_;
    std::vector<std::uint32_t> addresses_;

    MidiPort mainIn_;
    MidiOutPort mainOut_;
    MidiPort secondaryIn_;
    MidiOutPort secondaryOut_;
    MidiTransport* mainInTransport_ = nullptr;
    MidiTransport* secondaryInTransport_ = nullptr;
    MidiTransport* mainOutTransport_ = nullptr;
    MidiInbox mainInbox_;
    MidiInbox secondaryInbox_;
    Monitor monitor_;
    MidiBytes identityReply_;
    std::uint64_t receivedWhileWaiting_ = 0;
    QString portError_;

    IniFile ini_;
    QString xmlPath_;
    std::map<QString, std::unique_ptr<DeviceTable>> tables_;
    QHash<std::uint32_t, QString> userPatchNames_;
    // The bank select the instrument last sent on its receive channel, for program changes.
    int lastMsb_ = 0;
    int lastLsb_ = 0;
};
