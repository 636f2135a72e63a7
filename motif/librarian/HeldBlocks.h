#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class BulkDump;
class Sysex;

// The whole blocks of one location's bulk, gathered from every reply to its requests. The
// instrument answers a request with the whole bulk again, and a faulty cable loses or damages
// other blocks of each copy: together the copies hold every block long before one of them does.
class HeldBlocks {
public:
    // `layout` lists the blocks of the patch type in the instrument's order and sizes; it must
    // outlive this.
    explicit HeldBlocks(const BulkDump& layout);
    ~HeldBlocks();

    // Keeps the blocks of a reply (its header first, as the device collected it) that are whole:
    // their checksum holds and the layout has a block of their address and size. Answers how many
    // of them were not held before.
    int take(const BulkDump& reply);
    bool started() const { return header_ != nullptr; }
    bool complete() const { return header_ && held_ == int(blocks_.size()); }
    // Header, blocks in layout order and footer, as the instrument sends them; empty while
    // incomplete.
    BulkDump bulk() const;
    // What keeps it from being whole, from the first block of the layout not held on: "block
    // 410100 missing", "bad checksum in the block at 407000; 3 of 39 blocks missing", "no reply
    // began with its header"...
    QString missing() const;

private:
    int positionOf(std::uint32_t address) const;

    const BulkDump& layout_;
    std::unique_ptr<Sysex> header_;
    std::unique_ptr<Sysex> footer_;
    std::vector<std::unique_ptr<Sysex>> blocks_; // by position in the layout
    std::vector<QString> refused_;               // why the last copy of a block was not kept
    QString stranger_;                           // the last block of no place in the layout
    int held_ = 0;
};
