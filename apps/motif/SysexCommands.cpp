#include "CliContext.h"
#include "Commands.h"
#include "Numbers.h"
#include "motif/Motif.h"
#include "motif/MotifSysex.h"
#include "zaltor/SysexStream.h"

#include <QFile>
#include <QJsonArray>
#include <memory>

namespace {
// Yamaha model identifiers that follow the manufacturer and device bytes, for telling a user
// whose message it is. The first Motif used a single byte.
QString modelOf(const MotifSysex& message)
{
    if (message.size() < 5 || message.at(1) != 0x43) return QStringLiteral("not a Yamaha message");
    if (message.at(3) == 0x6B) return QStringLiteral("model 6B: the first Motif, not a Motif ES message");
    if (message.at(3) != 0x7F) return QString::asprintf("model %02X: not a Motif ES message", message.at(3));
    switch (message.at(4)) {
    case 0x00:
        return QStringLiteral("model 7F 00: Motif ES");
    case 0x01:
        return QStringLiteral("model 7F 01: S90 ES, not a Motif ES message");
    case 0x03:
        return QStringLiteral("model 7F 03: Motif XS, not a Motif ES message");
    case 0x12:
        return QStringLiteral("model 7F 12: Motif XF, not a Motif ES message");
    default:
        return QString::asprintf("model 7F %02X: not a Motif ES message", message.at(4));
    }
}

QJsonObject analysisObject(Motif& device, MotifSysex& message, const QString& problem)
{
    const bool analysed = message.kind() >= 0;
    QJsonObject out{{"kind", message.kind()},
                    {"address", analysed ? double(message.getAddress()) : -1.0},
                    {"dataSize", message.dataSize()},
                    {"data", message.dataToString()},
                    {"analysis", message.printAnalysis()},
                    {"display", device.displaySysex(&message)}};
    if (!problem.isEmpty()) out.insert("problem", problem);
    return out;
}

// A piece that is no whole message is reported by the rule every .syx reader refuses it by.
QString analysisText(MotifSysex& message, const QString& problem)
{
    QString text = message.printAnalysis();
    if (!problem.isEmpty()) text += QStringLiteral("\n  ") + problem;
    if (message.kind() < 0) return text + QStringLiteral("\n  not a message of the Motif ES SysEx format");
    text += QString::asprintf("\n  kind 0x%02X, address 0x%06X, %d data bytes", message.kind(),
                              message.getAddress(), message.dataSize());
    if (message.kind() == MotifSysex::BulkDump)
        text +=
            message.checksumValid() ? QStringLiteral(", checksum ok") : QStringLiteral(", CHECKSUM WRONG");
    return text + QStringLiteral(", ") + modelOf(message);
}

int analyse(CliContext& context, const std::vector<std::string>& hex, const std::string& file)
{
    Buffer bytes;
    if (!file.empty()) {
        if (!bytes.fromFile(QString::fromStdString(file)))
            return context.fail(QStringLiteral("cannot read '%1'").arg(QString::fromStdString(file)));
    } else {
        QString text;
        for (const std::string& part : hex) text += QString::fromStdString(part) + ' ';
        if (!bytes.fromString(text) || bytes.isEmpty())
            return context.fail(
                QStringLiteral("'%1' is not hexadecimal bytes (write e.g. F0 43 10 7F 00 0A 00 01 00 F7)")
                    .arg(text.trimmed()));
    }
    Motif device;
    QJsonArray all;
    for (const SysexPiece& piece : SysexStream::split(bytes.bytes())) {
        MotifSysex message(piece.bytes);
        const QString problem = SysexStream::problem(piece);
        if (context.json)
            all.append(analysisObject(device, message, problem));
        else
            context.print(analysisText(message, problem));
    }
    if (context.json) {
        if (all.size() == 1)
            context.printJson(all.first().toObject());
        else
            for (const auto& object : all) context.printJson(object.toObject());
    }
    return 0;
}

std::optional<std::uint32_t> parseInRange(CliContext& context, const std::string& text, long long max,
                                          const char* what)
{
    const auto value = parseNumber(text);
    if (!value || *value < 0 || *value > max) {
        context.fail(QString::asprintf("%s '%s' must be a number from 0 to 0x%llX (decimal or 0x hex)", what,
                                       text.c_str(), max));
        return std::nullopt;
    }
    return std::uint32_t(*value);
}

// Addresses are three 7-bit bytes: 0x7F7F7F at most, and no byte above 0x7F.
std::optional<std::uint32_t> parseAddress(CliContext& context, const std::string& text)
{
    const auto address = parseInRange(context, text, 0x7F7F7F, "address");
    if (address && (*address & 0x808080)) {
        context.fail(QString::asprintf("address '%s' has a byte above 0x7F: addresses are three 7-bit bytes",
                                       text.c_str()));
        return std::nullopt;
    }
    return address;
}

int printMessage(CliContext& context, const MotifSysex& message)
{
    if (message.isEmpty()) return context.fail(QStringLiteral("the message could not be built"));
    context.print(message.toString());
    return 0;
}

// Where the parser stores the arguments; shared with the actions, which outlive the parse.
struct SysexArgs {
    std::vector<std::string> hex;
    std::string file;
    std::string control;
    std::string address;
    std::string size;
    std::string value;
    std::vector<std::string> data;
};

int buildFraming(CliContext& context, const std::string& kind, const std::string& controlText)
{
    const auto control = parseInRange(context, controlText, 0x7F7F, "bulk control");
    if (!control) return 1;
    if (*control & 0x8080) return context.fail(QStringLiteral("bulk control has a byte above 0x7F"));
    MotifSysex message;
    if (kind == "header") message.prepareBulkHeader(*control);
    if (kind == "footer") message.prepareBulkFooter(*control);
    if (kind == "request") message.prepareBulkRequest(*control);
    return printMessage(context, message);
}

int buildParam(CliContext& context, const SysexArgs& args)
{
    const auto address = parseAddress(context, args.address);
    if (!address) return 1;
    const auto size = parseInRange(context, args.size, 4, "size");
    if (!size) return 1;
    if (*size == 0) return context.fail(QStringLiteral("size must be 1 to 4"));
    const auto value = parseInRange(context, args.value, (1LL << (7 * *size)) - 1, "value");
    if (!value) return 1;
    MotifSysex message;
    message.prepareParameterChange(MidiParam(*address, int(*size)), int(*value));
    return printMessage(context, message);
}

int buildBulk(CliContext& context, const SysexArgs& args)
{
    const auto address = parseAddress(context, args.address);
    if (!address) return 1;
    QString text;
    for (const std::string& part : args.data) text += QString::fromStdString(part) + ' ';
    Buffer data;
    const bool empty = text.trimmed().isEmpty();
    if (!empty && (!data.fromString(text) || !std::all_of(data.bytes().begin(), data.bytes().end(),
                                                          [](std::uint8_t b) { return b < 0x80; })))
        return context.fail(
            QStringLiteral("'%1' is not data bytes: hexadecimal 00 to 7F").arg(text.trimmed()));
    MotifSysex message;
    message.prepareBulkDump(*address, text);
    return printMessage(context, message);
}
} // namespace

