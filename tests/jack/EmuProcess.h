#pragma once

// 'motif emu' as a program of its own, offering JACK ports under a client name, for one test.
#include "zaltor/RtMidiTransport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

class EmuProcess {
public:
    // options: the instrument's settings ("--drop", "0.02", ...). It lives at most a minute.
    EmuProcess(const QString& client, const QStringList& options)
    {
        process_.start(MOTIF_CLI_PATH, QStringList{"emu", "--seconds", "60", "--name", client} + options);
        // Its ports appear in JACK a little after the program starts.
        QElapsedTimer timer;
        timer.start();
        while (!ready_ && timer.elapsed() < 10000 && process_.waitForStarted(5000)) {
            ready_ = !RtMidiTransport::outputNames(RtMidiTransport::Api::Jack).filter(client).isEmpty();
            if (!ready_) QThread::msleep(50);
        }
    }
    ~EmuProcess() { finish(); }

    bool ready() const { return ready_; }
    // Stops it and gives all it said, ending with "virtual instrument: N messages received, ...".
    QString finish()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
        return output_ +=
               QString::fromUtf8(process_.readAllStandardOutput() + process_.readAllStandardError());
    }

private:
    QProcess process_;
    QString output_;
    bool ready_ = false;
};
