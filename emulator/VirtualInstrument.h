#pragma once

#include "emulator/BulkTransfer.h"
#include "emulator/FaultPlan.h"
#include "emulator/MemoryImage.h"
#include "emulator/PatchMemory.h"
#include "zaltor/MidiTransport.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

struct EsMessage;
struct InstrumentSettings;
class DelayLine;

// A Motif ES6/ES7/ES8 in software. It answers the instrument's SysEx protocol from its own memory
// image (system settings, user banks, edit buffers), takes bulks and stores, and tracks what the
// host selects, so that the librarian can be exercised without the hardware. Anything it does not
// understand is a loud, counted error.
//
// It is also an adversary, as real hardware and cables can be (InstrumentSettings): it listens
// only to its own SysEx device number and receive channel, may be a model of the family that
// answers nothing but identity requests, may stop answering after a number of messages, and its
// replies pass through a FaultPlan that drops, corrupts, duplicates, delays or truncates them.
//
// Input may arrive on a port's own thread while another thread reads the state, so every member
// is safe to call from any thread. Replies and the error sink run after the state lock is
// released, so a peer that answers from inside its receiver may call back in.
class VirtualInstrument {
public:
    // Only ES6, ES7 and ES8 answer more than identity requests.
    enum class Model { ES6, ES7, ES8, S90ES, RackES, XS };

    // The patch a MIDI channel plays: the bank select that preceded its last program change.
    // -1 where nothing was received yet.
    struct Selection {
        int msb = -1;
        int lsb = -1;
        int program = -1;
        bool operator==(const Selection&) const = default;
    };

    struct LogEntry {
        MidiBytes bytes;
        QString description; // starts with "error: " for a message the instrument rejected
    };

    using PlgBoards = PatchMemory::PlgBoards;

    // boards says which PLG slots hold a board; only those have user banks.
    explicit VirtualInstrument(Model model, PlgBoards boards = {});
    explicit VirtualInstrument(const InstrumentSettings& settings, PlgBoards boards = {});
    ~VirtualInstrument();
    VirtualInstrument(const VirtualInstrument&) = delete;
    VirtualInstrument& operator=(const VirtualInstrument&) = delete;

    // "ES7", "motif es7", "Motif ES7", "S90 ES", "Motif-Rack ES"... in any case, blanks and
    // dashes ignored; nothing for other names.
    static std::optional<Model> modelFromName(const QString& name);
    static QString modelName(Model model); // "Motif ES7"
    // The family member code of its identity reply (low byte first on the wire).
    static std::uint16_t memberCode(Model model);

    // Listens on input and answers on output. The transports must outlive the instrument.
    void attach(MidiTransport& both);
    void attach(MidiTransport& input, MidiTransport& output);

    // Handles one complete message, as if it had come in from the host.
    void receive(std::span<const std::uint8_t> message);

    // The front panel: the instrument changes its state and reports the change to the host.
    void pressMode(int mode);
    void pressMaster(int number);

    // Called with each error text as it happens, outside the state lock.
    void setErrorSink(std::function<void(const QString&)> sink);

    Model model() const { return model_; }
    int mode() const;
    int master() const;
    bool localOn() const;
    int receiveChannel() const;
    // pp is the part's address byte (0x00-0x0F, 0x60-0x62); -1 for any other.
    int partVolume(int pp) const;
    Selection selected(int channel) const;
    int songSelect() const;

    // The bytes of the block at address of the patch at a bulk control (a location such as 0x0805
    // for USER1:005, or an edit buffer such as 0x0F00); empty when there is no such block.
    std::vector<std::uint8_t> block(std::uint16_t control, std::uint32_t address) const;
    // How many store commands arrived.
    int storeCount() const;
    // Every user location, for comparing one instrument's memory with another's.
    PatchMemory::Snapshot userMemory() const;
    // User banks and edit buffers back to the factory image; a bulk in progress is forgotten.
    void resetToFactory();

    // True once it has handled as many messages as it was told to before it stops answering.
    bool stoppedAnswering() const;
    FaultPlan::Counts faultCounts() const;

    std::vector<LogEntry> log() const;
    int errorCount() const;
    QStringList errors() const;

private:
    // What one message makes the instrument do once the state lock is released.
    struct Outcome {
        std::vector<MidiBytes> replies;
        QStringList errors;
    };

    void handle(std::span<const std::uint8_t> message, Outcome& outcome);
    void handleSysex(std::span<const std::uint8_t> message, Outcome& outcome);
    void handleShort(std::span<const std::uint8_t> message, Outcome& outcome);
    QString select(const Selection& selection);
    void handleParameter(std::span<const std::uint8_t> bytes, const EsMessage& message, Outcome& outcome);
    void handleEditBuffer(std::span<const std::uint8_t> bytes, const EsMessage& message, Outcome& outcome);
    void handleBulk(std::span<const std::uint8_t> bytes, BulkTransfer::Outcome result, Outcome& outcome);
    void logEntry(std::span<const std::uint8_t> message, const QString& description);
    void fail(std::span<const std::uint8_t> message, const QString& reason, Outcome& outcome);
    void noteError(const QString& text, Outcome& outcome);
    int parameter(std::uint32_t address) const;
    void setParameter(std::uint32_t address, int value);
    void press(std::uint32_t address, int value);
    bool listensOn(int channel) const;
    void deliver(Outcome outcome);
    void sendNow(MidiTransport* output, const MidiBytes& reply, QStringList& errors);

    const Model model_;
    const int device_;   // the low nibble of the SysEx kind byte: device number - 1
    const int dieAfter_; // -1: never
    mutable std::mutex mutex_;
    MemoryImage image_;
    PatchMemory patches_;
    BulkTransfer bulks_{patches_};
    std::array<Selection, 16> selected_;
    // Bank select takes effect with the next program change on the channel.
    std::array<int, 16> bankMsb_;
    std::array<int, 16> bankLsb_;
    int songSelect_ = -1;
    int handled_ = 0;
    FaultPlan faults_;
    std::vector<LogEntry> log_;
    QStringList errors_;
    std::function<void(const QString&)> errorSink_;
    MidiTransport* input_ = nullptr;
    MidiTransport* output_ = nullptr;
    // Only when replies are delayed; the last member, so that it stops before the rest goes.
    std::unique_ptr<DelayLine> delayLine_;
};
