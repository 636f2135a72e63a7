#pragma once

#include <QString>

// A small library to show the library editor with: a Motif XS library whose user waveforms are
// three tones imported from WAV files made here, each played by a voice of USER1. It is made with
// the same calls as 'motif x0v new', 'import-wave' and 'new-voice'.
namespace DemoLibrary {

// Writes the WAV files and "demo.X0V" into `dir`; answers the library's path, or the empty text
// with *error saying what failed.
QString write(const QString& dir, QString* error);

} // namespace DemoLibrary
