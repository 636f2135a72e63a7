// The librarian commands on files and against the virtual instrument: the exact bytes they write,
// the texts they print and what they refuse.
#include "CliApp.h"
#include "TestSupport.h"

#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"

#include "CliRunner.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sstream>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The messages of a .syx file, each from F0 to F7.
std::vector<MidiBytes> messagesOf(const QByteArray& bytes)
{
    std::vector<MidiBytes> out;
    MidiBytes current;
    for (char c : bytes) {
        current.push_back(std::uint8_t(c));
        if (std::uint8_t(c) == 0xF7) out.push_back(std::exchange(current, {}));
    }
    return out;
}

// The voice's blocks in the order the instrument sends them: the common blocks, then the seven
// blocks of each element, 0x100 apart from element to element.
std::vector<std::uint32_t> voiceAddresses()
{
    std::vector<std::uint32_t> out{0x407000, 0x400000, 0x400040, 0x400100, 0x400200,
                                   0x400300, 0x400400, 0x400500, 0x400600};
    for (std::uint32_t element = 0; element < 4; ++element)
        for (std::uint32_t kind : {0x410000, 0x410020, 0x420000, 0x430000, 0x440000, 0x440040, 0x440050})
            out.push_back(kind + element * 0x100);
    return out;
}

class LibrarianCli : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    std::string file(const char* name) const { return path(name).toStdString(); }

    QTemporaryDir dir;
};
} // namespace

TEST_F(LibrarianCli, GetWritesTheBulkAsTheInstrumentSendsIt)
{
    const CliRun get = motif({"--virtual", "get", "USER1:5", "-o", file("v.syx")});
    ASSERT_EQ(get.code, 0) << get.err;
    EXPECT_EQ(get.out, "USER1:5 -> " + file("v.syx") + ": 39 messages, voice \"USER1:005 \" --\n");

    const std::vector<MidiBytes> messages = messagesOf(readAll(path("v.syx")));
    ASSERT_EQ(messages.size(), 39u);
    EXPECT_EQ(messages.front(), hexBytes("F0 43 00 7F 00 00 00 0E 08 05 65 F7"));
    EXPECT_EQ(messages.back(), hexBytes("F0 43 00 7F 00 00 00 0F 08 05 64 F7"));
    // Every block as the instrument holds it, in its order.
    const VirtualInstrument factory(VirtualInstrument::Model::ES7);
    const std::vector<std::uint32_t> addresses = voiceAddresses();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const MotifSysex block(messages[i + 1]);
        EXPECT_EQ(block.getAddress(), addresses[i]) << i;
        EXPECT_TRUE(block.checksumValid()) << i;
        EXPECT_EQ(block.copyData(), factory.block(0x0805, addresses[i])) << i;
    }

    const CliRun show = motif({"show", file("v.syx")});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_EQ(show.out.substr(0, show.out.find("37 blocks")), "voice \"USER1:005 \"\ncategory: --\n");
    EXPECT_NE(show.out.find("\n37 blocks: 407000 (82), 400000 (17), 400040 (4), 400100 (36)"),
              std::string::npos);
    EXPECT_NE(show.out.find(", 440340 (8), 440350 (4)\n"), std::string::npos);

    const QJsonObject shown = json(motif({"--json", "show", file("v.syx")}).out);
    EXPECT_EQ(shown.keys(),
              (QStringList{"blocks", "category", "categoryData", "location", "name", "references", "type"}));
    EXPECT_EQ(shown["type"].toString(), "voice");
    EXPECT_EQ(shown["name"].toString(), "USER1:005 ");
    EXPECT_EQ(shown["location"].toString(), "0805");
    EXPECT_EQ(shown["categoryData"].toInt(), 0);
    const QJsonArray blocks = shown["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 37);
    EXPECT_EQ(blocks[9].toObject(), (QJsonObject{{"address", "410000"}, {"size", 29}}));
    EXPECT_TRUE(shown["references"].toArray().isEmpty());

    const QJsonObject master =
        json(motif({"--virtual", "--json", "get", "MASTER:3", "-o", file("m.syx")}).out);
    EXPECT_EQ(master.keys(), (QStringList{"file", "location", "messages", "name", "type"}));
    EXPECT_EQ(master["messages"].toInt(), 7);
    EXPECT_EQ(master["name"].toString(), "MASTER:003");
}

