#pragma once

#include "Session.h"

#include <QByteArray>
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

class QTimer;

// The instrument as the window reaches it: a session that lives on a thread of its own, so that
// waiting for the instrument never freezes the window. Work goes over as a job; what the window
// does with its outcome comes back as a continuation run on the window's thread.
class InstrumentLink : public QObject {
    Q_OBJECT
public:
    // Told before each step of a job; false once the user cancelled.
    using Progress = std::function<bool(const QString& step, int index, int total)>;
    using Continuation = std::function<void()>;
    using Job = std::function<Continuation(Session& session, const Progress& progress)>;

    explicit InstrumentLink(QObject* parent = nullptr);
    ~InstrumentLink() override;

    // Opens the session and identifies the instrument; `done` gets the identity ("Motif ES7,
    // device 1") or, with an empty identity, what failed and what to check.
    void open(const SessionOptions& options, QObject* context,
              std::function<void(const QString& identity, const QString& error)> done);
    void close();
    bool isOpen() const { return open_; }
    QString identity() const { return identity_; }
    // Runs `job` on the instrument's thread, one job at a time in order; the continuation it
    // answers runs on the thread of `context` unless `context` is gone by then.
    void run(Job job, QObject* context);
    // Makes the running job's next progress call answer false.
    void cancel() { cancelled_ = true; }
    bool isBusy() const { return pending_ > 0; }

signals:
    void progress(const QString& step, int index, int total);
    // Every message on the wire, with the device's analysis and its coloured HTML rendering.
    void wire(bool outgoing, const QByteArray& bytes, const QString& analysis, const QString& html);
    // A message the built-in instrument did not understand: a fault of ours.
    void instrumentError(const QString& text);

private:
    void post(std::function<Continuation()> work, QObject* context);

    QThread thread_;
    QObject* worker_ = nullptr;
    QTimer* poller_ = nullptr;
    std::unique_ptr<Session> session_;
    std::atomic<bool> cancelled_ = false;
    std::atomic<int> pending_ = 0;
    bool open_ = false;
    QString identity_;
};
