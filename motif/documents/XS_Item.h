#pragma once

#include "core/Buffer.h"
#include "motif/MotifExport.h"

// One item of a YSFC chunk as the container keeps it when no document understands it: the item's
// contents without its tag and length word, written back as they were read.
class MOTIF_EXPORT XS_Item {
public:
    int size() const { return data.size(); }
    void reset() { data.reset(); }

    Buffer data;
};
