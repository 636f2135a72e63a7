// `motif copy-voice`: the dry run's changes in order, as text and JSON, where the source location
// comes from, what it refuses, and a copy into the virtual instrument.
#include "CopyFixtures.h"
#include "e2e/CliRunner.h"
#include "motif/librarian/PatchFile.h"

#include "zaltor/BulkDump.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CopyVoiceCommand : public ::testing::Test {
protected:
    CopyVoiceCommand()
    {
        write("v.syx", 0x0805, makeSource(device, false).get());
        write("d.syx", 0x2803, makeSource(device, true).get());
    }

    // The dump framed with the bulk header and footer of `control`, as a .syx file; blocks at
    // the addresses in `leaveOut` are left out.
    void write(const char* name, unsigned int control, const BulkDump* dump,
               std::vector<std::uint32_t> leaveOut = {})
    {
        BulkDump framed;
        auto header = std::make_unique<MotifSysex>();
        header->prepareBulkHeader(control);
        framed.append(std::move(header));
        for (int i = 0; i < dump->count(); ++i)
            if (std::find(leaveOut.begin(), leaveOut.end(), dump->at(i)->getAddress()) == leaveOut.end())
                framed.append(dump->at(i)->clone());
        auto footer = std::make_unique<MotifSysex>();
        footer->prepareBulkFooter(control);
        framed.append(std::move(footer));
        QString error;
        ASSERT_TRUE(PatchFile::write(qpath(name), framed, &error)) << error.toStdString();
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QString qpath(const char* name) const { return dir.filePath(name); }

    static QJsonArray array(const std::string& text)
    {
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).array();
    }
    static QStringList changesOf(const QJsonArray& changes)
    {
        QStringList out;
        for (const auto& value : changes) {
            const QJsonObject change = value.toObject();
            const QString bytes = change["bytes"].toString();
            // The data bytes lie between the address and the F7.
            out << change["address"].toString() + ":" + bytes.mid(24, bytes.size() - 27);
        }
        return out;
    }

    QTemporaryDir dir;
    Motif device;
};

} // namespace

