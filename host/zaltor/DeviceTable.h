#pragma once

#include "zaltor/Patch.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class IniSection;

// One item of a device table: its leading data fields and its display text.
struct TableData {
    QList<int> fields;
    // The fields as one number, each field a 7-bit digit (main·128 + sub for two fields).
    int data = 0;
    // The text as written ("Ap|Ap:A.PIANO"), its short form (before the first "|") and the form
    // a user reads (after the last "|").
    QString text;
    QString shortName;
    QString name;
};

// A table of the device's data file: a section with `Total=` items of `Size=` data fields each.
class DeviceTable {
public:
    static std::unique_ptr<DeviceTable> fromSection(const IniSection& section);

    const QString& sectionName() const { return name_; }
    int count() const { return static_cast<int>(rows_.size()); }
    // The number of items the section announces; a bank whose names come from the instrument
    // announces a count and lists none.
    int total() const { return total_; }
    const TableData* row(int i) const;
    int indexOf(int data) const;
    int indexOf(const QString& name) const;

private:
    QString name_;
    int total_ = 0;
    std::vector<TableData> rows_;
};

// The banks of a bank list table ("63,08,USER1"): bank select MSB and LSB and the bank's name.
class BankSet {
public:
    explicit BankSet(const DeviceTable* table);
    int count() const { return static_cast<int>(banks_.size()); }
    Bank bank(int i) const;
    QString name(int i) const;
    // Program 0 of the first bank; invalid for an empty set.
    Patch firstPatch() const;

private:
    std::vector<std::pair<Bank, QString>> banks_;
};
