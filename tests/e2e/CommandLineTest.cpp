// The `motif` command line as a user and other tools call it: exact texts, JSON keys, exit codes.
#include "CliApp.h"

#include "CliRunner.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>
#include <sstream>

namespace {
} // namespace

TEST(CommandLine, BuildsMessages)
{
    EXPECT_EQ(motif({"sysex", "build", "header", "0x0F00"}).out, "F0 43 00 7F 00 00 00 0E 0F 00 63 F7\n");
    EXPECT_EQ(motif({"sysex", "build", "footer", "3840"}).out, "F0 43 00 7F 00 00 00 0F 0F 00 62 F7\n");
    EXPECT_EQ(motif({"sysex", "build", "request", "0x0805"}).out, "F0 43 20 7F 00 0E 08 05 F7\n");
    EXPECT_EQ(motif({"sysex", "build", "param", "0x301100", "2", "200"}).out,
              "F0 43 10 7F 00 30 11 00 01 48 F7\n");
    EXPECT_EQ(motif({"sysex", "build", "bulk", "0x407000", "41", "42"}).out,
              "F0 43 00 7F 00 00 02 40 70 00 41 42 4B F7\n");
    EXPECT_EQ(motif({"sysex", "build", "bulk", "0x110000"}).out, "F0 43 00 7F 00 00 00 11 00 00 6F F7\n");
}

TEST(CommandLine, RefusesBadInputWithOneLineAndAnExitCode)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"sysex", "build", "header", "0x8000"},
          {"sysex", "build", "param", "0x0A0001", "1", "128"},
          {"sysex", "build", "param", "0x0A8001", "1", "1"},
          {"sysex", "build", "param", "0x0A0001", "5", "1"},
          {"sysex", "build", "bulk", "0x407000", "80"},
          {"sysex", "build", "bulk", "zz"},
          {"sysex", "analyse", "F0", "4G"},
          {"select", "NOBANK:1"},
          {"select", "USER1:128"},
          {"select", "63:1:x"},
          {"volume", "19", "100"},
          {"mode", "7"},
          {"--virtual-model", "ES9", "identify"}}) {
        const CliRun run = motif(args);
        EXPECT_NE(run.code, 0) << args.back();
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind("motif: ", 0), 0u) << run.err;
    }
    EXPECT_NE(motif({"nonsense"}).code, 0);
    EXPECT_NE(motif({"--pace", "-1", "store"}).code, 0);
    EXPECT_EQ(motif({"--pace", "5", "store"}).code, 0);
    EXPECT_EQ(motif({"sysex", "--help"}).code, 0);
}

TEST(CommandLine, AnalysesToTheJsonContract)
{
    const CliRun run =
        motif({"--json", "sysex", "analyse", "F0", "43", "10", "7F", "00", "37", "03", "0D", "64", "F7"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject o = json(run.out);
    EXPECT_EQ(o.keys(), (QStringList{"address", "analysis", "data", "dataSize", "display", "kind"}));
    EXPECT_EQ(o["kind"].toInt(), 0x10);
    EXPECT_EQ(o["address"].toInt(), 0x37030D);
    EXPECT_EQ(o["dataSize"].toInt(), 1);
    EXPECT_EQ(o["data"].toString(), "64");
    EXPECT_EQ(o["analysis"].toString(), "PARAM CHANGE: 37030D : 64");
    EXPECT_TRUE(o["display"].toString().startsWith("<font color=#808080>F0</font>"));

    const CliRun text = motif({"sysex", "analyse", "F0 43 00 7F 12 00 00 0E 0F 00 63 F7"});
    EXPECT_EQ(text.out,
              "BULK DUMP: 0E0F00 : \n  kind 0x00, address 0x0E0F00, 0 data bytes, checksum ok, model 7F 12: "
              "Motif XF, not a Motif ES message\n");
    const CliRun bad = motif({"sysex", "analyse", "F0 43 00 7F 00 00 00 0E 0F 00 60 F7"});
    EXPECT_NE(bad.out.find("CHECKSUM WRONG"), std::string::npos);
}

TEST(CommandLine, DrivesTheVirtualInstrument)
{
    const CliRun identify = motif({"--virtual", "identify"});
    EXPECT_EQ(identify.code, 0);
    EXPECT_NE(identify.out.find("\nMotif ES7\n"), std::string::npos) << identify.out;
    EXPECT_NE(motif({"--virtual-model", "ES8", "identify"}).out.find("Motif ES8"), std::string::npos);

    const CliRun select = motif({"--virtual", "--json", "select", "MASTER:3"});
    ASSERT_EQ(select.code, 0) << select.err;
    const QJsonObject o = json(select.out);
    EXPECT_EQ(o["bank"].toString(), "MASTER");
    EXPECT_EQ(o["program"].toInt(), 3);
    const QJsonArray wire = o["wire"].toArray();
    ASSERT_EQ(wire.size(), 2);
    EXPECT_EQ(wire[1].toObject()["bytes"].toString(), "F0 43 10 7F 00 0A 00 00 03 F7");
    EXPECT_EQ(wire[1].toObject()["dir"].toString(), "out");

    const CliRun mix = motif({"select", "127/126:4"});
    EXPECT_NE(mix.out.find("-> F3 04  SONG SELECT: 4"), std::string::npos) << mix.out;
    EXPECT_NE(motif({"select", "dr:usr:31"}).out.find("-> B0 20 28"), std::string::npos);
    EXPECT_NE(motif({"volume", "16", "90"}).out.find("F0 43 10 7F 00 37 60 0D 5A F7"), std::string::npos);
    EXPECT_EQ(json(motif({"--json", "mode"}).out)["mode"].toInt(), 0);
    EXPECT_EQ(json(motif({"--json", "mode", "1"}).out)["name"].toString(), "Performance");
}
