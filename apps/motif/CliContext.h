#pragma once

#include "Session.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <memory>
#include <ostream>

// What every command gets: where to write, the global options, and one way to fail.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    bool json = false;
    SessionOptions session;

    // Writes "motif: <message>" on stderr and answers the exit code for a failure.
    int fail(const QString& message) const;
    void print(const QString& line) const;
    void printJson(const QJsonObject& object) const;
    // Opens the instrument; null after printing why not.
    std::unique_ptr<Session> openSession() const;
};

// Every message on the wire, printed as it goes in text mode or collected for the JSON answer.
class WireLog {
public:
    WireLog(const CliContext& context, Session& session);
    ~WireLog();
    QJsonArray messages() const { return messages_; }
    // The answer of a device command: its fields plus "wire".
    void finish(QJsonObject result, const QString& text);

private:
    const CliContext& context_;
    Session& session_;
    QJsonArray messages_;
};
