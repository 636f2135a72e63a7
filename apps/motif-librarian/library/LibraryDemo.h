#pragma once

#include <QString>

// A Motif XF library made up on the spot, for pictures of the editor and for trying it without a
// library of one's own: a few short synthesised sounds imported as waveforms, voices playing
// them, and one waveform no voice plays, so that the lint panel has something to say.
// Writes it to `path`; the empty text on success, otherwise what failed.
QString writeDemoLibrary(const QString& path);
