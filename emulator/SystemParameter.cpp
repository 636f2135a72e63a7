#include "emulator/SystemParameter.h"

#include <algorithm>

const std::vector<SystemParameter>& SystemParameter::all()
{
    static const std::vector<SystemParameter> table = [] {
        std::vector<SystemParameter> t{
            {localControl, 0, 1, 1, QStringLiteral("local control")},
            {receiveChannel, 0, 15, 0, QStringLiteral("receive channel")},
            {masterSelect, 0, 127, 0, QStringLiteral("master select")},
            {mode, 0, 4, 0, QStringLiteral("mode")},
        };
        for (int pp = 0; pp <= 0x62; ++pp) {
            if (isPart(pp))
                t.push_back({partVolume(pp), 0, 127, 100, QString::asprintf("volume of part 0x%02X", pp)});
        }
        return t;
    }();
    return table;
}

const SystemParameter* SystemParameter::find(std::uint32_t address)
{
    const auto& table = all();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [address](const SystemParameter& p) { return p.address == address; });
    return it == table.end() ? nullptr : &*it;
}
