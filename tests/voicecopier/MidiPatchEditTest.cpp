// The patch selector over the device's bank lists: which banks and programs it offers, with
// which names, and what it answers for patches it cannot show.
#include "dumps/DumpTestSupport.h"

#include "motif/Motif.h"
#include "zaltor/MidiPatchEdit.h"

#include <QComboBox>
#include <gtest/gtest.h>

TEST(PatchEdit, OffersTheBanksOfTheSetAndKeepsTheProgramAcrossThem)
{
    ensureApplication();
    Motif device;
    MidiPatchEdit edit(nullptr, &device, "VOICES");
    auto* bank = edit.findChild<QComboBox*>("bank");
    auto* program = edit.findChild<QComboBox*>("program");
    ASSERT_TRUE(bank && program);
    const auto items = [](const QComboBox* box, int from, int to) {
        QStringList out{QString::number(box->count())};
        for (int i = from; i < to; ++i) out << box->itemText(i);
        return out.join('|');
    };
    EXPECT_EQ(items(bank, 0, 12), "12|PRE1|PRE2|PRE3|PRE4|PRE5|PRE6|GM|USER1|USER2|DR:GM|DR:PRE|DR:USR");
    EXPECT_EQ(items(program, 0, 2), "128|001 Ap:Full Grand|002 Ap:BriteGrand");
    // Names of user patches show as they change; unnamed ones show their number alone.
    device.updateUserPatchName(Patch(0x3F28, 2), "My Kit");
    bank->setCurrentIndex(11);
    EXPECT_EQ(items(program, 1, 3), "32|002|003 My Kit");

    EXPECT_TRUE(edit.setPatch(Patch(0x3F08, 100)));
    // PRE2 has program 100 too; the drum banks have fewer programs, so their last is taken.
    for (const auto& [index, patch] :
         {std::pair{1, Patch(0x3F01, 100)}, {10, Patch(0x3F20, 63)}, {9, Patch(0x7F00, 0)}}) {
        bank->setCurrentIndex(index);
        EXPECT_EQ(edit.patch(), patch) << index;
    }
    // A patch outside the set shows the first one.
    for (const Patch& outside : {Patch(0x3F28, 32), Patch(0x3F40, 0), Patch()}) {
        edit.setPatch(Patch(0x3F09, 7));
        EXPECT_FALSE(edit.setPatch(outside)) << outside.value();
        EXPECT_EQ(edit.patch(), Patch(0x3F00, 0)) << outside.value();
    }
    EXPECT_FALSE(MidiPatchEdit(nullptr, &device, "NO_SUCH_TABLE").setPatch(Patch(0x3F00, 0)));
}
