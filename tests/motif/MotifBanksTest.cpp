// The bank table against what else knows the instrument: its bulk map (no control names two
// places) and the device's bank lists. Types by name and by first block are the init and transfer
// transcripts' (init TYPE, get and show of every type).
#include "motif/Motif.h"
#include "zaltor/DeviceTable.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace MotifBanks;

TEST(MotifBanks, EveryStoredPatchAndEditBufferHasItsOwnBulkControl)
{
    Motif device;
    std::set<unsigned int> taken;
    for (int type = 0; type < int(std::size(Types)); ++type)
        EXPECT_TRUE(taken.insert(device.getEditBuffer(type)).second) << type;
    for (const BankRow& row : Banks) {
        for (int program = 0; program < row.programs; ++program) {
            const unsigned int control = device.getBulkControl(Patch(row.bank, program));
            if (row.bulkBase == NoControl)
                EXPECT_EQ(control, NoControl) << std::hex << row.bank;
            else
                EXPECT_TRUE(control == row.bulkBase + unsigned(program) && taken.insert(control).second)
                    << std::hex << row.bank << " program " << std::dec << program;
        }
    }
}

TEST(MotifBanks, AgreeWithTheDeviceBankLists)
{
    Motif device;
    std::map<unsigned short, QString> listed;
    for (const char* list : {"VOICES", "VOICES_USER_ALL", "PERFORMANCES", "MULTIS", "MASTERS"}) {
        const BankSet banks = device.bankSet(QString::fromLatin1(list));
        for (int i = 0; i < banks.count(); ++i) listed[banks.bank(i)] = banks.name(i);
    }
    for (const auto& [bank, name] : listed) EXPECT_NE(findBank(bank), nullptr) << qPrintable(name);
    for (const BankRow& row : Banks) {
        EXPECT_EQ(listed[row.bank], QString::fromLatin1(row.name)) << std::hex << row.bank;
        const DeviceTable* programs = row.name ? device.createTable(QString::fromLatin1(row.name)) : nullptr;
        EXPECT_EQ(programs ? programs->total() : row.programs, row.programs) << std::hex << row.bank;
    }
    // A backup with every board slot covers the device's list of user banks.
    const BankSet user = device.bankSet(QStringLiteral("USER_BANKS"));
    std::set<unsigned short> userBanks;
    for (int i = 0; i < user.count(); ++i) userBanks.insert(user.bank(i));
    const int everySlot[] = {1, 2, 3};
    std::set<unsigned short> backedUp;
    for (const BankRow& row : backupBanks(everySlot)) backedUp.insert(row.bank);
    EXPECT_EQ(backedUp, userBanks);
}
