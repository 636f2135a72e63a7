// motif ysfc info and copy: the fields they print, the bytes a copy writes, and their refusals.
#include "YsfcFile.h"
#include "e2e/CliRunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// An XF voice entry: five numbers, filter, favorite, name, file name, one waveform file.
const QByteArray kVoiceEntry = QByteArray::fromHex("00000000 0000000A 00000000 0000000C 003F0805 02 01") +
                               QByteArray("3:256:Pad\0"
                                          "3F0805-Voice.vce\0"
                                          "0001-Waveform.wfm\0",
                                          45);

YsfcFile voiceLibrary()
{
    YsfcFile file;
    file.chunks = {{"EVCE", {{"Entr", kVoiceEntry}}}, {"DVCE", {{"Data", QByteArray(10, 'v')}}}};
    return file;
}

std::string s(const QString& text) { return text.toStdString(); }

} // namespace

TEST(YsfcCommands, InfoListsChunksAndEntryFields)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("voices.X3V");
    writeAll(path, voiceLibrary().bytes());

    const CliRun run = motif({"ysfc", "info", s(path), "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject entry{{"owner", "00000000"},
                            {"data_size", "10"},
                            {"time", "00000000"},
                            {"data_offset", "0000000C = 12"},
                            {"content_number", "4130821 (3F0805)"},
                            {"filter", "10"},
                            {"favorite", "1"},
                            {"content_name", "3:256:Pad"},
                            {"filename", "3F0805-Voice.vce"},
                            {"rel_filenames", "0001-Waveform.wfm"}};
    const QJsonObject expected{
        {"signature", "YAMAHA-YSFC"},
        {"version", "1.0.2"},
        {"model", "Motif XF"},
        {"catalogueSize", 16},
        {"chunks",
         QJsonArray{QJsonObject{{"id", "EVCE"},
                                {"offset", 0x50},
                                {"size", 4 + 8 + 67},
                                {"count", 1},
                                {"entries", QJsonArray{entry}}},
                    QJsonObject{{"id", "DVCE"}, {"offset", 0x50 + 12 + 75}, {"size", 22}, {"count", 1}}}}};
    EXPECT_EQ(json(run.out), expected);

    const CliRun text = motif({"ysfc", "info", s(path)});
    EXPECT_EQ(text.code, 0);
    EXPECT_EQ(text.out, "YAMAHA-YSFC version 1.0.2 (Motif XF), catalogue 16 bytes\n"
                        "EVCE at offset 80, size 79, 1 items\n"
                        "  owner: 00000000, data_size: 10, time: 00000000, data_offset: 0000000C = 12, "
                        "content_number: 4130821 (3F0805), filter: 10, favorite: 1, content_name: 3:256:Pad, "
                        "filename: 3F0805-Voice.vce, rel_filenames: 0001-Waveform.wfm\n"
                        "DVCE at offset 167, size 22, 1 items\n");

    // A record that does not fill its length is shown with what could be read, and said so.
    YsfcFile broken = voiceLibrary();
    broken.chunks[0].items[0].contents.append("junk");
    writeAll(path, broken.bytes());
    const QJsonObject shown = json(motif({"--json", "ysfc", "info", s(path)}).out);
    EXPECT_EQ(shown["chunks"].toArray()[0].toObject()["entries"].toArray()[0].toObject()["error"].toString(),
              "the record does not fill its length of 71 bytes");
}

TEST(YsfcCommands, CopyWritesTheSameBytes)
{
    QTemporaryDir dir;
    const QString in = dir.filePath("in.X3V");
    const QString out = dir.filePath("out.X3V");
    writeAll(in, voiceLibrary().bytes());
    writeAll(out, "old contents");
    const CliRun run = motif({"--json", "ysfc", "copy", s(in), s(out)});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(json(run.out), (QJsonObject{{"file", out}, {"chunks", 2}, {"size", 197}}));
    EXPECT_EQ(readAll(out), voiceLibrary().bytes());
    EXPECT_FALSE(QFile::exists(out + ".tmp"));
    EXPECT_EQ(motif({"ysfc", "copy", s(in), s(out)}).out, s(out + ": 2 chunks, 197 bytes\n"));
}

TEST(YsfcCommands, RefusalsSayWhatFailed)
{
    QTemporaryDir dir;
    const QString foreign = dir.filePath("foreign.bin");
    writeAll(foreign, "RIFF....WAVEfmt ");
    CliRun run = motif({"ysfc", "info", s(foreign)});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, s("motif: " + foreign + ": Unknown format (not a YAMAHA-YSFC library file)\n"));

    const QString illegal = dir.filePath("illegal.X3V");
    YsfcFile file = voiceLibrary();
    file.chunks[1].items[0].tag = "Date";
    writeAll(illegal, file.bytes());
    run = motif({"ysfc", "copy", s(illegal), s(dir.filePath("never.X3V"))});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, s("motif: " + illegal + ": Illegal file\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath("never.X3V")));

    const QString good = dir.filePath("good.X3V");
    writeAll(good, voiceLibrary().bytes());
    const QString nowhere = dir.filePath("missing/out.X3V");
    run = motif({"ysfc", "copy", s(good), s(nowhere)});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(QString::fromStdString(run.err).startsWith("motif: " + nowhere + ": Cannot write " + nowhere +
                                                           ".tmp"))
        << run.err;
}

TEST(YsfcCommands, RealFactorySettingsFile)
{
    const QString path = QStringLiteral(MOTIF_REALDATA_DIR "/ysfc/CP88_FactorySetting-2.00.X9A");
    if (!QFile::exists(path)) GTEST_SKIP() << "no real data at " << s(path);
    const CliRun run = motif({"ysfc", "info", s(path), "--json"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject info = json(run.out);
    EXPECT_EQ(info["version"].toString(), "6.0.0");
    EXPECT_EQ(info["model"].toString(), "");
    EXPECT_EQ(info["catalogueSize"].toInt(), 48);
    QStringList chunks;
    for (const auto& value : info["chunks"].toArray()) {
        const QJsonObject chunk = value.toObject();
        chunks << QStringLiteral("%1:%2:%3:%4")
                      .arg(chunk["id"].toString())
                      .arg(chunk["count"].toInt())
                      .arg(chunk["offset"].toInt(), 0, 16)
                      .arg(chunk["entries"].isUndefined());
    }
    EXPECT_EQ(chunks.join(' '), "ELST:160:70:1 ESYS:1:165c:1 ELSE:160:1683:1 DLST:160:29ef:1 DSYS:1:2aefb:1 "
                                "DLSE:160:2b10f:1");

    QTemporaryDir dir;
    const QString out = dir.filePath("copy.X9A");
    ASSERT_EQ(motif({"ysfc", "copy", s(path), s(out)}).code, 0);
    const QByteArray original = readAll(path);
    const QByteArray copy = readAll(out);
    ASSERT_EQ(copy.size(), original.size());
    QList<int> differing;
    for (int i = 0; i < copy.size(); ++i)
        if (copy[i] != original[i]) differing << i;
    // The reserved header bytes: the original holds 00 in 0x30 to 0x33, a store writes FF.
    EXPECT_EQ(differing, QList<int>({0x30, 0x31, 0x32, 0x33}));
}
