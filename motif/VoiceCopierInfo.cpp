#include "motif/VoiceCopierInfo.h"

#include "core/Application.h"

namespace {
const QString Section = QStringLiteral("VoiceCopier");

void writeFlag(const char* key, bool flag)
{
    Application::writeProfileInt(Section, QLatin1String(key), flag ? 1 : 0);
}

bool readFlag(const char* key) { return Application::readProfileInt(Section, QLatin1String(key), 1) != 0; }
} // namespace

void VoiceCopierInfo::toRegistry() const
{
    Application::writeProfileInt(Section, QStringLiteral("voice"), int(voice.value()));
    writeFlag("copyvoice", copyvoice);
    Application::writeProfileInt(Section, QStringLiteral("part"), part);
    writeFlag("copyname", copyname);
    writeFlag("copyarp", copyarp);
    writeFlag("copyfx", copyfx);
    writeFlag("copyinsfx", copyinsfx);
}

void VoiceCopierInfo::fromRegistry(Patch defaultVoice)
{
    voice = Patch::fromValue(std::uint32_t(
        Application::readProfileInt(Section, QStringLiteral("voice"), int(defaultVoice.value()))));
    copyvoice = readFlag("copyvoice");
    part = Application::readProfileInt(Section, QStringLiteral("part"), 0);
    copyname = readFlag("copyname");
    copyarp = readFlag("copyarp");
    copyfx = readFlag("copyfx");
    copyinsfx = readFlag("copyinsfx");
}
