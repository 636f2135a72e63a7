#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/Damage.h"
#include "zaltor/Patch.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class BulkDump;
class Motif;
class MotifSysex;
class PatchDump;

// A patch read from a file, with the bulk header and footer it was framed in, if any.
struct MOTIF_EXPORT LoadedPatch {
    std::unique_ptr<PatchDump> dump;
    std::unique_ptr<MotifSysex> header;
    std::unique_ptr<MotifSysex> footer;
    // Every stretch of the file outside a whole message, in file order; a file with any is refused.
    DamageList damage;
    // Where the patch came from, when the file says (see PatchFile::noteMessage); empty if not.
    QString note;
    LoadedPatch();
    ~LoadedPatch();
    LoadedPatch(LoadedPatch&&) noexcept;
    LoadedPatch& operator=(LoadedPatch&&) noexcept;
    // The messages as they stand in the file: note, header, blocks, footer.
    std::unique_ptr<BulkDump> framed() const;
    // The stored voice or drum kit the bulk header names by its bulk control; nothing without a
    // header or for any other location.
    std::optional<Patch> storedVoice(Motif& device) const;
};

// A patch as a .syx file: the bulk as the instrument sent it (header, blocks, footer) or just
// its blocks, optionally after a note of where it came from. Reading checks every message before
// anything is trusted: a byte outside the messages, a file of another model, a broken message or
// a bad checksum is refused with the place it was found.
class MOTIF_EXPORT PatchFile {
public:
    // The patch type whose name block is at `address`; -1 for any other block.
    static int typeOfBlock(std::uint32_t address);
    // "voice", "drum", "plg", "performance", "mix", "master".
    static QString typeName(int type);
    // A type by name or number; -1 for anything else.
    static int typeFromName(const QString& name);

    // The blocks in the file as a dump of the type its first block names; no dump and *error set
    // when the file is not a Motif ES patch.
    static LoadedPatch read(const QString& path, Motif& device, QString* error);
    // The same for bytes already in memory; `source` names them in the error texts.
    static LoadedPatch parse(std::span<const std::uint8_t> bytes, const QString& source, Motif& device,
                             QString* error);
    // Writes the messages one after another, after the note's message if there is a note,
    // through a temporary file renamed into place.
    static bool write(const QString& path, const BulkDump& messages, QString* error,
                      const QString& note = QString());
    // A note travels as the first message of the file, under the manufacturer id reserved for
    // non-commercial use (7D), as printable ASCII: F0 7D text F7. Every reader of SysEx files
    // may skip it, the instrument ignores it, and this program reads it as the file's note and
    // never sends it.
    static std::vector<std::uint8_t> noteMessage(const QString& note);
};
