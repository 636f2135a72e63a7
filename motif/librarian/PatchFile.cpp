#include "motif/librarian/PatchFile.h"

#include "core/Archive.h"
#include "core/Buffer.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/PatchDump.h"
#include "zaltor/SysexStream.h"

#include <algorithm>

namespace {
constexpr std::uint8_t NoteManufacturer = 0x7D;
} // namespace

LoadedPatch::LoadedPatch() = default;
LoadedPatch::~LoadedPatch() = default;
LoadedPatch::LoadedPatch(LoadedPatch&&) noexcept = default;
LoadedPatch& LoadedPatch::operator=(LoadedPatch&&) noexcept = default;

std::optional<Patch> LoadedPatch::storedVoice(Motif& device) const
{
    if (!header) return std::nullopt;
    const unsigned int control = header->getAddress() & 0xFFFF;
    const BankSet banks = device.bankSet(QStringLiteral("VOICES"));
    for (int i = 0; i < banks.count(); ++i)
        if (device.bulkControlBaseOf(banks.bank(i)) == (control & 0xFF00))
            return Patch(banks.bank(i), int(control & 0xFF));
    return std::nullopt;
}

std::unique_ptr<BulkDump> LoadedPatch::framed() const
{
    auto out = std::make_unique<BulkDump>();
    if (!note.isEmpty()) out->append(std::make_unique<Sysex>(PatchFile::noteMessage(note)));
    if (header) out->append(header->clone());
    if (dump)
        for (int i = 0; i < dump->count(); ++i) out->append(dump->at(i)->clone());
    if (footer) out->append(footer->clone());
    return out;
}

int PatchFile::typeOfBlock(std::uint32_t address) { return MotifBanks::typeOfBlock(address); }

QString PatchFile::typeName(int type) { return MotifBanks::shortTypeName(type); }

int PatchFile::typeFromName(const QString& name) { return MotifBanks::typeFromName(name); }

LoadedPatch PatchFile::read(const QString& path, Motif& device, QString* error)
{
    Buffer bytes;
    if (!bytes.fromFile(path)) {
        *error = QStringLiteral("cannot read '%1'").arg(path);
        return LoadedPatch();
    }
    return parse(bytes.bytes(), path, device, error);
}

LoadedPatch PatchFile::parse(std::span<const std::uint8_t> bytes, const QString& path, Motif& device,
                             QString* error)
{
    LoadedPatch loaded;
    const std::vector<SysexPiece> pieces = SysexStream::split(bytes);
    for (const SysexPiece& piece : pieces)
        if (!piece.whole())
            loaded.damage.push_back({QString(), 0, qint64(piece.offset), SysexStream::problem(piece)});
    if (const SysexPiece* bad = SysexStream::firstProblem(pieces)) {
        *error = bad->kind == SysexPiece::Truncated
                     ? QStringLiteral("'%1' ends inside a message (truncated)").arg(path)
                     : QStringLiteral("'%1': %2").arg(path, SysexStream::problem(*bad));
        return loaded;
    }
    if (pieces.empty()) {
        *error = QStringLiteral("'%1' holds no SysEx message").arg(path);
        return loaded;
    }
    auto first = pieces.begin();
    if (first->bytes.size() >= 2 && first->bytes[1] == NoteManufacturer) {
        const auto text = first->bytes.subspan(2, first->bytes.size() - 3);
        if (text.empty() ||
            std::any_of(text.begin(), text.end(), [](std::uint8_t c) { return c < 0x20 || c > 0x7E; })) {
            *error =
                QStringLiteral("'%1': message 1 (manufacturer 7D) is not a note of this program").arg(path);
            return loaded;
        }
        loaded.note = QString::fromLatin1(reinterpret_cast<const char*>(text.data()), qsizetype(text.size()));
        ++first;
    }
    if (first == pieces.end()) {
        *error = QStringLiteral("'%1' holds a note but no patch").arg(path);
        return loaded;
    }
    // Messages are counted in the file, the note included.
    const std::size_t skipped = std::size_t(first - pieces.begin());
    std::vector<std::unique_ptr<MotifSysex>> messages;
    for (auto piece = first; piece != pieces.end(); ++piece)
        messages.push_back(std::make_unique<MotifSysex>(piece->bytes));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const MotifSysex& m = *messages[i];
        if (m.at(1) != 0x43 || m.size() < 5) {
            *error = QStringLiteral("'%1': message %2 is not Yamaha's").arg(path).arg(skipped + i + 1);
            return loaded;
        }
        if (m.at(3) != 0x7F || m.at(4) != 0x00) {
            *error = QString::asprintf("'%s': model id %02X %02X found, not a Motif ES (7F 00) dump",
                                       qPrintable(path), m.at(3), m.at(4));
            return loaded;
        }
        if (m.kind() != MotifSysex::BulkDump) {
            *error = QStringLiteral("'%1': message %2 is not a bulk dump (%3)")
                         .arg(path)
                         .arg(skipped + i + 1)
                         .arg(m.printAnalysis());
            return loaded;
        }
        if (!m.checksumValid()) {
            *error = QString::asprintf("'%s': bad checksum in the block at %06X", qPrintable(path),
                                       m.getAddress());
            return loaded;
        }
    }
    if (messages.front()->isHeader()) {
        loaded.header = std::move(messages.front());
        messages.erase(messages.begin());
    }
    if (!messages.empty() && messages.back()->isFooter()) {
        loaded.footer = std::move(messages.back());
        messages.pop_back();
    }
    const int type = messages.empty() ? -1 : typeOfBlock(messages.front()->getAddress());
    if (type < 0) {
        *error = QStringLiteral("'%1' does not begin with the name block of a voice, drum kit, PLG voice, "
                                "performance, mix or master")
                     .arg(path);
        return loaded;
    }
    loaded.dump.reset(device.createPatchDump(type));
    for (auto& message : messages) loaded.dump->append(std::move(message));
    return loaded;
}

std::vector<std::uint8_t> PatchFile::noteMessage(const QString& note)
{
    std::vector<std::uint8_t> bytes{0xF0, NoteManufacturer};
    for (const QChar c : note)
        bytes.push_back(c.unicode() >= 0x20 && c.unicode() <= 0x7E ? c.unicode() : '?');
    bytes.push_back(0xF7);
    return bytes;
}

bool PatchFile::write(const QString& path, const BulkDump& messages, QString* error, const QString& note)
{
    Archive archive;
    if (!note.isEmpty()) archive.write(noteMessage(note));
    archive.write(messages.toBytes());
    if (!archive.commit(path)) {
        *error = QStringLiteral("cannot write '%1': %2").arg(path, archive.errorText());
        return false;
    }
    return true;
}