TEST_F(CopyVoiceCommand, DryRunListsEveryChangeInOrder)
{
    const CliRun run = motif({"copy-voice", path("v.syx"), "--voice", "USER1:5", "--part", "1", "--mode",
                              "performance", "--dry-run", "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonArray changes = array(run.out);
    EXPECT_EQ(changesOf(changes), expectedVoiceCopy());
    EXPECT_EQ(changes[46].toObject(), (QJsonObject{{"address", "300060"},
                                                   {"size", 4},
                                                   {"value", 0x80001},
                                                   {"bytes", "F0 43 10 7F 00 30 00 60 00 20 00 01 F7"}}));

    const CliRun arpOnly =
        motif({"--json", "copy-voice", path("v.syx"), "--voice", "USER1:5", "--part", "1", "--mode",
               "performance", "--no-name", "--no-voice", "--no-fx", "--no-insfx", "--dry-run"});
    ASSERT_EQ(arpOnly.code, 0) << arpOnly.err;
    EXPECT_EQ(changesOf(array(arpOnly.out)), expectedVoiceCopy().mid(96, 24));

    const CliRun text =
        motif({"copy-voice", path("v.syx"), "--part", "1", "--mode", "performance", "--dry-run"});
    ASSERT_EQ(text.code, 0) << text.err;
    const QStringList lines = QString::fromStdString(text.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 194);
    EXPECT_EQ(lines[0], "30 00 00  1  43     F0 43 10 7F 00 30 00 00 43 F7");
    EXPECT_EQ(lines[46], "30 00 60  4  80001  F0 43 10 7F 00 30 00 60 00 20 00 01 F7");
    EXPECT_EQ(lines[193], "193 parameter changes would copy USER1:5 into part 1 of the performance edit "
                          "buffer (dry run: nothing sent)");
}

TEST_F(CopyVoiceCommand, SourceAndDestinationFollowTheOptions)
{
    // Without --voice the part selects the location in the file's header.
    const QStringList drum = changesOf(array(
        motif({"--json", "copy-voice", path("d.syx"), "--part", "16", "--mode", "mix", "--dry-run"}).out));
    ASSERT_EQ(drum.size(), 181);
    for (const char* change : {"370F00:3F", "370F01:28", "370F02:03", "370F04:01", "360060:00 22 00 00"})
        EXPECT_TRUE(drum.contains(change)) << change;
    // --voice overrides the header, and song and pattern write the mix like mix does.
    for (const char* mode : {"song", "pattern"}) {
        const QStringList sent =
            changesOf(array(motif({"--json", "copy-voice", path("v.syx"), "--voice", "USER2:127", "--part",
                                   "3", "--mode", mode, "--no-insfx", "--dry-run"})
                                .out));
        ASSERT_EQ(sent.size(), 147) << mode;
        EXPECT_TRUE(sent.contains("370201:09") && sent.contains("370202:7F")) << mode;
        EXPECT_TRUE(sent.contains("360060:00 00 00 04")) << mode;
    }
}

TEST_F(CopyVoiceCommand, RefusesWhatCannotBeCopied)
{
    write("no-insertion-b.syx", 0x0805, makeSource(device, false).get(), {0x400400});
    write("edit.syx", 0x0F00, makeSource(device, false).get());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--part", "5", "--mode", "performance"}, "motif: part 5: a performance has parts 1-4\n"},
        {{"--part", "0", "--mode", "mix"}, "motif: part 0: a mix has parts 1-16\n"},
        {{"--part", "1", "--mode", "voice"},
         "motif: mode 'voice' is not performance, mix, song or pattern\n"},
        {{"--part", "1", "--mode", "mix", "--voice", "DR:USR:3"},
         "motif: " + path("v.syx") + " holds a voice, but DR:USR:3 is a drum location\n"},
        {{"--part", "1", "--mode", "mix", "--voice", "PERF:3"},
         "motif: PERF:3 is not a voice or drum kit: the copier takes PRE1-PRE6, GM, USER1, USER2, DR:GM, "
         "DR:PRE or "
         "DR:USR\n"},
        {{"--part", "1", "--mode", "mix", "--voice", "USER1:128"}, "motif: program '128' is not 0-127\n"},
        {{"--part", "1", "--mode", "mix", "--no-name", "--no-voice", "--no-fx", "--no-insfx", "--no-arp"},
         "motif: nothing to copy: every group is left out\n"},
    };
    for (const auto& [options, message] : cases) {
        std::vector<std::string> args{"copy-voice", path("v.syx"), "--dry-run"};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = motif(args);
        EXPECT_EQ(run.code, 1) << message;
        EXPECT_EQ(run.err, message);
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    const CliRun missing = motif({"copy-voice", path("no-insertion-b.syx"), "--part", "1", "--mode", "mix"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err,
              "motif: " + path("no-insertion-b.syx") +
                  " lacks a block the copier reads (name, common, reverb, chorus, insertion A or B), or "
                  "one is too short: nothing was sent\n");
    EXPECT_TRUE(missing.out.empty());
    const CliRun edit = motif({"copy-voice", path("edit.syx"), "--part", "1", "--mode", "mix", "--dry-run"});
    EXPECT_EQ(edit.err,
              "motif: " + path("edit.syx") +
                  " names no stored voice or drum kit in a bulk header: give the source with --voice "
                  "BANK:PROGRAM\n");
    EXPECT_EQ(motif({"copy-voice", path("none.syx"), "--part", "1", "--mode", "mix"}).err,
              "motif: cannot read '" + path("none.syx") + "'\n");
    EXPECT_EQ(motif({"copy-voice", path("v.syx"), "--part", "1"}).code, 106);
}

TEST_F(CopyVoiceCommand, CopiesIntoTheVirtualInstrument)
{
    const CliRun run = motif({"--json", "copy-voice", path("v.syx"), "--part", "2", "--mode", "performance"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject result = json(run.out);
    EXPECT_EQ(result["voice"].toString(), "USER1:5");
    EXPECT_EQ(result["part"].toInt(), 2);
    EXPECT_EQ(result["mode"].toString(), "performance");
    EXPECT_EQ(result["changes"].toInt(), 193);
    const QJsonArray wire = result["wire"].toArray();
    ASSERT_EQ(wire.size(), 193);
    EXPECT_EQ(wire[0].toObject()["bytes"].toString(), "F0 43 10 7F 00 30 00 00 43 F7");
    EXPECT_EQ(wire[52].toObject()["bytes"].toString(), "F0 43 10 7F 00 31 01 00 3F F7");

    const CliRun text =
        motif({"copy-voice", path("v.syx"), "--part", "4", "--mode", "performance", "--no-voice"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find("-> F0 43 10 7F 00 30 00 00 43 F7"), std::string::npos) << text.out;
    EXPECT_NE(
        text.out.find("\ncopied USER1:5 into part 4 of the performance edit buffer: 109 parameter changes\n"),
        std::string::npos)
        << text.out;
}
