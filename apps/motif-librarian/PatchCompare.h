#pragma once

#include <QDialog>

class PatchDump;
class QTextEdit;

// Two patches' blocks side by side, block by block in address order, the bytes that differ
// marked in red; a block only one of them has stands beside an empty cell.
class PatchCompare : public QDialog {
    Q_OBJECT
public:
    PatchCompare(const PatchDump& left, const QString& leftTitle, const PatchDump& right,
                 const QString& rightTitle, QWidget* parent = nullptr);
    // "3 of 12 blocks differ in 5 bytes": the line above the table.
    QString verdict() const { return verdict_; }
    QString html() const;

private:
    QTextEdit* view_;
    QString verdict_;
};
