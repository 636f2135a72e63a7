#include "core/IniFile.h"

#include <QFile>
#include <QStringDecoder>

IniSection::IniSection(QString name) : name_(std::move(name)) {}

QString IniSection::key(int i) const
{
    if (i < 0 || i >= count()) return {};
    return entries_[static_cast<std::size_t>(i)].first;
}

QString IniSection::value(const QString& key) const
{
    const auto it = index_.constFind(key);
    if (it == index_.constEnd()) return {};
    return entries_[static_cast<std::size_t>(*it)].second;
}

int IniSection::intValue(const QString& key, int def) const
{
    const auto it = index_.constFind(key);
    if (it == index_.constEnd()) return def;
    const QString& text = entries_[static_cast<std::size_t>(*it)].second;
    bool ok = false;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const uint value = QStringView(text).mid(2).toUInt(&ok, 16);
        return ok ? static_cast<int>(value) : def;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? value : def;
}

void IniSection::add(const QString& key, const QString& value)
{
    if (index_.contains(key)) return;
    index_.insert(key, count());
    entries_.emplace_back(key, value);
}

bool IniFile::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!loadText(bytes)) {
        error_ = QStringLiteral("%1: %2").arg(path, error_);
        return false;
    }
    return true;
}

bool IniFile::loadText(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0) {
        error_ = QStringLiteral("not an INI text (zero byte at offset %1)").arg(zero);
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes.data(), bytes.size());

    std::vector<IniSection> parsed;
    QHash<QString, int> parsedIndex;
    int current = -1;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        const QStringView line = QStringView(text).mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.front() == QLatin1Char(';')) continue;
        if (line.front() == QLatin1Char('[') && line.back() == QLatin1Char(']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed().toString();
            const auto found = parsedIndex.constFind(name);
            if (found != parsedIndex.constEnd()) {
                current = *found;
            } else {
                current = static_cast<int>(parsed.size());
                parsedIndex.insert(name, current);
                parsed.emplace_back(name);
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (current < 0 || equals < 0) continue;
        const QStringView key = line.left(equals).trimmed();
        if (key.isEmpty()) continue;
        parsed[static_cast<std::size_t>(current)].add(key.toString(),
                                                      line.mid(equals + 1).trimmed().toString());
    }
    for (IniSection& section : parsed) merge(std::move(section));
    error_.clear();
    return true;
}

const IniSection* IniFile::section(const QString& name) const
{
    const auto it = index_.constFind(name);
    return it == index_.constEnd() ? nullptr : &sections_[static_cast<std::size_t>(*it)];
}

void IniFile::merge(IniSection&& section)
{
    const auto it = index_.constFind(section.name());
    if (it != index_.constEnd()) {
        sections_[static_cast<std::size_t>(*it)] = std::move(section);
        return;
    }
    index_.insert(section.name(), static_cast<int>(sections_.size()));
    sections_.push_back(std::move(section));
}
