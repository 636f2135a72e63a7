#pragma once

#include "TestSupport.h"
#include "core/Archive.h"
#include "core/Buffer.h"
#include "motif/documents/XS_Voice.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

inline const QString MotifXS = QStringLiteral("Motif XS");
inline const QString MotifXF = QStringLiteral("Motif XF");
inline const QString S90XS = QStringLiteral("S90 XS");

// A voice block of `elements` elements in the model's layout, every element switched off: the
// element count at 404, each element's length field, and 80 closing bytes.
inline Buffer blankBlock(const QString& model, int elements)
{
    Buffer block;
    block.allocate(XS_Voice::elementOffset(model, elements) + 80);
    block.setAt(407, std::uint8_t(elements));
    for (int i = 0; i < elements; ++i)
        block.setAt(XS_Voice::elementOffset(model, i) + 3, std::uint8_t(XS_Voice::elementSize(model)));
    return block;
}

// An element that sounds, on wave memory `memory`, number `number`.
inline void setElement(XS_Voice& voice, int i, int memory, int number)
{
    voice.setElementUsed(i, true);
    voice.setElementMem(i, memory);
    voice.setElementWave(i, number);
}