void addSysexCommands(CLI::App& app, CliContext& context, CommandAction& action)
{
    auto args = std::make_shared<SysexArgs>();
    auto* sysex =
        app.add_subcommand("sysex", "Build and analyse Motif ES SysEx messages")->require_subcommand(1);

    auto* analyseCmd =
        sysex->add_subcommand("analyse", "Analyse messages given as hexadecimal bytes or a .syx file");
    analyseCmd->add_option("HEX", args->hex, "Message bytes, e.g. F0 43 10 7F 00 0A 00 01 00 F7");
    analyseCmd->add_option("--file", args->file, "A .syx file of one or more messages");
    analyseCmd->callback([&context, &action, args] {
        action = [&context, args] { return analyse(context, args->hex, args->file); };
    });

    auto* build = sysex->add_subcommand("build", "Build a message and print it as hexadecimal bytes")
                      ->require_subcommand(1);
    for (const std::string kind : {"header", "footer", "request"}) {
        auto* cmd = build->add_subcommand(kind, "The bulk " + kind + " of a bulk control, e.g. 0x0F00");
        cmd->add_option("CONTROL", args->control,
                        "Bulk control: the block's mid and low address bytes (0x hex or decimal)")
            ->required();
        cmd->callback([&context, &action, args, kind] {
            action = [&context, args, kind] { return buildFraming(context, kind, args->control); };
        });
    }

    auto* param = build->add_subcommand("param", "A parameter change: ADDRESS SIZE VALUE");
    param->add_option("ADDRESS", args->address, "Parameter address, e.g. 0x0A0001")->required();
    param->add_option("SIZE", args->size, "Bytes the value takes on the wire (1-4)")->required();
    param->add_option("VALUE", args->value, "The value (0x hex or decimal)")->required();
    param->callback(
        [&context, &action, args] { action = [&context, args] { return buildParam(context, *args); }; });

    auto* bulk = build->add_subcommand("bulk", "A bulk dump message: ADDRESS HEXDATA");
    bulk->add_option("ADDRESS", args->address, "Block address, e.g. 0x407000")->required();
    bulk->add_option("HEXDATA", args->data, "Data bytes in hexadecimal (none for an empty block)");
    bulk->callback(
        [&context, &action, args] { action = [&context, args] { return buildBulk(context, *args); }; });
}
