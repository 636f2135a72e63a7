#include "CliContext.h"
#include "Commands.h"

#include "core/Archive.h"
#include "motif/documents/XS_Document.h"
#include "motif/documents/XS_Entry.h"
#include "motif/librarian/X0vLibrary.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QStringList>

namespace {
struct YsfcArgs {
    std::string file;
    std::string out;
};

bool load(const CliContext& context, const std::string& file, XS_Document& document)
{
    const QString path = QString::fromStdString(file);
    if (document.loadFile(path)) return true;
    if (document.errorText() == QLatin1String("Unknown format"))
        context.fail(QStringLiteral("%1: Unknown format (not a YAMAHA-YSFC library file)").arg(path));
    else
        context.fail(QStringLiteral("%1: %2").arg(path, document.errorText()));
    return false;
}

// What the chunk's size field holds: the count field and every item with its tag and length.
qint64 chunkSize(const XS_Chunk& chunk)
{
    qint64 size = 4;
    for (const auto& item : chunk.items) size += 8 + item->size();
    return size;
}

// The entry's text form, "name: value" a line, and a last line when the record is broken.
QStringList entryLines(const XS_Item& item, const QString& model)
{
    Archive record;
    record.writeBuffer(item.data.buffer());
    Archive reader(record.bytes());
    XS_Entry entry;
    const bool whole = entry.fromArchive(model, reader);
    QStringList lines = entry.toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!whole)
        lines << QStringLiteral("error: the record does not fill its length of %1 bytes").arg(item.size());
    return lines;
}

QJsonObject fields(const QStringList& lines)
{
    QJsonObject out;
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(QLatin1String(": "));
        out.insert(line.left(colon), line.mid(colon + 2));
    }
    return out;
}

int info(CliContext& context, const YsfcArgs& args)
{
    XS_Document document;
    if (!load(context, args.file, document)) return 1;
    const QString model = document.model();
    if (!context.json)
        context.print(QStringLiteral("%1 version %2 (%3), catalogue %4 bytes")
                          .arg(document.signature, document.version,
                               model.isEmpty() ? QStringLiteral("unknown model") : model)
                          .arg(document.catalogueSize));
    QJsonArray chunks;
    for (const auto& chunk : document.chunks) {
        QJsonObject out{{"id", chunk->name},
                        {"offset", chunk->offset},
                        {"size", chunkSize(*chunk)},
                        {"count", chunk->count}};
        if (!context.json)
            context.print(QStringLiteral("%1 at offset %2, size %3, %4 items")
                              .arg(chunk->name)
                              .arg(chunk->offset)
                              .arg(chunkSize(*chunk))
                              .arg(chunk->count));
        // Without a known model the layout of the records is not known either.
        if (chunk->isEntryChunk() && !model.isEmpty()) {
            QJsonArray entries;
            for (const auto& item : chunk->items) {
                const QStringList lines = entryLines(*item, model);
                entries.append(fields(lines));
                if (!context.json) context.print(QStringLiteral("  ") + lines.join(QLatin1String(", ")));
            }
            out.insert("entries", entries);
        }
        chunks.append(out);
    }
    if (!context.json)
        for (const Damage& part : document.damage())
            context.print(QStringLiteral("damage: ") + part.toString());
    if (context.json)
        context.printJson(QJsonObject{{"signature", document.signature},
                                      {"version", document.version},
                                      {"model", model},
                                      {"catalogueSize", document.catalogueSize},
                                      {"chunks", chunks},
                                      {"damage", damageJson(document.damage())}});
    return 0;
}

int copy(CliContext& context, const YsfcArgs& args)
{
    XS_Document document;
    if (!load(context, args.file, document)) return 1;
    const QString out = QString::fromStdString(args.out);
    if (const QString refusal = X0vLibrary::writeRefusal(document, QString::fromStdString(args.file), out);
        !refusal.isEmpty())
        return context.fail(refusal);
    for (const Damage& part : document.damage())
        context.err << "motif: warning: not in the copy, the file lost it: " << part.toString().toStdString()
                    << '\n';
    if (!document.storeFile(out))
        return context.fail(QStringLiteral("%1: %2").arg(out, document.errorText()));
    const qint64 size = QFileInfo(out).size();
    if (context.json)
        context.printJson(QJsonObject{{"file", out}, {"chunks", document.chunks.count()}, {"size", size}});
    else
        context.print(
            QStringLiteral("%1: %2 chunks, %3 bytes").arg(out).arg(document.chunks.count()).arg(size));
    return 0;
}
} // namespace

void addYsfcCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<YsfcArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const YsfcArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };
    auto* ysfc =
        app.add_subcommand("ysfc", "Read and write YAMAHA-YSFC library files of the Motif XS/XF generation");
    ysfc->require_subcommand(1);

    auto* infoCmd =
        ysfc->add_subcommand("info", "Version, model, catalogue, chunks and catalogue entries of FILE");
    infoCmd->add_option("FILE", args->file, "A YAMAHA-YSFC file")->required();
    bind(infoCmd, info);

    auto* copyCmd = ysfc->add_subcommand("copy", "Load IN and store it as OUT, keeping every chunk");
    copyCmd->add_option("IN", args->file, "A YAMAHA-YSFC file")->required();
    copyCmd->add_option("OUT", args->out, "The file to write (replaced in one step)")->required();
    bind(copyCmd, copy);
}
