// The librarian against an instrument program that misbehaves in one way per row, over real JACK
// ports. Whatever the fault, a command either recovers or ends with its error within its bound,
// and every patch file it leaves holds what a clean instrument gives for that location.
#include "EmuProcess.h"
#include "TestSupport.h"
#include "e2e/CliRunner.h"
#include "motif/librarian/Backup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
struct Row {
    const char* name;
    const char* emu;     // the instrument's settings
    const char* command; // "@" stands for the row's folder; "--plg ," backs up no board
    int code;
    const char* says;    // in what the command printed
    const char* emuSays; // pattern in the instrument's last word: proof that the fault happened
    int boundMs;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// Every patch of a clean instrument of the same model, and the preset the channel row captures.
const QString& reference()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        const std::string path = dir.path().toStdString();
        return motif({"backup", path, "--plg", ""}).code == 0 &&
               motif({"get", "PRE1:3", "-o", path + "/PRE1-003.syx"}).code == 0;
    }();
    static const QString path = made ? dir.path() : QString();
    return path;
}

class FaultMatrix : public ::testing::TestWithParam<Row> {};
} // namespace

TEST_P(FaultMatrix, RecoversOrFailsInTimeAndSavesOnlyWhatTheInstrumentHolds)
{
    if (!jackClient()) GTEST_SKIP() << "no JACK server runs";
    const Row& row = GetParam();
    ASSERT_FALSE(reference().isEmpty());
    QTemporaryDir dir;
    const QString client = QStringLiteral("motif-matrix-%1-%2").arg(row.name).arg(::getpid());
    EmuProcess emu(client, QString(row.emu).split(' '));
    ASSERT_TRUE(emu.ready()) << emu.finish().toStdString();

    std::vector<std::string> args{"--in", client.toStdString(), "--out", client.toStdString()};
    for (const QString& arg : QString(row.command).replace('@', dir.path()).split(' '))
        args.push_back(arg.toStdString());
    QElapsedTimer timer;
    timer.start();
    const CliRun run = motif(args);
    EXPECT_LT(timer.elapsed(), row.boundMs);
    EXPECT_EQ(run.code, row.code) << run.err;
    EXPECT_NE((run.out + run.err).find(row.says), std::string::npos) << run.out + run.err;
    const QString emuSaid = emu.finish();
    EXPECT_TRUE(emuSaid.contains(QRegularExpression(row.emuSays))) << emuSaid.toStdString();

    // Each saved patch is the instrument's, and the index marks every one that is not saved.
    const QStringList files = QDir(dir.path()).entryList({"*.syx"}, QDir::Files);
    for (const QString& file : files)
        EXPECT_TRUE(readAll(dir.filePath(file)) == readAll(reference() + '/' + file)) << file.toStdString();
    QString error;
    const QJsonArray index = Backup::readIndex(dir.path(), &error);
    qsizetype missing = 0;
    for (const auto& entry : index)
        missing +=
            entry.toObject()["missing"].toBool() && !files.contains(entry.toObject()["file"].toString());
    EXPECT_EQ(files.size() + missing, row.code == 0 ? 1 : index.size());
}

// Seeds are chosen so that the fault hits the first try of the fetch.
const char* const Get = "get USER1:3 -o @/USER1-003.syx";
// clang-format off
INSTANTIATE_TEST_SUITE_P(OverJack, FaultMatrix, ::testing::Values(
    Row{"late", "--latency 3500", Get, 1, "no answer to the identity request within 1000 ms", "0 errors",
        3000},
    Row{"drop", "--drop 0.015 --seed 10", Get, 0, "USER1:3 -> ", "[1-9] dropped", 9000},
    Row{"corrupt", "--corrupt 0.015 --seed 10", Get, 0, "USER1:3 -> ", "[1-9] corrupted", 9000},
    Row{"duplicate", "--duplicate 0.03 --seed 5", Get, 0, "USER1:3 -> ", "[1-9] duplicated", 9000},
    Row{"truncate", "--truncate 0.5 --seed 3", Get, 0, "USER1:3 -> ", "[1-9] truncated", 9000},
    Row{"device", "--device 3", Get, 1, "no bulk from the instrument for USER1:3 within 3000 ms: check that its MIDI device number is 1", "0 errors",
        10000},
    // The instrument listens on channel 5: the capture selects the preset there.
    Row{"channel", "--channel 5", "get PRE1:3 -o @/PRE1-003.syx", 0, "PRE1:3 -> ", "0 errors", 5000},
    Row{"s90es", "--model S90ES", "identify", 1, "member code 70 05", "0 errors", 2000},
    Row{"xs", "--model XS", "backup @ --plg ,", 1, "only Motif ES6/ES7/ES8 are supported", "0 errors", 2000},
    Row{"dies", "--die-after 30", "backup @ --plg ,", 1, "backup stopped: port 'motif-matrix-dies",
        "stopped answering after 30", 15000}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });
// clang-format on
