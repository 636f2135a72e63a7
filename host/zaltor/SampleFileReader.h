#pragma once

#include "zaltor/SampleFile.h"

#include <QString>

// Reads a multi-sample file with libinstpatch in the calling process. The library trusts the
// files it reads, so only the motif-samplefile-reader program calls this; SampleFile runs it.
class SampleFileReader {
public:
    // Appends the file's instruments; answers false with a reason for a file it cannot read.
    static bool read(const QString& path, Instruments& instruments, QString& error);
};
