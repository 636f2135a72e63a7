#pragma once

#include "emulator/PatchMemory.h"
#include "zaltor/MidiTransport.h"

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct EsMessage;

// The instrument's side of whole-patch transfers. A dump request of 0x0Emmll is answered with a
// bulk: the header (0x0Emmll, no data), one bulk dump per block of the patch at bulk control mmll,
// and the footer (0x0Fmmll). A bulk received the same way is checked block by block and written
// into its location only when its footer arrives and nothing in it was wrong. A bulk dump to
// 0x110000 without data is the store command.
class BulkTransfer {
public:
    static constexpr std::uint32_t storeCommand = 0x110000;

    // What one message did: the replies, the log text, or the reason it was rejected.
    struct Outcome {
        std::vector<MidiBytes> replies;
        QString description;
        QString error;
    };

    explicit BulkTransfer(PatchMemory& memory) : memory_(memory) {}

    Outcome request(std::uint32_t address) const;
    Outcome receive(const EsMessage& bulk);

    int stores() const { return stores_; }
    // Forgets a bulk in progress, as when the memory is reset under it.
    void abandon() { open_.reset(); }

private:
    // A bulk between its header and its footer.
    struct Open {
        std::uint16_t control;
        const PatchLayout* layout;
        std::map<std::size_t, std::vector<std::uint8_t>> blocks; // by block index
        int errors = 0;
    };

    Outcome header(const EsMessage& bulk);
    Outcome block(const EsMessage& bulk);
    Outcome footer(const EsMessage& bulk);
    Outcome store(const EsMessage& bulk);
    Outcome reject(const QString& reason);

    PatchMemory& memory_;
    std::optional<Open> open_;
    int stores_ = 0;
};
