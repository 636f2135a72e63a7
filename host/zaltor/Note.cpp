#include "zaltor/Note.h"

QString Note::name(int key)
{
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (key < 0 || key > 127) return QString();
    // The instruments count octaves from -2, so middle C (key 60) is in octave 3.
    return QString::fromLatin1(names[key % 12]) + QString::number(key / 12 - 2);
}
