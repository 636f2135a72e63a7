#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <utility>
#include <vector>

// One [section] of an INI file: its keys in file order, looked up through a hash because the
// device tables hold sections of two thousand items that are read by key.
class IniSection {
public:
    explicit IniSection(QString name = {});

    const QString& name() const { return name_; }
    // Number of keys, in file order.
    int count() const { return static_cast<int>(entries_.size()); }
    // The key at position i in file order; "" outside the range.
    QString key(int i) const;
    // "" when the key is absent.
    QString value(const QString& key) const;
    bool contains(const QString& key) const { return index_.contains(key); }
    // The value as a decimal number or, with a 0x prefix, a hexadecimal one (up to 32 bits, so
    // "0xFFFFFFFF" reads as -1); def when the key is absent or its value is not a number.
    int intValue(const QString& key, int def = 0) const;
    // The value of the key that is the decimal number i: items are keyed "0", "1", ...
    QString numValue(int i) const { return value(QString::number(i)); }

    // Adds a key; when the section already holds the key, the first value stays.
    void add(const QString& key, const QString& value);

private:
    QString name_;
    std::vector<std::pair<QString, QString>> entries_;
    QHash<QString, int> index_;
};

// An INI text: "[name]" starts a section, "key=value" (split at the first '=', both trimmed)
// adds to it, lines whose first non-blank character is ';' are comments, and lines before any
// section or without '=' carry nothing. Section names are case-sensitive ("DR:USR"). Within one
// text a repeated key keeps its first value and a repeated header reopens its section.
// Loading adds to what was loaded before: a section of the new text replaces an earlier section
// of the same name, so that a file that is loaded again brings its current contents.
class IniFile {
public:
    // Reads the file through QFile, so resource paths (":/...") work. On failure answers false,
    // sets errorText() and keeps the sections as they were.
    bool loadFile(const QString& path);
    // UTF-8 text, or Latin-1 when the bytes are not valid UTF-8. A text holding a zero byte is
    // binary data, not an INI text: answers false and loads nothing.
    bool loadText(QByteArrayView text);

    // nullptr when there is no section of that name.
    const IniSection* section(const QString& name) const;
    // File order; sections of later loads follow those of earlier ones.
    const std::vector<IniSection>& sections() const { return sections_; }
    QString errorText() const { return error_; }

private:
    void merge(IniSection&& section);

    std::vector<IniSection> sections_;
    QHash<QString, int> index_;
    QString error_;
};
