#include "PatchCompare.h"

#include "zaltor/PatchDump.h"
#include "zaltor/Sysex.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>
#include <map>

namespace {
struct Pair {
    const Sysex* left = nullptr;
    const Sysex* right = nullptr;
};

// One side's bytes, those that differ from the other side's in red.
QString cell(const Sysex* mine, const Sysex* theirs, int* differing)
{
    if (!mine) return QString();
    QStringList bytes;
    const auto data = mine->copyData();
    for (int i = 0; i < int(data.size()); ++i) {
        const QString hex = QString::asprintf("%02X", data[std::size_t(i)]);
        const bool same = theirs && theirs->dataAt(i) == data[std::size_t(i)];
        if (!same && differing) ++*differing;
        bytes << (same ? hex : QStringLiteral("<b style=\"color:#c62828\">%1</b>").arg(hex));
    }
    return bytes.join(' ');
}
} // namespace

PatchCompare::PatchCompare(const PatchDump& left, const QString& leftTitle, const PatchDump& right,
                           const QString& rightTitle, QWidget* parent)
    : QDialog(parent), view_(new QTextEdit(this))
{
    setWindowTitle(tr("Compare patches"));
    std::map<std::uint32_t, Pair> blocks;
    for (int i = 0; i < left.count(); ++i) blocks[left.at(i)->getAddress()].left = left.at(i);
    for (int i = 0; i < right.count(); ++i) blocks[right.at(i)->getAddress()].right = right.at(i);
    QString rows;
    int differingBlocks = 0, differingBytes = 0;
    for (const auto& [address, pair] : blocks) {
        int bytes = 0;
        const QString leftCell = cell(pair.left, pair.right, &bytes);
        // A byte the right side has beyond the left's counts once, from the right.
        const QString rightCell = cell(pair.right, pair.left, pair.left ? nullptr : &bytes);
        if (pair.left && pair.right && pair.right->dataSize() > pair.left->dataSize())
            bytes += pair.right->dataSize() - pair.left->dataSize();
        differingBlocks += bytes > 0 || !pair.left || !pair.right;
        differingBytes += bytes;
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(QString::asprintf("%06X", address), leftCell, rightCell);
    }
    verdict_ =
        tr("%1 of %2 blocks differ in %3 bytes").arg(differingBlocks).arg(blocks.size()).arg(differingBytes);
    view_->setReadOnly(true);
    view_->setLineWrapMode(QTextEdit::NoWrap);
    view_->setFont(QFont(QStringLiteral("monospace")));
    view_->setHtml(
        QStringLiteral("<table cellspacing=\"6\"><tr><th>%1</th><th>%2</th><th>%3</th></tr>%4</table>")
            .arg(tr("Block"), leftTitle.toHtmlEscaped(), rightTitle.toHtmlEscaped(), rows));
    view_->setAccessibleName(tr("Blocks of both patches"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* rowsLayout = new QVBoxLayout(this);
    rowsLayout->addWidget(new QLabel(verdict_, this));
    rowsLayout->addWidget(view_, 1);
    rowsLayout->addWidget(buttons);
    resize(1000, 600);
}

QString PatchCompare::html() const { return view_->toHtml(); }
