#include "PlgTestSupport.h"

#include "e2e/CliRunner.h"

#include <QJsonArray>

using PlgCommands = PlgFolderTest;

TEST_F(PlgCommands, SetWritesTheSlotsBankListAndClearEmptiesIt)
{
    CliRun run = motif({"plg", "set", "3", "PLG150-VL"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "slot 3: PLG150-VL, 8 banks -> " + slotFile(3).toStdString() + "\n");
    const std::string acceptance = "[PLG3]\nName=PLG150-VL\nTotal=8\n0=63,26,P3-USER\n1=63,76,P3-PRE1\n";
    EXPECT_EQ(startOf(read(slotFile(3)), acceptance), acceptance);

    // A board definition file of the user's, and the board names in any case.
    const QString own = writeFile(QStringLiteral("mine.ini"), "[PLG]\nName=My Board\nTotal=1\n0=USER\n");
    run = motif({"--json", "plg", "set", "1", own.toStdString()});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(json(run.out),
              (QJsonObject{{"slot", 1}, {"board", "My Board"}, {"banks", 1}, {"file", slotFile(1)}}));
    EXPECT_EQ(motif({"plg", "set", "2", "plg150-an"}).code, 0);

    run = motif({"plg", "list"});
    EXPECT_EQ(run.out, "slot 1: My Board\nslot 2: PLG150-AN\nslot 3: PLG150-VL\n");

    run = motif({"plg", "clear", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(read(slotFile(3)), "[PLG3]\nName=\nTotal=0\n");
    run = motif({"--json", "plg", "list"});
    const QJsonObject listed = json(run.out);
    EXPECT_EQ(listed["folder"].toString(), folder());
    EXPECT_EQ(listed["slots"].toArray()[2].toObject(),
              (QJsonObject{{"slot", 3}, {"board", ""}, {"file", slotFile(3)}}));
    EXPECT_EQ(motif({"plg", "list"}).out, "slot 1: My Board\nslot 2: PLG150-AN\nslot 3: (none)\n");
}

TEST_F(PlgCommands, RefusesWhatIsNoBoardAndLeavesTheSlotAlone)
{
    ASSERT_EQ(motif({"plg", "set", "2", "PLG150-DX"}).code, 0);
    const std::string before = read(slotFile(2));

    CliRun run = motif({"plg", "set", "2", "PLG150-XX"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "motif: 'PLG150-XX' is neither a built-in board (PLG150-AN, PLG150-AP, PLG150-DR, PLG150-DX, "
              "PLG150-PC, PLG150-PF, PLG150-VL) nor a board definition file\n");
    const QString names = writeFile(QStringLiteral("names.ini"), "[USER]\nTotal=64\n");
    run = motif({"plg", "set", "2", names.toStdString()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err,
              "motif: '" + names.toStdString() +
                  "' has no [PLG] section: a board definition names the board and its banks there\n");
    EXPECT_NE(motif({"plg", "set", "4", "PLG150-VL"}).code, 0);
    EXPECT_NE(motif({"plg", "clear", "0"}).code, 0);
    EXPECT_EQ(read(slotFile(2)), before);
    EXPECT_EQ(read(slotFile(4)), "(missing)");
}

TEST_F(PlgCommands, ShowListsBanksWithTheirNamesAndBoardsTheDefinitions)
{
    ASSERT_EQ(motif({"plg", "set", "3", "PLG150-VL"}).code, 0);
    CliRun run = motif({"--json", "plg", "show", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject shown = json(run.out);
    EXPECT_EQ(shown["board"].toString(), QStringLiteral("PLG150-VL"));
    const QJsonArray banks = shown["banks"].toArray();
    ASSERT_EQ(banks.size(), 8);
    EXPECT_EQ(
        banks[0].toObject(),
        (QJsonObject{{"bank", "63/26"}, {"section", "P3-USER"}, {"programs", 64}, {"names", QJsonArray()}}));
    EXPECT_EQ(banks[3].toObject()["bank"].toString(), QStringLiteral("63/78"));
    const QJsonObject native = banks[4].toObject();
    EXPECT_EQ(native["bank"].toString(), QStringLiteral("33/0"));
    EXPECT_EQ(native["section"].toString(), QStringLiteral("033/000"));
    EXPECT_EQ(native["programs"].toInt(), 128);
    ASSERT_EQ(native["names"].toArray().size(), 128);
    EXPECT_EQ(native["names"].toArray()[1].toObject(), (QJsonObject{{"program", 1}, {"name", "VintLead"}}));

    run = motif({"plg", "show", "3"});
    const std::string listing =
        "slot 3: PLG150-VL\n63/26 P3-USER: 64 programs, 0 named\n63/76 P3-PRE1: 64 programs, 0 named\n";
    EXPECT_EQ(startOf(run.out, listing), listing);
    EXPECT_NE(run.out.find("33/0 033/000: 128 programs, 128 named\n    0 Mad Tube\n    1 VintLead\n"),
              std::string::npos);
    EXPECT_EQ(motif({"plg", "show", "1"}).out, "slot 1: (none)\n");

    run = motif({"plg", "boards"});
    const std::string an = "PLG150-AN  USER  PRE1  36,00,036/000  36,01,036/001  36,02,036/002\n";
    EXPECT_EQ(startOf(run.out, an), an);
    const QJsonArray boards = json(motif({"--json", "plg", "boards"}).out)["boards"].toArray();
    ASSERT_EQ(boards.size(), 7);
    EXPECT_EQ(boards[5].toObject(),
              (QJsonObject{{"name", "PLG150-PF"}, {"banks", QJsonArray{"USER", "PRE1", "32,00,032/000"}}}));
}

TEST_F(PlgCommands, BackupSavesTheUserBanksOfInstalledBoardsUnlessToldOtherwise)
{
    // The virtual instrument carries the boards installed here, so it answers for their banks only.
    ASSERT_EQ(motif({"plg", "set", "2", "PLG150-AN"}).code, 0);
    ASSERT_EQ(motif({"plg", "set", "3", "PLG150-VL"}).code, 0);
    const auto plgLocations = [](const CliRun& run) {
        QStringList locations;
        for (const QJsonValue patch : json(run.out)["patches"].toArray()) {
            const QString location = patch.toObject()["location"].toString();
            if (location.contains(QLatin1String("-USER:"))) locations << location;
        }
        return locations;
    };
    QTemporaryDir backups;
    CliRun run = motif({"--json", "backup", backups.filePath("installed").toStdString()});
    ASSERT_EQ(run.code, 0) << run.err;
    QStringList saved = plgLocations(run);
    ASSERT_EQ(saved.size(), 128);
    EXPECT_EQ(saved.front(), "P2-USER:0");
    EXPECT_EQ(saved.back(), "P3-USER:63");

    run = motif({"--json", "backup", backups.filePath("given").toStdString(), "--plg", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    saved = plgLocations(run);
    ASSERT_EQ(saved.size(), 64);
    EXPECT_EQ(saved.front(), "P3-USER:0");

    run = motif({"--json", "backup", backups.filePath("none").toStdString(), "--plg", ""});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(plgLocations(run).isEmpty());
}
