// The one rule for bytes outside the messages of a .syx file: the patch-file reader and the
// framework's dump reader refuse them at the same offset, the splitter hands them on as pieces of
// their own, and a file of another model is refused by its model id.
#include "TestSupport.h"

#include "core/Archive.h"
#include "motif/Motif.h"
#include "motif/librarian/PatchFile.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"
#include "zaltor/SysexStream.h"

#include <gtest/gtest.h>

namespace {
// Bytes put into a whole master (its blocks, unframed) and the texts each reader answers;
// %1 stands for the offset of the message both must name.
struct Case {
    const char* what;
    bool atSecond; // inserted before the second message, else at the start
    const char* insert;
    std::size_t cut; // bytes taken off the end
    const char* patchFileError;
    const char* dumpError;
};
} // namespace

TEST(PatchFileTest, StrayBytesAreRefusedAtTheSameOffsetByEveryReader)
{
    Motif device;
    std::unique_ptr<PatchDump> master(device.createPatchDump(Motif::Master));
    master->init();
    const MidiBytes whole = master->toBytes();
    const std::size_t second = std::size_t(master->at(0)->size());

    const Case cases[] = {
        {"whole", false, "", 0, "", ""},
        {"clock between", true, "F8", 0, "'f': Byte F8 at offset %1 lies outside any SysEx message",
         "Byte F8 at offset %1 lies outside any SysEx message"},
        {"cut by a status", true, "F0 43", 0, "'f': The SysEx message at offset %1 is cut short",
         "The SysEx message at offset %1 is cut short"},
        {"cut by the end", false, "", 1, "'f' ends inside a message (truncated)",
         "The SysEx message at offset %1 is cut short"},
    };
    const std::size_t last = whole.size() - std::size_t(master->at(master->count() - 1)->size());
    for (const Case& c : cases) {
        // A cut end names the last message, anything inserted the second.
        auto expected = [&](const char* text) {
            const QString out = QString::fromLatin1(text);
            return out.contains("%1") ? out.arg(c.cut ? last : second) : out;
        };
        MidiBytes bytes = whole;
        const MidiBytes insert = hexBytes(c.insert);
        bytes.insert(bytes.begin() + std::ptrdiff_t(c.atSecond ? second : 0), insert.begin(), insert.end());
        bytes.resize(bytes.size() - c.cut);
        QString error;
        const LoadedPatch loaded = PatchFile::parse(bytes, QStringLiteral("f"), device, &error);
        EXPECT_EQ(error, expected(c.patchFileError)) << c.what;
        EXPECT_EQ(!loaded.dump, !error.isEmpty()) << c.what;

        Archive archive(bytes);
        std::unique_ptr<PatchDump> read(device.createPatchDump(Motif::Master));
        EXPECT_EQ(read->fromArchive(archive, &device, "syx"), error.isEmpty()) << c.what;
        EXPECT_EQ(read->errorText(), expected(c.dumpError)) << c.what;

        // The splitter gives every byte back, the stray ones as pieces of their own.
        std::size_t total = 0, stray = 0;
        for (const SysexPiece& piece : SysexStream::split(bytes)) {
            total += piece.bytes.size();
            stray += piece.whole() ? 0 : 1;
        }
        EXPECT_EQ(total, bytes.size()) << c.what;
        EXPECT_EQ(stray, error.isEmpty() ? 0u : 1u) << c.what;
        // The reader lists the same pieces, where they start and what is wrong with them.
        ASSERT_EQ(loaded.damage.size(), stray) << c.what;
        if (stray) {
            EXPECT_EQ(loaded.damage[0].toString(), "offset " + expected("%1: ") + expected(c.dumpError));
        }
    }

    MidiBytes xf = whole;
    xf[4] = 0x12;
    QString error;
    EXPECT_FALSE(PatchFile::parse(xf, QStringLiteral("f"), device, &error).dump);
    EXPECT_EQ(error, "'f': model id 7F 12 found, not a Motif ES (7F 00) dump");
}

// A note of where a patch came from travels as a first message of text under the non-commercial
// manufacturer id: read as the note, written back as it was, never part of the patch. Anything else
// under that id, or a note anywhere but first, is refused.
TEST(PatchFileTest, ANoteBeforeThePatchIsReadAndKeptApart)
{
    Motif device;
    std::unique_ptr<PatchDump> master(device.createPatchDump(Motif::Master));
    master->init();
    const MidiBytes whole = master->toBytes();
    const MidiBytes note = PatchFile::noteMessage(QStringLiteral("at A:1 \u00e9"));
    EXPECT_EQ(hex(note), "F0 7D 61 74 20 41 3A 31 20 3F F7");
    MidiBytes bytes = note;
    bytes.insert(bytes.end(), whole.begin(), whole.end());
    QString error;
    const LoadedPatch loaded = PatchFile::parse(bytes, QStringLiteral("f"), device, &error);
    ASSERT_TRUE(loaded.dump) << error.toStdString();
    EXPECT_EQ(loaded.note, "at A:1 ?");
    EXPECT_EQ(loaded.dump->toBytes(), whole);
    EXPECT_EQ(loaded.framed()->toBytes(), bytes);

    auto refused = [&](const char* before, const char* after) {
        MidiBytes wrong = hexBytes(before), tail = hexBytes(after);
        wrong.insert(wrong.end(), whole.begin(), whole.end());
        wrong.insert(wrong.end(), tail.begin(), tail.end());
        EXPECT_FALSE(PatchFile::parse(wrong, QStringLiteral("f"), device, &error).dump) << before;
        return error;
    };
    const QString notOurs = QStringLiteral("'f': message 1 (manufacturer 7D) is not a note of this program");
    EXPECT_EQ(refused("F07DF7", ""), notOurs);
    EXPECT_EQ(refused("F07D4101F7", ""), notOurs);
    EXPECT_EQ(refused("F07D41F7", "F07D41F7"), "'f': message 7 is not Yamaha's");
    EXPECT_FALSE(PatchFile::parse(note, QStringLiteral("f"), device, &error).dump);
    EXPECT_EQ(error, "'f' holds a note but no patch");
}
