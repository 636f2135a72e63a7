#include "DumpTestSupport.h"

#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
using Addresses = std::vector<std::uint32_t>;

const Addresses VoiceCommon = {0x407000, 0x400000, 0x400040, 0x400100, 0x400200,
                               0x400300, 0x400400, 0x400500, 0x400600};

template <typename Dump>
std::unique_ptr<Dump> built(Motif* device, const char* model)
{
    auto dump = std::make_unique<Dump>(device);
    dump->buildInit(QString::fromLatin1(model));
    return dump;
}

Addresses joined(Addresses head, const Addresses& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

} // namespace

TEST(MotifDumpInit, DeviceHoldsOneWellFormedInitOfEveryType)
{
    Motif device;
    const BulkDump* inits[] = {device.getInitVoice(),    device.getInitDrumVoice(),
                               device.getInitPlgVoice(), device.getInitPerformance(),
                               device.getInitMix(),      device.getInitMaster()};
    const int counts[] = {37, 373, 9, 20, 32, 5};
    for (int type = 0; type < 6; ++type) {
        ASSERT_NE(inits[type], nullptr);
        EXPECT_EQ(inits[type]->count(), counts[type]) << "type " << type;
        for (int i = 0; i < inits[type]->count(); ++i) {
            const Sysex* message = inits[type]->at(i);
            ASSERT_NE(dynamic_cast<const MotifSysex*>(message), nullptr);
            EXPECT_EQ(message->kind(), MotifSysex::BulkDump);
            EXPECT_TRUE(message->isValid() && message->checksumValid())
                << "type " << type << " message " << i;
        }
        std::unique_ptr<PatchDump> fresh(device.createPatchDump(type));
        ASSERT_NE(fresh, nullptr);
        EXPECT_EQ(fresh->type(), type);
        EXPECT_EQ(fresh->iconIndex(), type + 3);
        EXPECT_EQ(fresh->maxNameSize(), 10);
        EXPECT_TRUE(fresh->isEmpty());
        fresh->init();
        EXPECT_EQ(fresh->toBytes(), inits[type]->toBytes());
    }
    EXPECT_EQ(device.createPatchDump(-1), nullptr);
    EXPECT_EQ(device.createPatchDump(6), nullptr);

    const QString names[] = {"Init Voice", "Init Drum ", "----------",
                             "Init Perf ", "Init Multi", "InitMaster"};
    for (int type = 0; type < 6; ++type) EXPECT_EQ(inits[type]->first()->readDataText(0, 10), names[type]);
    EXPECT_EQ(device.getInitVoice()->at(2)->toString(), "F0 43 00 7F 00 00 04 40 00 40 01 7F 7F 00 7D F7");
}

