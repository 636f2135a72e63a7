// The module's init templates and the virtual instrument's factory image are two independent
// readings of the same layouts: a fresh instrument's edit buffers must hold exactly the init
// patches, block for block and byte for byte.
#include "InstrumentRig.h"
#include "core/Clock.h"
#include "zaltor/BulkDump.h"

#include <gtest/gtest.h>

TEST(FactoryImage, EditBuffersHoldTheInitPatches)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    InstrumentRig rig;
    Motif& device = rig.device;
    const BulkDump* inits[] = {device.getInitVoice(),    device.getInitDrumVoice(),
                               device.getInitPlgVoice(), device.getInitPerformance(),
                               device.getInitMix(),      device.getInitMaster()};
    for (int type = 0; type < 6; ++type) {
        BulkDump bulk;
        ASSERT_TRUE(device.syncEditBufferRequest(type, bulk, 1000)) << type;
        device.strip(&bulk);
        const BulkDump& init = *inits[type];
        ASSERT_EQ(bulk.count(), init.count()) << type;
        for (int i = 0; i < init.count(); ++i)
            EXPECT_EQ(bulk.at(i)->toString(), init.at(i)->toString()) << "type " << type << " block " << i;
    }
    EXPECT_EQ(rig.instrument.errors(), QStringList{});
}
