// INI tables come from resources, board definition files the user picks and bank list files
// on disk; whatever their bytes, loading and walking them must stay inside the text, and every
// section and key that the walk finds must be found again by name.
#include "core/IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    IniFile ini;
    ini.loadText(QByteArrayView(data, static_cast<qsizetype>(size)));
    for (const IniSection& section : ini.sections()) {
        if (ini.section(section.name()) != &section) __builtin_trap();
        for (int i = -1; i <= section.count(); ++i) {
            const QString key = section.key(i);
            const bool inside = i >= 0 && i < section.count();
            if (section.contains(key) != inside || key.isEmpty() == inside) __builtin_trap();
            section.value(key);
            section.intValue(key, -1);
            section.numValue(i);
        }
    }
    return 0;
}