TEST(MotifDumpInit, VoiceElementsFollowTheModel)
{
    Motif device;
    const Addresses byElement = {0x410000, 0x410020, 0x420000, 0x430000, 0x440000, 0x440040, 0x440050, //
                                 0x410100, 0x410120, 0x420100, 0x430100, 0x440100, 0x440140, 0x440150, //
                                 0x410200, 0x410220, 0x420200, 0x430200, 0x440200, 0x440240, 0x440250, //
                                 0x410300, 0x410320, 0x420300, 0x430300, 0x440300, 0x440340, 0x440350};
    const auto es = built<VoiceDump>(&device, "Motif ES");
    EXPECT_EQ(addressesOf(*es), joined(VoiceCommon, byElement));
    EXPECT_EQ(es->getSysex(0x410000)->dataAt(0), 0x01);
    for (std::uint32_t element : {0x410100u, 0x410200u, 0x410300u}) {
        EXPECT_EQ(es->getSysex(element)->dataAt(0), 0x00);
        EXPECT_EQ(dataHex(es->getSysex(element), 1, 28), dataHex(es->getSysex(0x410000), 1, 28));
    }
    EXPECT_EQ(addressesOf(*built<VoiceDump>(&device, "MO")), addressesOf(*es));

    const auto rack = built<VoiceDump>(&device, "Motif Rack ES");
    ASSERT_EQ(rack->count(), 38);
    EXPECT_EQ(rack->at(1)->getAddress(), 0x400700u);
    EXPECT_EQ(dataHex(rack->at(1), 0, 4), "00 00 40 40");
    const Addresses rackAddresses = addressesOf(*rack);
    EXPECT_EQ(Addresses(rackAddresses.begin() + 10, rackAddresses.begin() + 16),
              (Addresses{0x410000, 0x410100, 0x410200, 0x410300, 0x410020, 0x410120}));
    EXPECT_EQ(rack->at(34)->getAddress(), 0x440050u);
    EXPECT_EQ(rack->last()->getAddress(), 0x440350u);

    // The S90 ES has one more byte, 00, in each element's first two blocks.
    const auto s90 = built<VoiceDump>(&device, "S90 ES");
    EXPECT_EQ(addressesOf(*s90), addressesOf(*es));
    for (std::uint32_t address : {0x410000u, 0x410020u, 0x410300u, 0x410320u}) {
        const Sysex* block = s90->getSysex(address);
        const int size = es->getSysex(address)->dataSize();
        ASSERT_EQ(block->dataSize(), size + 1);
        EXPECT_EQ(dataHex(block, 0, size + 1), dataHex(es->getSysex(address), 0, size) + " 00");
    }
    EXPECT_EQ(s90->getSysex(0x410000)->dataSize(), 30);
    EXPECT_EQ(s90->getSysex(0x410020)->dataSize(), 31);
    EXPECT_EQ(s90->getSysex(0x420000)->dataSize(), 30);

    // Other models get the common blocks only, and buildInit appends.
    auto other = built<VoiceDump>(&device, "Motif ES6");
    EXPECT_EQ(addressesOf(*other), VoiceCommon);
    other->buildInit("Motif ES6");
    EXPECT_EQ(other->count(), 18);
}

TEST(MotifDumpInit, DrumKitsAndPlgVoicesFollowTheModel)
{
    Motif device;
    const auto es = built<DrumDump>(&device, "Motif ES");
    ASSERT_EQ(es->count(), 373);
    const Sysex* name = es->first();
    const Sysex* voiceName = device.getInitVoice()->first();
    EXPECT_EQ(name->getAddress(), 0x467000u);
    EXPECT_EQ(name->readDataText(0, 10), "Init Drum ");
    EXPECT_EQ(name->dataAt(12), 0x0D);
    EXPECT_EQ(dataHex(name, 20, 2), "09 21");
    EXPECT_EQ(dataHex(name, 22, 60), dataHex(voiceName, 22, 60));
    EXPECT_EQ(dataHex(es->getSysex(0x460100), 21, 1), "28");
    EXPECT_EQ(dataHex(device.getInitVoice()->getSysex(0x400100), 20, 4), "00 00 00 2D");
    const Addresses esAddresses = addressesOf(*es);
    EXPECT_EQ(Addresses(esAddresses.begin() + 7, esAddresses.begin() + 14),
              (Addresses{0x460500, 0x470000, 0x470020, 0x480000, 0x490000, 0x4A0000, 0x470100}));
    EXPECT_EQ(esAddresses.back(), 0x4A4800u);
    EXPECT_EQ(built<DrumDump>(&device, "S90 ES")->toBytes(), es->toBytes());
    EXPECT_EQ(built<DrumDump>(&device, "MO")->toBytes(), es->toBytes());
    EXPECT_EQ(built<DrumDump>(&device, "Motif ES7")->count(), 8);

    const auto rack = built<DrumDump>(&device, "Motif Rack ES");
    ASSERT_EQ(rack->count(), 374);
    EXPECT_EQ(rack->at(1)->getAddress(), 0x460600u);
    EXPECT_EQ(rack->at(10)->getAddress(), 0x470100u);
    EXPECT_EQ(rack->at(9 + 73)->getAddress(), 0x470020u);
    EXPECT_EQ(rack->last()->getAddress(), 0x4A4800u);

    const auto plg = built<PLGDump>(&device, "Motif ES");
    EXPECT_EQ(addressesOf(*plg), (Addresses{0x4C7000, 0x4C0000, 0x4C0100, 0x4C0200, 0x4C0300, 0x4C0400,
                                            0x4C0500, 0x4C1000, 0x4C2000}));
    EXPECT_EQ(plg->first()->readDataText(0, 12), "----------");
    EXPECT_EQ(dataHex(plg->first(), 20, 3), "00 00 00");
    EXPECT_EQ(dataHex(plg->getSysex(0x4C2000), 29, 5) + " " + dataHex(plg->getSysex(0x4C2000), 64, 4),
              "40 40 00 40 00 00 03 00 00");
    const auto plgRack = built<PLGDump>(&device, "Motif Rack ES");
    ASSERT_EQ(plgRack->count(), 10);
    EXPECT_EQ(plgRack->at(1)->getAddress(), 0x4C0600u);
}

