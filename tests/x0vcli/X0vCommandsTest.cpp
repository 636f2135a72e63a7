#include "e2e/CliRunner.h"

#include "zaltor/Sample.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A mono 16-bit sample with a forward loop and a root key away from the defaults.
Sample pianoSample()
{
    Sample sample;
    sample.setFormat(AudioFormat(44100, 16, 1));
    std::vector<std::int32_t> frames;
    for (int i = 0; i < 400; ++i) frames.push_back((i * 97) % 2000 - 1000);
    sample.setSamples(0, frames);
    sample.rootKey = 48;
    sample.loopMode = Sample::LoopForward;
    sample.loopStart = 100;
    sample.loopEnd = 399;
    return sample;
}

class X0vCommands : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QJsonObject info(const std::string& library) const
    {
        // --json belongs to the whole command line; users also give it after the command.
        const CliRun run = motif({"x0v", "info", "--json", library});
        EXPECT_EQ(run.code, 0) << run.err;
        return json(run.out);
    }
};

} // namespace

TEST_F(X0vCommands, NewLibraryHasEverySlotOfItsModelAndEmptyChunks)
{
    const std::string lib = path("a.X0V");
    ASSERT_EQ(motif({"x0v", "new", "--model", "Motif XS", lib}).code, 0);
    const QJsonObject out = info(lib);
    EXPECT_EQ(out["model"].toString(), QStringLiteral("Motif XS"));
    EXPECT_EQ(out["voiceSlots"].toInt(), 3 * 128 + 32);
    EXPECT_EQ(out["emptyVoiceSlots"].toInt(), 3 * 128 + 32);
    EXPECT_EQ(out["waveformSlots"].toInt(), 1024);
    EXPECT_EQ(out["emptyWaveformSlots"].toInt(), 1024);
    QStringList chunks;
    for (const auto& c : out["chunks"].toArray()) {
        chunks << c.toObject()["id"].toString();
        EXPECT_EQ(c.toObject()["count"].toInt(), 0) << c.toObject()["id"].toString().toStdString();
    }
    EXPECT_TRUE(chunks.contains("EVCE") && chunks.contains("DVCE") && chunks.contains("EWFM") &&
                chunks.contains("DWIM"))
        << chunks.join(' ').toStdString();

    const CliRun rack = motif({"x0v", "new", "--model", "Motif Rack XS", path("r.X0V")});
    EXPECT_NE(rack.code, 0);
    EXPECT_NE(rack.err.find("Motif Rack XS has no library document type"), std::string::npos) << rack.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("r.X0V"))));

    ASSERT_EQ(motif({"x0v", "new", "--model", "S90 XS", path("s.X0V")}).code, 0);
    const QJsonObject s90 = info(path("s.X0V"));
    EXPECT_EQ(s90["voiceSlots"].toInt(), 32);
    EXPECT_EQ(s90["waveformSlots"].toInt(), 0);
}

TEST_F(X0vCommands, ImportedWaveExportsTheSameFramesRootAndLoop)
{
    const std::string lib = path("a.X0V");
    const std::string wav = path("Piano C3.wav");
    const Sample original = pianoSample();
    ASSERT_TRUE(original.toFile(QString::fromStdString(wav)));
    ASSERT_EQ(motif({"x0v", "new", "--model", "Motif XS", lib}).code, 0);

    const CliRun imported =
        motif({"--json", "x0v", "import-wave", lib, wav, "--bank", "USR", "--number", "0"});
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(json(imported.out)["ids"].toArray(), QJsonArray({1}));
    const QJsonArray waves = info(lib)["waveforms"].toArray();
    ASSERT_EQ(waves.size(), 1);
    EXPECT_EQ(waves[0].toObject()["id"].toInt(), 1);
    EXPECT_EQ(waves[0].toObject()["name"].toString(), QStringLiteral("Piano C3"));
    EXPECT_EQ(waves[0].toObject()["keybanks"].toInt(), 1);

    const std::string back = path("back.wav");
    ASSERT_EQ(motif({"x0v", "export-keybank", lib, "--wave", "1", "--keybank", "0", back}).code, 0);
    Sample exported;
    ASSERT_TRUE(exported.fromFile(QString::fromStdString(back)));
    EXPECT_EQ(exported.left(), original.left());
    EXPECT_EQ(exported.rootKey, 48);
    EXPECT_EQ(exported.loopMode, int(Sample::LoopForward));
    EXPECT_EQ(exported.loopStart, 100u);
    EXPECT_EQ(exported.loopEnd, 399u);

    // The last USR slot is 1023; 1024 is none, and a failed import leaves the library as it was.
    EXPECT_EQ(motif({"x0v", "import-wave", lib, wav, "--bank", "USR", "--number", "1023"}).code, 0);
    const CliRun full = motif({"x0v", "import-wave", lib, wav, "--bank", "USR", "--number", "1024"});
    EXPECT_NE(full.code, 0);
    EXPECT_EQ(info(lib)["waveforms"].toArray().size(), 2);
}

TEST_F(X0vCommands, EditsRewriteTheLibraryAtomicallyAndLintSeesWhatIsLeft)
{
    const std::string lib = path("a.X0V");
    const std::string wav = path("Piano C3.wav");
    ASSERT_TRUE(pianoSample().toFile(QString::fromStdString(wav)));
    ASSERT_EQ(motif({"x0v", "new", "--model", "Motif XS", lib}).code, 0);
    for (const char* n : {"0", "1", "2"})
        ASSERT_EQ(motif({"x0v", "import-wave", lib, wav, "--bank", "USR", "--number", n}).code, 0);

    // No voice plays them: all three are unused, and removing them empties the bank.
    const CliRun lint = motif({"--json", "x0v", "lint", lib});
    EXPECT_EQ(lint.code, 1);
    const QJsonArray problems = json(lint.out)["problems"].toArray();
    ASSERT_EQ(problems.size(), 3);
    EXPECT_EQ(problems[0].toObject()["kind"].toString(), QStringLiteral("unused"));

    const std::string moved = path("moved.X0V");
    ASSERT_EQ(motif({"x0v", "move-waves", lib, "--bank", "USR", "--to", "0", "2", "--output", moved}).code,
              0);
    EXPECT_EQ(info(moved)["waveforms"].toArray().size(), 3);
    EXPECT_EQ(info(lib)["waveforms"].toArray().size(), 3);

    ASSERT_EQ(motif({"x0v", "delete-waves", lib, "--bank", "USR", "1"}).code, 0);
    EXPECT_EQ(info(lib)["waveforms"].toArray().size(), 2);
    const CliRun twice = motif({"x0v", "delete-waves", lib, "--bank", "USR", "1", "1"});
    EXPECT_NE(twice.err.find("position 1 is given twice"), std::string::npos) << twice.err;
    const CliRun removed = motif({"--json", "x0v", "remove-unused", lib});
    ASSERT_EQ(removed.code, 0) << removed.err;
    EXPECT_EQ(json(removed.out)["removed"].toInt(), 2);
    EXPECT_EQ(motif({"x0v", "lint", lib}).code, 0);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}).isEmpty());
}
