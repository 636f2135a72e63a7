#include "zaltor/Patch.h"

#include <gtest/gtest.h>

TEST(Patch, PacksBankAndProgramAndRejectsWhatMidiCannotSelect)
{
    const Patch user(Bank(0x3F08), 5);
    EXPECT_TRUE(user.isValid() && user.value() == 0x3F0805 && Patch::fromValue(0x3F0805) == user &&
                Patch(63, 8, 5) == user && user.msb() == 63 && user.lsb() == 8 && user.program() == 5);
    EXPECT_TRUE(Patch(Bank(0x7F7F), 127).isValid());
    for (const Patch& bad : {Patch(), Patch(128, 0, 0), Patch(0, 0x80, 0), Patch(0, 0, 128), Patch(0, 0, -1),
                             Patch(Bank(0x803F), 0), Patch::fromValue(0x1000000), Patch::fromValue(0x3F0880)})
        EXPECT_TRUE(!bad.isValid() && bad.value() == Patch::InvalidValue) << bad.msb() << "/" << bad.lsb();
}
