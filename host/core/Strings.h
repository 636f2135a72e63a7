#pragma once

#include <QString>

// The integer a text holds, decimal or (hex) hexadecimal, ignoring surrounding blanks;
// `def` when the text is empty or not wholly a number.
int StringToInt(const QString& text, bool hex, int def);
// Whether the text is not empty and holds only the digits 0-9.
bool AllDigits(const QString& text);
