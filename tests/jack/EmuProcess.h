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
        process_.waitForStarted(5000);
        // Its ports appear in JACK a little after the program starts.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && process_.state() == QProcess::Running) {
            if (!RtMidiTransport::outputNames(RtMidiTransport::Api::Jack).filter(client).isEmpty()) {
                ready_ = true;
                break;
            }
            QThread::msleep(50);
        }
    }
    ~EmuProcess() { finish(); }
    EmuProcess(const EmuProcess&) = delete;
    EmuProcess& operator=(const EmuProcess&) = delete;

    bool ready() const { return ready_; }
    // Stops it and gives its last word: "virtual instrument: N messages received, ...".
    QString finish()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
        output_ += QString::fromUtf8(process_.readAllStandardOutput() + process_.readAllStandardError());
        return output_;
    }
    int exitCode() const { return process_.exitCode(); }

private:
    QProcess process_;
    QString output_;
    bool ready_ = false;
};
