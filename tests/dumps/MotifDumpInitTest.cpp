// The Motif ES templates are checked byte for byte against the virtual instrument's factory image in
// tests/e2e/FactoryImageTest.cpp; here the other models' differences, and that init copies.
#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
enum { Voice, Drum, Plg, Performance, Mix, Master };
using Templates = std::initializer_list<std::pair<int, const char*>>;

std::unique_ptr<PatchDump> built(Motif& device, int type, const char* model)
{
    std::unique_ptr<PatchDump> dump(device.createPatchDump(type));
    dump->buildInit(QString::fromLatin1(model));
    return dump;
}
} // namespace

// A fresh dump of each type inits to the device's template: the init transcript sends them
// byte for byte, and tests/e2e/FactoryImageTest.cpp finds them in a fresh instrument.
TEST(MotifDumpInit, InitCopiesTheDevicesTemplate)
{
    Motif device;
    EXPECT_EQ(device.createPatchDump(Master + 1), nullptr);
    // Changing the copy leaves the device's; a dump of no device has nothing to copy from.
    MixDump mix(&device), orphan(nullptr);
    mix.addBulkDump(0x360000, "41 42");
    mix.init();
    mix.getSysex(0x370500)->setDataAt(0, 0x01);
    EXPECT_EQ(device.getInitMix()->getSysex(0x370500)->dataAt(0), 0x3F);
    orphan.addBulkDump(0x360000, "41 42");
    orphan.init();
    EXPECT_EQ(orphan.first()->toString(), "F0 43 00 7F 00 00 02 36 00 00 41 42 45 F7");
}

TEST(MotifDumpInit, OtherModelsHaveTheirOwnBlocks)
{
    Motif device;
    // Each template in one line: its block count and the address of its second block.
    QStringList shapes;
    for (const auto& [type, model] : Templates{{Voice, "Motif Rack ES"},
                                               {Voice, "Motif ES6"},
                                               {Drum, "Motif Rack ES"},
                                               {Drum, "Motif ES7"},
                                               {Plg, "Motif Rack ES"},
                                               {Performance, "Motif Rack ES"},
                                               {Performance, "MO"},
                                               {Mix, "Motif Rack ES"},
                                               {Mix, "MO"}}) {
        const auto dump = built(device, type, model);
        shapes << QString::asprintf("%d %06X", dump->count(), dump->at(1)->getAddress());
    }
    EXPECT_EQ(shapes, (QStringList{"38 400700", "9 400000", "374 460600", "8 460000", "10 4C0600",
                                   "11 300100", "9 300100", "23 360100", "21 360100"}));
    EXPECT_EQ(built(device, Mix, "Motif Rack ES")->getSysex(0x376200), nullptr);
    EXPECT_EQ(dataHex(built(device, Voice, "Motif Rack ES")->at(1), 0, 4), "00 00 40 40");

    // The S90 ES has one more byte, 00, in each element's first two blocks.
    const auto es = built(device, Voice, "Motif ES");
    const auto s90 = built(device, Voice, "S90 ES");
    for (int i = 0; i < es->count(); ++i) {
        const bool longer = (es->at(i)->getAddress() & 0xFF00DF) == 0x410000;
        EXPECT_EQ(dataHex(s90->at(i), 0, s90->at(i)->dataSize()),
                  dataHex(es->at(i), 0, es->at(i)->dataSize()) + (longer ? " 00" : ""))
            << std::hex << es->at(i)->getAddress();
    }
    // Otherwise the S90 ES and the MO share the Motif ES's templates, and the rack its master.
    for (const auto& [type, model] : Templates{{Voice, "MO"},
                                               {Drum, "MO"},
                                               {Master, "MO"},
                                               {Drum, "S90 ES"},
                                               {Master, "S90 ES"},
                                               {Performance, "S90 ES"},
                                               {Master, "Motif Rack ES"}})
        EXPECT_EQ(built(device, type, model)->toBytes(), built(device, type, "Motif ES")->toBytes()) << model;
}
