#pragma once

#include "zaltor/SampleFile.h"

#include <QString>

// Reads a multi-sample file with libinstpatch in the calling process. The library trusts the
// files it reads, so SampleFile runs this in a child process of its own.
class SampleFileReader {
public:
    // Registers the library's types; once per process, before the first read. A child process
    // that inherits them starts reading at once.
    static void initialize();
    // Appends the file's instruments; answers false with a reason for a file it cannot read.
    static bool read(const QString& path, Instruments& instruments, QString& error);
};
