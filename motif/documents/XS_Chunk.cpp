#include "motif/documents/XS_Chunk.h"

QString XS_Chunk::itemTag() const { return isDataChunk() ? QStringLiteral("Data") : QStringLiteral("Entr"); }