TEST_F(LibrarianCli, CategoryIsWrittenIntoTheNameBlock)
{
    ASSERT_EQ(motif({"--virtual", "get", "USER1:5", "-o", file("v.syx")}).code, 0);
    const QByteArray before = readAll(path("v.syx"));
    EXPECT_EQ(motif({"category", file("v.syx")}).out, "--\n");

    const CliRun set = motif({"category", file("v.syx"), "Ap:A.PIANO"});
    ASSERT_EQ(set.code, 0) << set.err;
    EXPECT_EQ(set.out, "Ap:A.PIANO\n");
    // Data bytes 12 and 13 of the name block (after the 12-byte header and 10 bytes of framing),
    // and its checksum after the 82 data bytes.
    const QByteArray after = readAll(path("v.syx"));
    ASSERT_EQ(after.size(), before.size());
    std::vector<int> changed;
    for (int i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) changed.push_back(i);
    EXPECT_EQ(changed, (std::vector<int>{34, 35, 104}));
    EXPECT_EQ(after[34], 1);
    EXPECT_EQ(after[35], 1);
    EXPECT_EQ(after[104], char((before[104] - 2) & 0x7F));
    EXPECT_EQ(json(motif({"--json", "category", file("v.syx")}).out),
              (QJsonObject{{"category", "Ap:A.PIANO"}, {"categoryData", 129}}));
    EXPECT_EQ(json(motif({"--json", "show", file("v.syx")}).out)["category"].toString(), "Ap:A.PIANO");

    const CliRun bad = motif({"category", file("v.syx"), "Nonsense"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "motif: 'Nonsense' is not a category: use a name such as Ap:A.PIANO or Ba:E.BASS\n");
    EXPECT_EQ(readAll(path("v.syx")), after);

    ASSERT_EQ(motif({"--virtual", "get", "MASTER:0", "-o", file("m.syx")}).code, 0);
    EXPECT_EQ(motif({"category", file("m.syx"), "Ap:A.PIANO"}).err, "motif: a master has no category\n");
}

TEST_F(LibrarianCli, ReferencesOfAPerformanceAreListedAndRewritten)
{
    ASSERT_EQ(motif({"--virtual", "get", "PERF:3", "-o", file("p.syx")}).code, 0);
    // Of the initial performance's parts only part 1 is switched on, so only its voice counts.
    EXPECT_EQ(motif({"refs", file("p.syx")}).out, "PRE1:0\n");
    const QByteArray before = readAll(path("p.syx"));

    const CliRun none = motif({"reindex", file("p.syx"), "USER1:0", "USER2:7"});
    EXPECT_EQ(none.out, "0 references rewritten\n");
    EXPECT_EQ(readAll(path("p.syx")), before);

    EXPECT_EQ(motif({"reindex", file("p.syx"), "PRE1:0", "USER2:12"}).out, "1 references rewritten\n");
    EXPECT_EQ(motif({"refs", file("p.syx")}).out, "USER2:12\n");
    EXPECT_EQ(json(motif({"--json", "refs", file("p.syx")}).out),
              (QJsonObject{{"references", QJsonArray{"USER2:12"}}}));
    // Part 1's bank LSB and program (data bytes 1 and 2 of block 0x310000) and its checksum.
    const QByteArray after = readAll(path("p.syx"));
    std::vector<int> changed;
    for (int i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) changed.push_back(i);
    ASSERT_EQ(changed.size(), 3u);
    EXPECT_EQ(after[changed[0]], 0x09);
    EXPECT_EQ(after[changed[1]], 0x0C);
    EXPECT_EQ(changed[1], changed[0] + 1);
    const QJsonObject back = json(motif({"--json", "reindex", file("p.syx"), "USER2:12", "PRE1:0"}).out);
    EXPECT_EQ(back, (QJsonObject{{"changed", 1}, {"references", QJsonArray{"PRE1:0"}}}));
    EXPECT_EQ(readAll(path("p.syx")), before);
}

TEST_F(LibrarianCli, PutRefusesWhatDoesNotBelongThere)
{
    ASSERT_EQ(motif({"--virtual", "get", "USER1:5", "-o", file("v.syx")}).code, 0);
    const CliRun put = motif({"--virtual", "put", "--verify", file("v.syx"), "USER2:3"});
    EXPECT_EQ(put.code, 0) << put.err;
    EXPECT_EQ(put.out, file("v.syx") + " -> USER2:3\n");

    for (auto [target, message] : {std::pair{"PRE1:3", "a voice cannot be stored at PRE1:3"},
                                   {"PERF:3", "a voice cannot be stored at PERF:3"},
                                   {"edit:drum", "a voice cannot go to edit:drum"}}) {
        const CliRun refused = motif({"--virtual", "put", file("v.syx"), target});
        EXPECT_EQ(refused.code, 1) << target;
        EXPECT_TRUE(refused.out.empty()) << refused.out;
        EXPECT_EQ(refused.err, std::string("motif: ") + message + "\n");
    }
}

TEST_F(LibrarianCli, RefusesFilesThatAreNotWholeMotifEsPatches)
{
    ASSERT_EQ(motif({"--virtual", "get", "USER1:5", "-o", file("v.syx")}).code, 0);
    const QByteArray good = readAll(path("v.syx"));
    writeAll(path("cut.syx"), good.left(100));
    QByteArray broken = good;
    broken[40] = char(broken[40] ^ 0x01);
    writeAll(path("broken.syx"), broken);

    EXPECT_EQ(motif({"show", file("cut.syx")}).err,
              "motif: '" + file("cut.syx") + "' ends inside a message (truncated)\n");
    EXPECT_EQ(motif({"show", file("broken.syx")}).err,
              "motif: '" + file("broken.syx") + "': bad checksum in the block at 407000\n");
    const CliRun put = motif({"--virtual", "put", file("cut.syx"), "USER1:0"});
    EXPECT_EQ(put.code, 1);
    EXPECT_TRUE(put.out.empty());

    const QString xf = QStringLiteral(MOTIF_REALDATA_DIR "/sysex/motifXF_5pad.voi.syx");
    if (!QFile::exists(xf)) GTEST_SKIP() << "no real data here";
    for (const auto& args : {std::vector<std::string>{"show", xf.toStdString()},
                             {"--virtual", "put", xf.toStdString(), "USER1:0"}}) {
        const CliRun refused = motif(args);
        EXPECT_EQ(refused.code, 1);
        EXPECT_EQ(refused.err,
                  "motif: '" + xf.toStdString() + "': model id 7F 12 found, not a Motif ES (7F 00) dump\n");
    }
}
