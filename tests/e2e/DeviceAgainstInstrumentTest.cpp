// The device module against the virtual instrument, in-process: two independent readings of the
// same protocol have to agree on every byte.
#include "InstrumentRig.h"
#include "TestSupport.h"
#include "core/Clock.h"
#include "emulator/EsWire.h"
#include "emulator/VirtualInstrument.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"

#include <gtest/gtest.h>

namespace {
class DeviceAgainstInstrument : public ::testing::Test, public InstrumentRig {
protected:
    ~DeviceAgainstInstrument() override { EXPECT_EQ(instrument.errors(), QStringList{}); }

    ManualClock clock;
    ScopedClock scoped{clock};
};

// What the instrument's codec makes of bytes: kind, address and data, or its error.
QString esReading(const MidiBytes& bytes)
{
    const EsParse parsed = EsWire::parse(bytes);
    if (!parsed.message) return parsed.error;
    return QString::asprintf("%d %06x [", int(parsed.message->kind), parsed.message->address) +
           hex(parsed.message->data) + (parsed.message->checksumOk() ? "]" : "] bad checksum");
}
} // namespace

// Every kind of message the device builds, the instrument's codec takes apart to the same fields,
// and every bulk block the instrument builds is the device's byte for byte. Block sizes 0, 1, 127,
// 128 and 300 put both 7-bit bytes of the byte count to work.
TEST(CodecAgainstInstrument, BothCodecsAgreeOnEveryKind)
{
    for (const auto& [address, size] : {std::pair{0x0E0805u, 0},
                                        {0x0F2F00u, 0},
                                        {0x110000u, 0},
                                        {0x407000u, 1},
                                        {0x400000u, 127},
                                        {0x410120u, 128},
                                        {0x474820u, 300}}) {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) data[std::size_t(i)] = std::uint8_t((i * 37 + size) & 0x7F);
        MotifSysex device;
        device.prepareBulkDump(address, hex(data));
        const MidiBytes instrument = EsWire::bulkDump(address, data);
        EXPECT_EQ(device.vector(), instrument) << std::hex << address;
        const MotifSysex read(instrument);
        EXPECT_TRUE(read.kind() == MotifSysex::BulkDump && read.checksumValid()) << std::hex << address;
        EXPECT_EQ(read.getAddress(), address);
        EXPECT_EQ(read.copyData(), data);
        MidiBytes spoiled = instrument;
        spoiled[spoiled.size() - 2] ^= 0x01;
        EXPECT_FALSE(MotifSysex(spoiled).checksumValid());
        EXPECT_TRUE(esReading(spoiled).endsWith(" bad checksum"));
    }
    EXPECT_EQ(EsWire::bulkDump(0x0E0F00, {}), hexBytes("F0 43 00 7F 00 00 00 0E 0F 00 63 F7"));

    MotifSysex m;
    m.prepareParameterChange(MidiParam(0x37030D, 1), 100);
    EXPECT_EQ(m.vector(), EsWire::parameterChange(0x37030D, hexBytes("64")));
    m.prepareParameterChange(MidiParam(0x410005, 2), 200);
    EXPECT_EQ(m.vector(), EsWire::parameterChange(0x410005, hexBytes("01 48")));
    EXPECT_EQ(MotifSysex(EsWire::parameterChange(0x410005, hexBytes("01 48")))
                  .getParameterData(MidiParam(0x410005, 2)),
              200);
    m.prepareParameterRequest(MidiParam(0x0A0001, 1));
    EXPECT_EQ(esReading(m.vector()), "3 0a0001 []");
    m.prepareBulkRequest(0x2803);
    EXPECT_EQ(esReading(m.vector()), "2 0e2803 []");
}

TEST_F(DeviceAgainstInstrument, IdentifiesEveryKeyboard)
{
    EXPECT_TRUE(device.identify(1000));
    EXPECT_EQ(device.modelName(), "Motif ES7");
    for (auto [model, name] : {std::pair{VirtualInstrument::Model::ES6, "Motif ES6"},
                               {VirtualInstrument::Model::ES8, "Motif ES8"}}) {
        VirtualInstrument other(model);
        other.attach(*far);
        EXPECT_TRUE(device.identify(1000));
        EXPECT_EQ(device.modelName(), name);
    }
    instrument.attach(*far);
}

TEST_F(DeviceAgainstInstrument, SelectsInEveryModeAndTheInstrumentFollows)
{
    device.setModeByBank(0x3F09);
    device.patchChange(Patch(0x3F09, 17));
    EXPECT_EQ(instrument.mode(), 0);
    EXPECT_EQ(instrument.selected(0), (VirtualInstrument::Selection{63, 9, 17}));

    device.setModeByBank(0x3F40);
    device.patchChange(Patch(0x3F40, 5));
    EXPECT_EQ(instrument.mode(), 1);
    EXPECT_EQ(instrument.selected(0), (VirtualInstrument::Selection{63, 64, 5}));

    device.setModeByBank(Motif::MasterBank);
    device.patchChange(Patch(Motif::MasterBank, 3));
    EXPECT_EQ(instrument.mode(), 4);
    EXPECT_EQ(instrument.master(), 3);

    device.setModeByBank(Motif::MixBank);
    device.patchChange(Patch(Motif::MixBank, 2));
    EXPECT_EQ(instrument.mode(), 3);
    EXPECT_EQ(instrument.songSelect(), 2);
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{350, 350, 350, 350}));

    EXPECT_EQ(device.syncGetMode(500), 3);
    device.setPartVolume(15, 33);
    device.setPartVolume(17, 44);
    EXPECT_EQ(instrument.partVolume(0x0F), 33);
    EXPECT_EQ(instrument.partVolume(0x61), 44);
}

TEST_F(DeviceAgainstInstrument, HearsThePanel)
{
    std::vector<Patch> changes;
    QObject::connect(&device, &MidiDevice::patchChanged, [&](Patch p, int) { changes.push_back(p); });
    instrument.pressMode(1);
    instrument.pressMaster(9);
    EXPECT_EQ(device.currentMode(), -1);
    EXPECT_EQ(device.poll(), 2);
    EXPECT_TRUE(device.inPerformanceMode());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], Patch(Motif::MasterBank, 9));
    device.updateRcvChannel();
    EXPECT_EQ(device.receiveChannel(), 0);
}