TEST(MotifDumpInit, PerformancesLackBlocksOnTheSmallerModels)
{
    Motif device;
    const auto es = built<PerformanceDump>(&device, "Motif ES");
    EXPECT_EQ(addressesOf(*es),
              (Addresses{0x300000, 0x300100, 0x300200, 0x300300, 0x300400, 0x301000, 0x301100,
                         0x302000, 0x310000, 0x310100, 0x310200, 0x310300, 0x316000, 0x316100,
                         0x316200, 0x344000, 0x344100, 0x344200, 0x344300, 0x344400}));
    EXPECT_EQ(built<PerformanceDump>(&device, "S90 ES")->toBytes(), es->toBytes());
    EXPECT_EQ(addressesOf(*built<PerformanceDump>(&device, "Motif Rack ES")),
              (Addresses{0x300000, 0x300100, 0x300200, 0x301000, 0x301100, 0x310000, 0x310100, 0x310200,
                         0x310300, 0x316000, 0x316100}));
    EXPECT_EQ(built<PerformanceDump>(&device, "MO")->count(), 9);
    EXPECT_EQ(dataHex(es->getSysex(0x301100), 20, 5), "00 1A 00 00 00");

    // Only part 1 has bit 0 of byte 31 set; the PLG parts play the boards' first preset banks.
    EXPECT_EQ(dataHex(es->getSysex(0x310000), 0, 4) + " " + dataHex(es->getSysex(0x310000), 31, 1),
              "3F 00 00 7F 7F");
    EXPECT_EQ(dataHex(es->getSysex(0x310300), 0, 4) + " " + dataHex(es->getSysex(0x310300), 31, 1),
              "3F 00 00 7F 7C");
    EXPECT_EQ(dataHex(es->getSysex(0x310300), 47, 11), "36 40 00 01 0D 40 00 01 67 40 00");
    const char* plgLsb[] = {"46", "49", "4C"};
    for (int q = 0; q < 3; ++q) {
        const Sysex* part = es->getSysex(0x316000 + std::uint32_t(q) * 0x100);
        ASSERT_EQ(part->dataSize(), 58);
        EXPECT_EQ(dataHex(part, 0, 4) + " " + dataHex(part, 31, 1), QString("3F %1 00 7F 7C").arg(plgLsb[q]));
        EXPECT_EQ(dataHex(part, 47, 11), "00 00 00 00 00 00 00 00 00 00 00");
    }
}

