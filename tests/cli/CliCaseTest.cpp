// The `motif` command line as users and other tools call it. Each tests/data/cli/NAME.case is one
// test: its lines run in a fresh folder, and the transcript (each line, what it wrote, its exit
// code) must equal NAME.out; MOTIF_GOLDEN=1 writes the transcripts instead. Besides `motif ...`, a
// case has a few file steps of its own (see run) and `mask REGEX`. $TMP stands for the folder and
// $REALDATA for the real data folder (MOTIF_REALDATA overrides it). A new case file is listed by
// ctest once test_cli is built again.
#include "CliApp.h"
#include "Golden.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sstream>

namespace {

const QString CaseDir = goldenPath(QStringLiteral("cli"));

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    for (const QString& file : QDir(CaseDir).entryList({QStringLiteral("*.case")}, QDir::Files, QDir::Name))
        names.push_back(file.chopped(5).toStdString());
    return names;
}

// Splits at spaces; double quotes keep spaces and may stand for an empty word.
QStringList wordsOf(const QString& line)
{
    QStringList words;
    QString word;
    bool quoted = false, any = false;
    for (const QChar c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words << word;
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words << word;
    return words;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)\n");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// Where two files differ: "same", or the sizes and the first differing offsets.
QString compare(const QByteArray& a, const QByteArray& b)
{
    QStringList at;
    for (qsizetype i = 0; i < qMin(a.size(), b.size()) && at.size() < 16; ++i)
        if (a[i] != b[i]) at << QString::number(i);
    if (a.size() == b.size() && at.isEmpty()) return QStringLiteral("same");
    return QStringLiteral("%1 and %2 bytes, differing at offsets %3")
        .arg(a.size())
        .arg(b.size())
        .arg(at.join(' '));
}

class CliCase : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        savedHome_ = qgetenv("XDG_DATA_HOME");
        savedCwd_ = QDir::currentPath();
        // Installed PLG boards live in the user's data folder: each case has its own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral(".data"))));
        QDir::setCurrent(dir_.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(savedCwd_);
        qputenv("XDG_DATA_HOME", savedHome_);
    }

    // Runs one line and answers its exit code; what it writes goes to out.
    int run(const QStringList& words, QString& out);

    QTemporaryDir dir_;
    QByteArray savedHome_;
    QString savedCwd_;
    QList<QRegularExpression> masks_;
    const QString realdata_ = qEnvironmentVariable("MOTIF_REALDATA", QStringLiteral(MOTIF_REALDATA_DIR));
};

int CliCase::run(const QStringList& words, QString& out)
{
    const QString step = words.value(0), file = words.value(1);
    if (step == "motif") {
        std::vector<std::string> args;
        for (const QString& word : words.mid(1)) args.push_back(word.toStdString());
        std::ostringstream cout, cerr;
        const int code = CliApp().run(args, cout, cerr);
        out = QString::fromStdString(cout.str());
        // A progress bar redraws its line after a carriage return: only the last drawing stays.
        QString err = QString::fromStdString(cerr.str()).remove(QRegularExpression("[^\n]*\r"));
        for (const QString& line : err.split('\n', Qt::SkipEmptyParts)) out += "! " + line + '\n';
        return code;
    }
    if (step == "data") // data NAME [AS]: a file of tests/data/cli
        return writeFile(words.value(2, file), readFile(CaseDir + '/' + file)) ? 0 : 1;
    if (step == "write") // write NAME TEXT: the text with \n for line ends
        return writeFile(file, words.mid(2).join(' ').replace("\\n", "\n").toUtf8()) ? 0 : 1;
    if (step == "truncate") return QFile::resize(file, words.value(2).toLongLong()) ? 0 : 1;
    if (step == "poke") { // poke NAME OFFSET HEX: overwrites bytes
        QByteArray bytes = readFile(file);
        const QByteArray patch = QByteArray::fromHex(words.mid(3).join("").toLatin1());
        return writeFile(file, bytes.replace(words.value(2).toInt(nullptr, 0), patch.size(), patch)) ? 0 : 1;
    }
    if (step == "cat")
        out = QString::fromUtf8(readFile(file));
    else if (step == "hex") { // sixteen bytes a line
        for (const QByteArray bytes = readFile(file); out.size() < bytes.size() * 3;)
            out += bytes.mid(out.size() / 3, 16).toHex(' ') + '\n';
    } else if (step == "cmp")
        out = compare(readFile(file), readFile(words.value(2))) + '\n';
    else if (step == "ls") { // every file below the folder, hidden ones left out
        QStringList files;
        for (QDirIterator it(file.isEmpty() ? "." : file, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            files << QDir(file).relativeFilePath(it.next());
        files.sort();
        out = files.join('\n') + (files.isEmpty() ? "" : "\n");
    } else if (step != "needs") // needs PATH: a file under the real data folder, or the case is skipped
        ADD_FAILURE() << "unknown step '" << step.toStdString() << "'";
    return 0;
}

TEST_P(CliCase, TranscriptMatches)
{
    const QString name = QString::fromStdString(GetParam());
    QString transcript;
    for (const QString& line : QString::fromUtf8(readFile(CaseDir + '/' + name + ".case")).split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        QStringList words = wordsOf(line);
        if (words[0] == "needs" && !QFile::exists(realdata_ + '/' + words[1]))
            GTEST_SKIP() << "skipped: no " << (realdata_ + '/' + words[1]).toStdString();
        for (QString& word : words) word.replace("$TMP", dir_.path()).replace("$REALDATA", realdata_);
        QString out;
        // mask REGEX: hides what the next line's output may vary in, or need not show.
        if (words[0] == "mask") {
            masks_ << QRegularExpression(line.mid(5), QRegularExpression::MultilineOption);
            continue;
        }
        const int code = run(words, out);
        for (const QRegularExpression& mask : std::exchange(masks_, {}))
            out.replace(mask, QStringLiteral("…"));
        if (!out.isEmpty() && !out.endsWith('\n')) out += '\n';
        transcript += "$ " + line + '\n' + out.replace(dir_.path(), "$TMP").replace(realdata_, "$REALDATA");
        if (code != 0) transcript += QStringLiteral("[exit %1]\n").arg(code);
    }
    EXPECT_TRUE(matchesGolden("cli/" + name + ".out", transcript.toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(Cli, CliCase, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
