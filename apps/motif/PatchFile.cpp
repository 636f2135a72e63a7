#include "PatchFile.h"

#include "core/Archive.h"
#include "core/Buffer.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/PatchDump.h"

LoadedPatch::LoadedPatch() = default;
LoadedPatch::~LoadedPatch() = default;
LoadedPatch::LoadedPatch(LoadedPatch&&) noexcept = default;
LoadedPatch& LoadedPatch::operator=(LoadedPatch&&) noexcept = default;

std::unique_ptr<BulkDump> LoadedPatch::framed() const
{
    auto out = std::make_unique<BulkDump>();
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
    LoadedPatch loaded;
    Buffer bytes;
    if (!bytes.fromFile(path)) {
        *error = QStringLiteral("cannot read '%1'").arg(path);
        return loaded;
    }
    std::vector<std::unique_ptr<MotifSysex>> messages;
    int start = -1;
    for (int i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == 0xF0) start = i;
        if (bytes.at(i) != 0xF7) continue;
        if (start < 0) {
            *error = QStringLiteral("'%1': stray F7 at byte %2, not a SysEx file").arg(path).arg(i);
            return loaded;
        }
        messages.push_back(std::make_unique<MotifSysex>(
            bytes.bytes().subspan(std::size_t(start), std::size_t(i - start + 1))));
        start = -1;
    }
    if (start >= 0 || messages.empty()) {
        *error = QStringLiteral("'%1' %2").arg(path, messages.empty() ? "holds no SysEx message"
                                                                      : "ends inside a message (truncated)");
        return loaded;
    }
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const MotifSysex& m = *messages[i];
        if (m.at(1) != 0x43 || m.size() < 5) {
            *error = QStringLiteral("'%1': message %2 is not Yamaha's").arg(path).arg(i + 1);
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
                         .arg(i + 1)
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

bool PatchFile::write(const QString& path, const BulkDump& messages, QString* error)
{
    Archive archive;
    archive.write(messages.toBytes());
    if (!archive.commit(path)) {
        *error = QStringLiteral("cannot write '%1': %2").arg(path, archive.errorText());
        return false;
    }
    return true;
}
