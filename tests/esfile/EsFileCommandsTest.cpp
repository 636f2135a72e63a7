// `motif es-file` as a user and other tools call it: exact texts, JSON keys, exit codes, files.
#include "EsFileWriter.h"
#include "e2e/CliRunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string save(const QTemporaryDir& dir, const QString& name, const EsFileWriter::Bytes& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return path.toStdString();
}

// An S90 ES file: three voices of 100 bytes, a waveform chunk and a data chunk without partner.
EsFileWriter::Bytes s90File()
{
    EsFileWriter writer("8E24 S90 ES", "ALL DATA");
    writer.add("EVCE", EsFileWriter::partner("EVCE", 3));
    writer.add("DVCE", EsFileWriter::data("DVCE", 3, 100));
    writer.add("DWFM", EsFileWriter::chunk("DWFM", 12, 12));
    writer.add("DNOP", EsFileWriter::data("DNOP", 1, 4));
    return writer.bytes();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

} // namespace

TEST(EsFileCommands, InfoReportsModelChunksEntriesAndSkippedParts)
{
    QTemporaryDir dir;
    const std::string path = save(dir, "s90.all", s90File());
    const CliRun run = motif({"--json", "es-file", "info", path});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto chunk = [](const char* name, int offset, int size, int entries, int entrySize) {
        return QJsonObject{{"name", name},
                           {"offset", offset},
                           {"size", size},
                           {"entries", entries},
                           {"entrySize", entrySize}};
    };
    EXPECT_EQ(
        json(run.out),
        (QJsonObject{
            {"model", "S90 ES"},
            {"headerText1", "8E24 S90 ES"},
            {"headerText2", "ALL DATA"},
            {"chunks", QJsonArray{chunk("EVCE", 512, 128, 0, 0), chunk("DVCE", 640, 344, 3, 100),
                                  chunk("DWFM", 984, 12, 0, 0), chunk("DNOP", 996, 48, 0, 0)}},
            {"skipped", QJsonArray{QJsonObject{
                            {"chunk", "DNOP"}, {"offset", 996}, {"reason", "no partner chunk ENOP"}}}}}));

    EXPECT_EQ(motif({"es-file", "info", path}).out, "S90 ES (\"8E24 S90 ES\", \"ALL DATA\")\n"
                                                    "EVCE at offset 512, size 128\n"
                                                    "DVCE at offset 640, size 344: 3 entries of 100 bytes\n"
                                                    "DWFM at offset 984, size 12\n"
                                                    "DNOP at offset 996, size 48\n"
                                                    "skipped DNOP at offset 996: no partner chunk ENOP\n");
}

TEST(EsFileCommands, RefusesWhatIsNotAnAllDataFile)
{
    QTemporaryDir dir;
    const std::string foreign = save(dir, "foreign.all", EsFileWriter("8e24 S90 ES").bytes());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--json", "es-file", "info", foreign},
          {"es-file", "extract", foreign, "DVCE", dir.filePath("out").toStdString()}}) {
        const CliRun run = motif(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.err,
                  "motif: " + foreign + ": Unknown format (not an all-data file of a Motif ES or S90 ES)\n");
    }
    const std::string missing = dir.filePath("missing.all").toStdString();
    const CliRun run = motif({"es-file", "info", missing});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.rfind("motif: Cannot open " + missing, 0), 0u) << run.err;
}

TEST(EsFileCommands, ExtractsOneFilePerEntry)
{
    QTemporaryDir dir;
    const std::string path = save(dir, "s90.all", s90File());
    const QString out = dir.filePath("voices/new");
    const CliRun run = motif({"es-file", "extract", path, "DVCE", out.toStdString()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out,
              (out + "/DVCE-000.bin\n" + out + "/DVCE-001.bin\n" + out + "/DVCE-002.bin\n").toStdString());
    for (int k = 0; k < 3; ++k) {
        const EsFileWriter::Bytes entry = EsFileWriter::entry(k, 100);
        EXPECT_EQ(readAll(QStringLiteral("%1/DVCE-00%2.bin").arg(out).arg(k)),
                  QByteArray(reinterpret_cast<const char*>(entry.data()), 100));
    }

    const CliRun again = motif({"--json", "es-file", "extract", path, "DVCE", out.toStdString()});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(json(again.out), (QJsonObject{{"chunk", "DVCE"},
                                            {"entrySize", 100},
                                            {"files", QJsonArray{out + "/DVCE-000.bin", out + "/DVCE-001.bin",
                                                                 out + "/DVCE-002.bin"}}}));

    // Entries cut off by the end of the file are left out with a warning.
    const EsFileWriter::Bytes bytes = s90File();
    const std::string cut =
        save(dir, "cut.all", EsFileWriter::Bytes(bytes.begin(), bytes.begin() + 640 + 44 + 250));
    const QString partial = dir.filePath("partial");
    const CliRun short_ = motif({"es-file", "extract", cut, "DVCE", partial.toStdString()});
    EXPECT_EQ(short_.code, 0);
    EXPECT_EQ(short_.out, (partial + "/DVCE-000.bin\n" + partial + "/DVCE-001.bin\n").toStdString());
    EXPECT_EQ(short_.err,
              "motif: warning: skipped DVCE at offset 884: 1 of 3 entries of 100 bytes lie beyond the "
              "end of the file\n");
}

TEST(EsFileCommands, ExtractSaysWhyAChunkGivesNoFiles)
{
    QTemporaryDir dir;
    const std::string path = save(dir, "s90.all", s90File());
    const std::string out = dir.filePath("out").toStdString();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"dvce", "no chunk \"dvce\" in " + path + " (it has: EVCE, DVCE, DWFM, DNOP)"},
        {"DWFM", "chunk DWFM holds no entries: only data chunks (D..., not DWFM) hold entries"},
        {"DNOP", "chunk DNOP holds no entries: no partner chunk ENOP"}};
    for (const auto& [chunk, message] : cases) {
        const CliRun run = motif({"es-file", "extract", path, chunk, out});
        EXPECT_EQ(run.code, 1) << chunk;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.err, "motif: " + message + "\n");
    }
    EXPECT_FALSE(QDir(QString::fromStdString(out)).exists());
}
