// The Motif ES templates are checked byte for byte against the virtual instrument's factory image in
// tests/e2e/FactoryImageTest.cpp; here the other models' differences, and that init copies.
#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
template <typename Dump>
std::unique_ptr<Dump> built(Motif* device, const char* model)
{
    auto dump = std::make_unique<Dump>(device);
    dump->buildInit(QString::fromLatin1(model));
    return dump;
}

// A template in one line: its block count and the address of its second block.
template <typename Dump>
QString shape(Motif* device, const char* model)
{
    const auto dump = built<Dump>(device, model);
    return QString::asprintf("%d %06X", dump->count(), dump->count() > 1 ? dump->at(1)->getAddress() : 0);
}
} // namespace

TEST(MotifDumpInit, EveryTypeStartsFromTheDevicesWellFormedInit)
{
    Motif device;
    const BulkDump* inits[] = {device.getInitVoice(),    device.getInitDrumVoice(),
                               device.getInitPlgVoice(), device.getInitPerformance(),
                               device.getInitMix(),      device.getInitMaster()};
    for (int type = 0; type < 6; ++type) {
        for (int i = 0; i < inits[type]->count(); ++i)
            EXPECT_TRUE(dynamic_cast<const MotifSysex*>(inits[type]->at(i)) &&
                        inits[type]->at(i)->checksumValid())
                << "type " << type << " message " << i;
        std::unique_ptr<PatchDump> fresh(device.createPatchDump(type));
        ASSERT_NE(fresh, nullptr);
        fresh->init();
        EXPECT_EQ(fresh->toBytes(), inits[type]->toBytes()) << "type " << type;
    }
    EXPECT_EQ(device.createPatchDump(6), nullptr);
}

TEST(MotifDumpInit, OtherModelsHaveTheirOwnBlocks)
{
    Motif device;
    const QStringList shapes{shape<VoiceDump>(&device, "Motif Rack ES"),
                             shape<VoiceDump>(&device, "Motif ES6"),
                             shape<DrumDump>(&device, "Motif Rack ES"),
                             shape<DrumDump>(&device, "Motif ES7"),
                             shape<PLGDump>(&device, "Motif Rack ES"),
                             shape<PerformanceDump>(&device, "Motif Rack ES"),
                             shape<PerformanceDump>(&device, "MO"),
                             shape<MixDump>(&device, "Motif Rack ES"),
                             shape<MixDump>(&device, "MO")};
    EXPECT_EQ(shapes, (QStringList{"38 400700", "9 400000", "374 460600", "8 460000", "10 4C0600",
                                   "11 300100", "9 300100", "23 360100", "21 360100"}));
    EXPECT_EQ(built<MixDump>(&device, "Motif Rack ES")->getSysex(0x376200), nullptr);
    EXPECT_EQ(dataHex(built<VoiceDump>(&device, "Motif Rack ES")->at(1), 0, 4), "00 00 40 40");

    // The S90 ES has one more byte, 00, in each element's first two blocks; otherwise it and the MO
    // share the Motif ES's templates.
    const auto es = built<VoiceDump>(&device, "Motif ES");
    const auto s90 = built<VoiceDump>(&device, "S90 ES");
    for (int i = 0; i < es->count(); ++i) {
        const bool longer = (es->at(i)->getAddress() & 0xFF00DF) == 0x410000;
        EXPECT_EQ(dataHex(s90->at(i), 0, s90->at(i)->dataSize()),
                  dataHex(es->at(i), 0, es->at(i)->dataSize()) + (longer ? " 00" : ""))
            << std::hex << es->at(i)->getAddress();
    }
    EXPECT_EQ(built<VoiceDump>(&device, "MO")->toBytes(), es->toBytes());
    for (const char* model : {"S90 ES", "MO"}) {
        EXPECT_EQ(built<DrumDump>(&device, model)->toBytes(), device.getInitDrumVoice()->toBytes()) << model;
        EXPECT_EQ(built<MasterDump>(&device, model)->toBytes(), device.getInitMaster()->toBytes()) << model;
    }
    EXPECT_EQ(built<PerformanceDump>(&device, "S90 ES")->toBytes(), device.getInitPerformance()->toBytes());
    EXPECT_EQ(built<MasterDump>(&device, "Motif Rack ES")->toBytes(), device.getInitMaster()->toBytes());
}

TEST(MotifDumpInit, InitCopiesTheDevicesDumpIndependently)
{
    Motif device;
    MixDump mix(&device);
    mix.addBulkDump(0x360000, "41 42");
    mix.init();
    ASSERT_EQ(mix.toBytes(), device.getInitMix()->toBytes());
    const std::vector<std::uint8_t> before = device.getInitMix()->toBytes();
    mix.getSysex(0x370500)->setDataAt(0, 0x01);
    EXPECT_EQ(device.getInitMix()->toBytes(), before);

    // Copies keep the device and the data; a dump of no device has nothing to copy from.
    MixDump copy(mix);
    EXPECT_TRUE(copy.device() == &device && copy.toBytes() == mix.toBytes());
    MixDump orphan(nullptr);
    orphan.addBulkDump(0x360000, "41 42");
    orphan.init();
    EXPECT_EQ(orphan.first()->toString(), "F0 43 00 7F 00 00 02 36 00 00 41 42 45 F7");
}
