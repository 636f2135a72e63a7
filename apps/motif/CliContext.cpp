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
    if (!opened) fail(error + QStringLiteral(" (list the ports with 'motif ports', or use --virtual)"));
    return opened;
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