TEST(MotifDumpInit, MixesNumberTheirParts)
{
    Motif device;
    const auto es = built<MixDump>(&device, "Motif ES");
    ASSERT_EQ(es->count(), 32);
    EXPECT_EQ(addressesOf(*es).back(), 0x384400u);
    for (int p = 0; p < 16; ++p) {
        const Sysex* part = es->getSysex(0x370000 + std::uint32_t(p) * 0x100);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(dataHex(part, 0, 4), QString::asprintf("3F 00 00 %02X", p));
        EXPECT_EQ(part->dataAt(31), p == 0 ? 0x7F : 0x7C);
    }
    for (int q = 0; q < 3; ++q) {
        const Sysex* part = es->getSysex(0x376000 + std::uint32_t(q) * 0x100);
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(dataHex(part, 0, 4), QString::asprintf("3F %02X 00 %02X", 0x46 + 3 * q, q));
        EXPECT_EQ(dataHex(part, 47, 11), "2E 20 00 00 53 20 00 01 03 20 00");
    }

    // The mix common is the performance common with a few bytes changed.
    const Sysex* common = es->first();
    const Sysex* performance = device.getInitPerformance()->first();
    EXPECT_EQ(common->readDataText(0, 11), "Init Multi ");
    EXPECT_EQ(dataHex(common, 16, 1) + " " + dataHex(common, 40, 2) + " " + dataHex(common, 84, 3) + " " +
                  dataHex(common, 98, 3),
              "00 01 0A 00 20 00 01 7F 7F");
    EXPECT_EQ(dataHex(common, 42, 42), dataHex(performance, 42, 42));
    EXPECT_EQ(dataHex(es->getSysex(0x360100), 21, 3), "00 00 2D");
    EXPECT_EQ(dataHex(device.getInitPerformance()->getSysex(0x300100), 21, 3), "28 00 2D");

    const auto rack = built<MixDump>(&device, "Motif Rack ES");
    EXPECT_EQ(rack->count(), 5 + 16 + 2);
    EXPECT_EQ(rack->getSysex(0x376200), nullptr);
    EXPECT_EQ(built<MixDump>(&device, "MO")->count(), 5 + 16);
}

TEST(MotifDumpInit, MasterIsTheSameForEveryModel)
{
    Motif device;
    const BulkDump* master = device.getInitMaster();
    ASSERT_EQ(master->count(), 5);
    EXPECT_EQ(master->at(0)->toString(),
              "F0 43 00 7F 00 00 13 33 00 00 49 6E 69 74 4D 61 73 74 65 72 00 00 00 00 00 00 00 00 02 38 F7");
    EXPECT_EQ(master->at(1)->toString(),
              "F0 43 00 7F 00 00 10 32 00 00 30 40 40 00 7F 04 7F 64 40 00 00 00 67 7F 07 0A 71 F7");
    EXPECT_EQ(master->at(2)->toString(),
              "F0 43 00 7F 00 00 10 32 01 00 00 40 40 00 7F 04 7F 64 40 00 00 00 67 7F 07 0A 20 F7");
    EXPECT_EQ(master->at(3)->toString(),
              "F0 43 00 7F 00 00 10 32 02 00 00 40 40 00 7F 04 7F 64 40 00 00 00 67 7F 07 0A 1F F7");
    EXPECT_EQ(master->at(4)->toString(),
              "F0 43 00 7F 00 00 10 32 03 00 00 40 40 00 7F 04 7F 64 40 00 00 00 67 7F 07 0A 1E F7");
    for (const char* model : {"Motif Rack ES", "S90 ES", "MO", "Motif ES8"})
        EXPECT_EQ(built<MasterDump>(&device, model)->toBytes(), master->toBytes()) << model;
}

TEST(MotifDumpInit, InitCopiesTheDevicesDumpIndependently)
{
    Motif device;
    MixDump mix(&device);
    mix.addBulkDump(0x360000, "41 42");
    mix.init();
    ASSERT_EQ(mix.toBytes(), device.getInitMix()->toBytes());
    EXPECT_NE(mix.first(), device.getInitMix()->first());
    EXPECT_NE(dynamic_cast<MotifSysex*>(mix.at(31)), nullptr);
    EXPECT_EQ(mix.at(31)->getAddress(), 0x384400u);

    const std::vector<std::uint8_t> before = device.getInitMix()->toBytes();
    mix.setName("Changed");
    mix.getSysex(0x370500)->setDataAt(0, 0x01);
    mix.removeAt(3);
    EXPECT_EQ(device.getInitMix()->toBytes(), before);
    EXPECT_EQ(device.getInitMix()->first()->readDataText(0, 10), "Init Multi");

    // Copies keep the device and the data; a dump of no device has nothing to copy from.
    MixDump copy(mix);
    EXPECT_EQ(copy.device(), &device);
    EXPECT_EQ(copy.toBytes(), mix.toBytes());
    MixDump orphan(nullptr);
    orphan.addBulkDump(0x360000, "41 42");
    orphan.init();
    EXPECT_EQ(orphan.first()->toString(), "F0 43 00 7F 00 00 02 36 00 00 41 42 45 F7");
}
