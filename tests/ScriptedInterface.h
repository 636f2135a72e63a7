#pragma once

#include "core/UserInterface.h"

#include <QString>
#include <QStringList>

// Records what the code under test asks of the user, one line a call in order, and answers prompts
// from `answer`. Installed for its lifetime.
class ScriptedInterface : public UserInterface {
public:
    ScriptedInterface() { install(this); }
    ~ScriptedInterface() override { install(nullptr); }

    QStringList calls;
    QString answer;

    void error(QWidget*, const QString& message, const QString& title) override
    {
        calls << QStringLiteral("error %1|%2").arg(title, message);
    }
    void warning(QWidget*, const QString& message, const QString& title) override
    {
        calls << QStringLiteral("warning %1|%2").arg(title, message);
    }
    QString promptFileOpen(QWidget*, const QString& filter, const QString& title, const QString& folder,
                           const QString& key) override
    {
        calls << QStringLiteral("open %1|%2|%3|%4").arg(filter, title, folder, key);
        return answer;
    }
    QString choseItem(QWidget*, const QString& title, const QString& label, const QStringList& texts,
                      int initial) override
    {
        calls << QStringLiteral("chose %1|%2|%3|%4").arg(title, label, texts.join(',')).arg(initial);
        return answer;
    }
    void progressBegin(QWidget*, const QString& title, int total) override
    {
        calls << QStringLiteral("begin %1 %2").arg(title).arg(total);
    }
    void progressMessage(const QString& text) override { calls << QStringLiteral("message ") + text; }
    void progressStep() override { calls << QStringLiteral("step"); }
    void progressEnd() override { calls << QStringLiteral("end"); }
    void busy(bool on) override { calls << QStringLiteral("busy %1").arg(on); }
};
