#include "InstrumentLink.h"

#include "WireFormatter.h"
#include "motif/MotifSysex.h"
#include "motif/librarian/Librarian.h"

#include <QPointer>
#include <QTimer>

namespace {
// Unasked messages (the panel's mode changes) are taken in this often while no job runs.
constexpr int PollMs = 20;
} // namespace

InstrumentLink::InstrumentLink(QObject* parent) : QObject(parent)
{
    worker_ = new QObject();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

InstrumentLink::~InstrumentLink()
{
    // A running job stops at its next step; the session goes on its own thread, after the jobs
    // queued before.
    cancelled_ = true;
    QMetaObject::invokeMethod(
        worker_,
        [this] {
            delete poller_;
            session_.reset();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void InstrumentLink::post(std::function<Continuation()> work, QObject* context)
{
    // A job counts as pending until its continuation ran: what it changes in the window is done.
    ++pending_;
    QMetaObject::invokeMethod(worker_, [this, work = std::move(work), context = QPointer<QObject>(context)] {
        Continuation then = work();
        QMetaObject::invokeMethod(this, [this, context, then = std::move(then)] {
            if (context && then) then();
            --pending_;
        });
    });
}

void InstrumentLink::open(const SessionOptions& options, QObject* context,
                          std::function<void(const QString&, const QString&)> done)
{
    close();
    post(
        [this, options, done = std::move(done), context = QPointer<QObject>(context)]() -> Continuation {
            QString error;
            auto session = Session::open(options, &error);
            QString identity;
            if (session) {
                Motif& device = session->device();
                device.setMonitor([this, &device](bool outgoing, const MidiBytes& message) {
                    const WireFormatter formatter(device);
                    QString html;
                    if (!message.empty() && message.front() == 0xF0) {
                        MotifSysex sysex(message);
                        html = device.displaySysex(&sysex);
                    }
                    emit wire(
                        outgoing,
                        QByteArray(reinterpret_cast<const char*>(message.data()), qsizetype(message.size())),
                        formatter.describe(message), html);
                });
                if (session->instrument())
                    session->instrument()->setErrorSink(
                        [this](const QString& text) { emit instrumentError(text); });
                error = Librarian(device).identify();
                if (error.isEmpty())
                    identity =
                        QStringLiteral("%1, device %2").arg(device.modelName()).arg(device.deviceNumber());
                else
                    session.reset();
            }
            if (session) {
                session_ = std::move(session);
                poller_ = new QTimer();
                connect(poller_, &QTimer::timeout, poller_, [this] {
                    if (session_) session_->device().poll();
                });
                poller_->start(PollMs);
            }
            // The link knows what it is connected to even when the one who asked is gone.
            return [this, done, context, identity, error] {
                open_ = !identity.isEmpty();
                identity_ = identity;
                if (context) done(identity, error);
            };
        },
        this);
}

void InstrumentLink::close()
{
    open_ = false;
    identity_.clear();
    post(
        [this]() -> Continuation {
            delete poller_;
            poller_ = nullptr;
            session_.reset();
            return {};
        },
        this);
}

void InstrumentLink::run(Job job, QObject* context)
{
    post(
        [this, job = std::move(job)]() -> Continuation {
            cancelled_ = false;
            if (!session_) return {};
            const Progress progress = [this](const QString& step, int index, int total) {
                emit this->progress(step, index, total);
                return !cancelled_.load();
            };
            return job(*session_, progress);
        },
        context);
}
