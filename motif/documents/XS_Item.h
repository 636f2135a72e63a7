#pragma once

#include "core/LazyBuffer.h"
#include "motif/MotifExport.h"

// One item of a YSFC chunk as the container keeps it when no document understands it: the item's
// contents without its tag and length word, written back as they were read; read from the file
// only when someone looks at them.
class MOTIF_EXPORT XS_Item {
public:
    int size() const { return data.size(); }
    void reset() { data.reset(); }

    LazyBuffer data;
};
