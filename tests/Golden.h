#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <gtest/gtest.h>

// Expected bytes and texts kept in files under tests/data. The default run compares with them;
// with MOTIF_GOLDEN=1 in the environment the files are written from what the code produces, to be
// reviewed with `git diff` before they are committed.
inline QString goldenPath(const QString& name)
{
    return QStringLiteral(MOTIF_SOURCE_DIR "/tests/data/") + name;
}

inline bool rewritingGoldens() { return qgetenv("MOTIF_GOLDEN") == "1"; }

// Where the two texts first part, with a few lines from there on: "-" golden, "+" actual.
inline std::string goldenDiffHead(const QByteArray& expected, const QByteArray& actual)
{
    const QList<QByteArray> want = expected.split('\n'), got = actual.split('\n');
    qsizetype line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) ++line;
    std::string out = "first difference at line " + std::to_string(line + 1) + ":\n";
    for (qsizetype i = line; i < line + 6 && (i < want.size() || i < got.size()); ++i) {
        if (i < want.size() && i < got.size() && want[i] == got[i]) {
            out += "    " + want[i].toStdString() + '\n';
            continue;
        }
        if (i < want.size()) out += "  - " + want[i].toStdString() + '\n';
        if (i < got.size()) out += "  + " + got[i].toStdString() + '\n';
    }
    return out;
}

inline ::testing::AssertionResult matchesGolden(const QString& name, const QByteArray& actual)
{
    const QString path = goldenPath(name);
    if (rewritingGoldens()) {
        QSaveFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
            file.write(actual) != actual.size() || !file.commit())
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        return ::testing::AssertionSuccess();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure()
               << "no golden file " << path.toStdString() << ": run with MOTIF_GOLDEN=1 to write it";
    const QByteArray expected = file.readAll();
    if (expected == actual) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path.toStdString() << " differs (- golden, + actual; "
                                         << "MOTIF_GOLDEN=1 rewrites it)\n"
                                         << goldenDiffHead(expected, actual);
}
