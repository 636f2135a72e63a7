#include "CliContext.h"
#include "Commands.h"

#include "core/Archive.h"
#include "motif/documents/ES_Document.h"

#include <QDir>
#include <QJsonArray>
#include <QStringList>
#include <algorithm>

namespace {
struct EsFileArgs {
    std::string file;
    std::string chunk;
    std::string outDir;
};

bool load(const CliContext& context, const std::string& file, ES_Document& document)
{
    const QString path = QString::fromStdString(file);
    if (document.loadFile(path)) return true;
    // A file that cannot be read is named by the error already; a foreign format is not.
    if (document.errorText() == QLatin1String("Unknown format"))
        context.fail(
            QStringLiteral("%1: Unknown format (not an all-data file of a Motif ES or S90 ES)").arg(path));
    else
        context.fail(document.errorText());
    return false;
}

int entrySize(const ES_Chunk& chunk) { return chunk.entries.isEmpty() ? 0 : chunk.entries.at(0)->size(); }

QString skippedLine(const Damage& skipped)
{
    const QString where = skipped.chunk.isEmpty() ? QString() : skipped.chunk + QLatin1Char(' ');
    return QStringLiteral("skipped %1at offset %2: %3").arg(where).arg(skipped.offset).arg(skipped.reason);
}

int info(CliContext& context, const EsFileArgs& args)
{
    ES_Document document;
    if (!load(context, args.file, document)) return 1;
    QJsonArray chunks;
    for (const auto& chunk : document.chunks())
        chunks.append(QJsonObject{{"name", chunk->name},
                                  {"offset", chunk->offset},
                                  {"size", chunk->size},
                                  {"entries", chunk->entries.count()},
                                  {"entrySize", entrySize(*chunk)}});
    QJsonArray skipped;
    for (const Damage& part : document.damage())
        skipped.append(QJsonObject{{"chunk", part.chunk}, {"offset", part.offset}, {"reason", part.reason}});
    if (context.json) {
        context.printJson(QJsonObject{{"model", document.model()},
                                      {"headerText1", document.headerText1()},
                                      {"headerText2", document.headerText2()},
                                      {"chunks", chunks},
                                      {"skipped", skipped}});
        return 0;
    }
    context.print(QStringLiteral("%1 (\"%2\", \"%3\")")
                      .arg(document.model(), document.headerText1(), document.headerText2()));
    for (const auto& chunk : document.chunks()) {
        QString line =
            QStringLiteral("%1 at offset %2, size %3").arg(chunk->name).arg(chunk->offset).arg(chunk->size);
        if (!chunk->entries.isEmpty())
            line +=
                QStringLiteral(": %1 entries of %2 bytes").arg(chunk->entries.count()).arg(entrySize(*chunk));
        context.print(line);
    }
    for (const Damage& part : document.damage()) context.print(skippedLine(part));
    return 0;
}

// Why a chunk gave no entries, for the one-line error.
QString noEntriesReason(const ES_Document& document, const ES_Chunk& chunk)
{
    if (!chunk.isDataChunk()) return QStringLiteral("only data chunks (D..., not DWFM) hold entries");
    for (const Damage& part : document.damage())
        if (part.chunk == chunk.name) return part.reason;
    return {};
}

// Identifiers are whatever four bytes the catalogue holds; only letters and digits go into a file name.
QString fileStem(const QString& name)
{
    QString stem = name;
    for (QChar& c : stem)
        if (c.unicode() > 0x7F || !c.isLetterOrNumber()) c = QLatin1Char('_');
    return stem;
}

int extract(CliContext& context, const EsFileArgs& args)
{
    ES_Document document;
    if (!load(context, args.file, document)) return 1;
    const QString name = QString::fromStdString(args.chunk);
    const ES_Chunk* chunk = document.getChunk(name);
    if (!chunk) {
        QStringList names;
        for (const auto& c : document.chunks()) names << c->name;
        return context.fail(
            QStringLiteral("no chunk \"%1\" in %2 (it has: %3)")
                .arg(name, QString::fromStdString(args.file), names.join(QLatin1String(", "))));
    }
    if (chunk->entries.isEmpty())
        return context.fail(
            QStringLiteral("chunk %1 holds no entries: %2").arg(name, noEntriesReason(document, *chunk)));
    const QString outDir = QString::fromStdString(args.outDir);
    if (!QDir().mkpath(outDir))
        return context.fail(QStringLiteral("cannot create the folder %1").arg(outDir));

    const int width = std::max(3, static_cast<int>(QString::number(chunk->entries.count() - 1).size()));
    QJsonArray files;
    for (int k = 0; k < chunk->entries.count(); ++k) {
        const QString path = QDir(outDir).filePath(
            QStringLiteral("%1-%2.bin").arg(fileStem(name)).arg(k, width, 10, QLatin1Char('0')));
        Archive archive;
        archive << *chunk->entries.at(k);
        if (!archive.commit(path)) return context.fail(archive.errorText());
        files.append(path);
    }
    // Entries cut off by the end of the file are worth a warning, not a failure: the rest are whole.
    for (const Damage& part : document.damage())
        if (part.chunk == name) context.err << "motif: warning: " << skippedLine(part).toStdString() << '\n';
    if (context.json) {
        context.printJson(QJsonObject{{"chunk", name}, {"entrySize", entrySize(*chunk)}, {"files", files}});
    } else {
        for (const auto& file : files) context.print(file.toString());
    }
    return 0;
}
} // namespace

void addEsFileCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<EsFileArgs>();
    auto bind = [&context, &action, args](CLI::App* cmd, int (*run)(CliContext&, const EsFileArgs&)) {
        cmd->callback([&context, &action, args, run] {
            action = [&context, args, run] { return run(context, *args); };
        });
    };
    auto* esFile =
        app.add_subcommand("es-file", "Read the all-data file of a Motif ES or S90 ES (read only)");
    esFile->require_subcommand(1);

    auto* infoCmd =
        esFile->add_subcommand("info", "Model, header texts, chunks, entries and skipped parts of FILE");
    infoCmd->add_option("FILE", args->file, "An all-data file written by the instrument")->required();
    bind(infoCmd, info);

    auto* extractCmd =
        esFile->add_subcommand("extract", "Write every entry of CHUNK to OUTDIR, one file each");
    extractCmd->add_option("FILE", args->file, "An all-data file written by the instrument")->required();
    extractCmd->add_option("CHUNK", args->chunk, "A data chunk's four-character identifier, e.g. DVCE")
        ->required();
    extractCmd->add_option("OUTDIR", args->outDir, "The folder to write CHUNK-000.bin, CHUNK-001.bin... into")
        ->required();
    bind(extractCmd, extract);
}
