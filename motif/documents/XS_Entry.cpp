#include "motif/documents/XS_Entry.h"

#include "core/Archive.h"
#include "core/VarArgs.h"

bool XS_Entry::HasFilter(const QString& model) { return model == QLatin1String("Motif XF"); }

bool XS_Entry::fromArchive(const QString& model, Archive& archive)
{
    const std::uint32_t length = archive.readUINT();
    const qint64 end = archive.pos() + static_cast<qint64>(length);
    owner = archive.readUINT();
    data_size = archive.readInt();
    time = archive.readUINT();
    data_offset = archive.readInt();
    content_number = archive.readInt();
    if (HasFilter(model)) filter = archive.readBYTE();
    favorite = archive.readBYTE();
    archive >> content_name;
    archive >> filename;
    // A read past the end of the file fails the archive and moves it to the end, so the loop ends
    // even when the length points beyond the file.
    while (!archive.failed() && !archive.reached(end)) {
        QString text;
        archive >> text;
        if (!archive.failed()) rel_filenames.append(text);
    }
    return !archive.failed() && archive.pos() == end;
}

void XS_Entry::toArchive(const QString& model, Archive& archive) const
{
    archive.willPutSize();
    archive.writeUINT(owner);
    archive.writeInt(data_size);
    archive.writeUINT(time);
    archive.writeInt(data_offset);
    archive.writeInt(content_number);
    if (HasFilter(model)) archive.writeBYTE(filter);
    archive.writeBYTE(favorite);
    archive << content_name << filename;
    for (const QString& name : rel_filenames) archive << name;
    archive.putSize();
}

QString XS_Entry::toString() const
{
    return VarArgs("owner: %08X\n", owner).format() + VarArgs("data_size: %d\n", data_size).format() +
           VarArgs("time: %08X\n", time).format() +
           VarArgs("data_offset: %08X = %d\n", static_cast<std::uint32_t>(data_offset), data_offset)
               .format() +
           VarArgs("content_number: %d (%06X)\n", content_number, static_cast<std::uint32_t>(content_number))
               .format() +
           VarArgs("filter: %b\n", filter).format() + VarArgs("favorite: %b\n", favorite).format() +
           VarArgs("content_name: %s\n", content_name).format() +
           VarArgs("filename: %s\n", filename).format() +
           VarArgs("rel_filenames: %s\n", rel_filenames.join(QLatin1Char(','))).format();
}
