#pragma once

#include <QString>

// MIDI key numbers as the instruments print them: key 60 is "C3", key 0 "C-2", key 127 "G8".
class Note {
public:
    // The name of a key from 0 to 127 with sharps ("C#3"); the empty text for other numbers.
    static QString name(int key);
};
