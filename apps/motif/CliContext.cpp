#include "CliContext.h"

#include "WireFormatter.h"

#include <QJsonDocument>

int CliContext::fail(const QString& message) const
{
    err << "motif: " << message.toStdString() << '\n';
    return 1;
}

void CliContext::print(const QString& line) const { out << line.toStdString() << '\n' << std::flush; }

void CliContext::printJson(const QJsonObject& object) const
{
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n' << std::flush;
}

std::unique_ptr<Session> CliContext::openSession() const
{
    QString error;
    auto opened = Session::open(session, &error);
    if (!opened) {
        fail(error + QStringLiteral(" (list the ports with 'motif ports', or use --virtual)"));
    } else if (opened->isVirtual()) {
        err << "motif: talking to the built-in virtual instrument ("
            << VirtualInstrument::modelName(session.instrument.model).toStdString()
            << "), not yours: give --in and --out to use your instrument\n";
    }
    return opened;
}

bool CliContext::useReceiveChannel(Session& opened) const
{
    constexpr int WaitMs = 500;
    if (session.channel > 0) return true;
    const int channel = opened.device().syncGetRcvChannel(WaitMs);
    if (channel < 0) {
        fail(QStringLiteral("the instrument did not report its receive channel within %1 ms: give it with "
                            "--channel N (1-16)")
                 .arg(WaitMs));
        return false;
    }
    if (channel > 15) {
        fail(QStringLiteral("the instrument reports receive channel value %1, which is no channel 1-16 "
                            "(omni or off): give the channel with --channel N")
                 .arg(channel));
        return false;
    }
    opened.device().setReceiveChannel(channel);
    return true;
}

WireLog::WireLog(const CliContext& context, Session& session) : context_(context), session_(session)
{
    session.device().setMonitor([this](bool outgoing, const MidiBytes& message) {
        const WireFormatter formatter(session_.device());
        if (context_.json) {
            messages_.append(QJsonObject{{"dir", outgoing ? "out" : "in"},
                                         {"bytes", formatter.hex(message)},
                                         {"analysis", formatter.describe(message)}});
        } else {
            context_.print(formatter.line(outgoing, message, false));
        }
    });
}

WireLog::~WireLog() { session_.device().setMonitor(nullptr); }

void WireLog::finish(QJsonObject result, const QString& text)
{
    if (context_.json) {
        result.insert("wire", messages_);
        context_.printJson(result);
    } else if (!text.isEmpty()) {
        context_.print(text);
    }
}
