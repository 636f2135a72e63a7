#pragma once

#include "dumps/DumpTestSupport.h"
#include "motif/Motif.h"
#include "motif/MotifDump.h"
#include "motif/MotifSysex.h"
#include "zaltor/MidiTransport.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// Sets every data byte of a block to value(offset) and renews its checksum.
inline void fillBlock(Sysex* block, const std::function<int(int)>& value)
{
    for (int i = 0; i < block->dataSize(); ++i) block->setDataAt(i, std::uint8_t(value(i)));
    block->updateChecksum();
}

// A voice (or drum kit) whose copied bytes tell where they came from: the name block holds its
// own offsets, named "Copy Test " in category 05/03 with the arpeggio switched on; the common
// block holds 60 + offset, reverb 20 + offset, chorus 40 + offset, insertion A 01 + offset and
// insertion B 50 + offset.
inline std::unique_ptr<MotifDump> makeSource(Motif& device, bool drum)
{
    std::unique_ptr<MotifDump> dump;
    if (drum)
        dump = std::make_unique<DrumDump>(&device);
    else
        dump = std::make_unique<VoiceDump>(&device);
    dump->init();
    const std::uint32_t high = drum ? 0x460000 : 0x400000;
    const QByteArray name("Copy Test ");
    fillBlock(dump->getSysex(high | 0x7000), [&name](int i) {
        if (i < 10) return int(name[i]);
        if (i == 0x0C) return 0x05;
        if (i == 0x0D) return 0x03;
        if (i == 0x16) return 0x01;
        return i;
    });
    fillBlock(dump->getSysex(high), [](int i) { return 0x60 + i; });
    fillBlock(dump->getSysex(high | 0x0100), [](int i) { return 0x20 + i; });
    fillBlock(dump->getSysex(high | 0x0200), [](int i) { return 0x40 + i; });
    fillBlock(dump->getSysex(high | 0x0300), [](int i) { return 0x01 + i; });
    fillBlock(dump->getSysex(high | 0x0400), [](int i) { return 0x50 + i; });
    return dump;
}

// Parameter changes as "address:data", e.g. "300060:00 20 00 01".
inline QStringList changesOf(const std::vector<MidiBytes>& messages)
{
    QStringList out;
    for (const MidiBytes& bytes : messages) {
        const MotifSysex message(bytes);
        out << QString::asprintf("%06X:", message.getAddress()) + message.dataToString();
    }
    return out;
}

// What copying makeSource's voice, stored at USER1:5, into part 1 of a performance sends with
// every option set: name, voice, arpeggio, system effects, insertion effects.
inline QStringList expectedVoiceCopy()
{
    const char* const text =
        // name and category
        "300000:43 300001:6F 300002:70 300003:79 300004:20 300005:54 300006:65 300007:73 300008:74 300009:20 "
        "30000C:05 30000D:03 "
        // voice: common block
        "300034:34 300035:40 "
        "300037:40 300038:40 300039:40 30003A:40 30003B:40 30003C:40 30003D:40 "
        "300047:40 300048:40 300049:40 30004A:40 30004B:40 30004C:40 30004D:40 30004E:40 30004F:40 300050:40 "
        "300051:40 "
        "300040:40 300041:40 300042:40 300043:40 300044:40 "
        "30003E:3E 30003F:3F 300045:45 300046:46 "
        "300052:7F 300053:40 300054:01 300055:7F 300056:7F "
        "300060:00_20_00_01 "
        "301000:40 301004:40 301008:40 30100C:40 301010:40 "
        // voice: the part
        "310000:3F 310001:08 310002:05 "
        "310004:63 "
        "310005:01 310006:7F 310007:00 310008:7F "
        "310009:65 31000A:66 "
        "31000B:40 31000C:40 31000D:7F "
        "31000E:35 "
        "310012:6B 310013:6C "
        "310015:7F 310016:40 "
        "310017:47 310018:48 "
        "31001A:68 31001B:69 31001C:67 "
        "31001E:00 31001F:7F 310020:7F 310021:7F 310024:01 "
        "310022:38 310023:49 310025:37 310026:4A "
        "310027:40 310028:39 31002A:3A 31002B:3B 31002C:3D "
        "31002E:00_36 310030:40 310032:01_0D 310034:40 310035:00 310036:01_67 310038:40 "
        // arpeggio
        "300011:00 300012:00 300014:14_15 "
        "300016:01 300017:17 300018:18 300019:19 30001A:1A 30001B:1B 30001C:1C 30001D:1D 30001E:1E 30001F:1F "
        "300020:20 300021:21 "
        "300022:22_23 300024:24_25 300026:26_27 300028:28_29 30002A:2A_2B 30002C:2C_2D 30002E:2E_2F "
        "300030:30_31 300032:32_33 "
        // reverb and chorus
        "300100:20_21 300102:22_23 300104:24_25 300106:26_27 300108:28_29 30010A:2A_2B 30010C:2C_2D "
        "30010E:2E_2F 300110:30_31 300112:32_33 300114:34_35 300116:36_37 300118:38_39 30011A:3A_3B "
        "30011C:3C_3D 30011E:3E_3F 300120:40_41 300122:42 300123:43 "
        "300200:40_41 300202:42_43 300204:44_45 300206:46_47 300208:48_49 30020A:4A_4B 30020C:4C_4D "
        "30020E:4E_4F 300210:50_51 300212:52_53 300214:54_55 300216:56_57 300218:58_59 30021A:5A_5B "
        "30021C:5C_5D 30021E:5E_5F 300220:60_61 300222:62 300223:63 300224:64 "
        // insertion effects to the A/D input
        "300300:01_02 300302:03_04 300304:05_06 300306:07_08 300308:09_0A 30030A:0B_0C 30030C:0D_0E "
        "30030E:0F_10 300310:11_12 300312:13_14 300314:15_16 300316:17_18 300318:19_1A 30031A:1B_1C "
        "30031C:1D_1E 30031E:1F_20 300320:21_22 "
        "300400:50_51 300402:52_53 300404:54_55 300406:56_57 300408:58_59 30040A:5A_5B 30040C:5C_5D "
        "30040E:5E_5F 300410:60_61 300412:62_63 300414:64_65 300416:66_67 300418:68_69 30041A:6A_6B "
        "30041C:6C_6D 30041E:6E_6F 300420:70_71";
    QStringList changes = QString::fromLatin1(text).split(' ', Qt::SkipEmptyParts);
    for (QString& change : changes) change.replace('_', ' ');
    return changes;
}
