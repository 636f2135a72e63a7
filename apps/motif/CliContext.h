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
    // Opens the instrument; null after printing why not. On the built-in virtual instrument the
    // first line on stderr says so: a user who forgot --in and --out must not take its answers
    // for their instrument's.
    std::unique_ptr<Session> openSession() const;
    // Makes the device send channel messages on the instrument's receive channel: the one
    // --channel gave, or the one the instrument reports. False after printing why not.
    bool useReceiveChannel(Session& opened) const;
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
