#include "PatchPane.h"

#include "InstrumentLink.h"
#include "PatchCompare.h"
#include "core/UserInterface.h"
#include "motif/Motif.h"
#include "motif/librarian/PatchFetch.h"
#include "zaltor/BulkDump.h"
#include "zaltor/PatchDump.h"
#include "zaltor/Sysex.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// A block's data as hexadecimal bytes, as the monitor and the command line write them.
QString hexData(const Sysex& block)
{
    QStringList bytes;
    for (std::uint8_t b : block.copyData()) bytes << QString::asprintf("%02X", b);
    return bytes.join(' ');
}
} // namespace

PatchPane::PatchPane(InstrumentLink& link, Motif& tables, QWidget* parent)
    : QWidget(parent), link_(link), tables_(tables), title_(new QLabel(tr("No patch"), this)),
      name_(new QLineEdit(this)), rename_(new QPushButton(tr("Re&name"), this)),
      category_(new QPushButton(this)), compare_(new QPushButton(tr("Co&mpare with…"), this)),
      references_(new QListWidget(this)), blocks_(new QTreeWidget(this))
{
    title_->setAccessibleName(tr("Patch shown"));
    name_->setAccessibleName(tr("Patch name"));
    rename_->setAccessibleName(tr("Write the new name into the file"));
    category_->setAccessibleName(tr("Category: choose another"));
    compare_->setAccessibleName(tr("Compare with another patch file"));
    references_->setAccessibleName(tr("Patches this one refers to"));
    blocks_->setAccessibleName(tr("Blocks of the patch"));
    blocks_->setHeaderLabels({tr("Address"), tr("Size"), tr("Data")});
    blocks_->setRootIsDecorated(false);
    blocks_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* nameRow = new QHBoxLayout();
    nameRow->addWidget(name_, 1);
    nameRow->addWidget(rename_);
    auto* form = new QFormLayout();
    form->addRow(tr("Name:"), nameRow);
    form->addRow(tr("Category:"), category_);
    form->addRow(tr("Refers to:"), references_);
    references_->setMaximumHeight(80);
    auto* rows = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    top->addWidget(title_, 1);
    top->addWidget(compare_);
    rows->addLayout(top);
    rows->addLayout(form);
    rows->addWidget(blocks_, 1);
    connect(rename_, &QPushButton::clicked, this, [this] {
        const QString failure = rename(name_->text());
        if (!failure.isEmpty()) error(this, failure, tr("Rename"));
    });
    connect(name_, &QLineEdit::returnPressed, rename_, &QPushButton::click);
    connect(category_, &QPushButton::clicked, this, &PatchPane::chooseCategory);
    connect(compare_, &QPushButton::clicked, this, [this] {
        const QString other = QFileDialog::getOpenFileName(
            this, tr("Compare with"), QFileInfo(path_).absolutePath(), tr("Patch files (*.syx *.SYX)"));
        if (!other.isEmpty()) compareWith(other);
    });
    connect(references_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit referenceOpened(item->data(Qt::UserRole).toString()); });
    show(LoadedPatch(), QString(), QString());
}

PatchPane::~PatchPane() = default;

bool PatchPane::showFile(const QString& path)
{
    QString failure;
    LoadedPatch loaded = PatchFile::read(path, tables_, &failure);
    if (!loaded.dump) {
        error(this, tr("%1\nChoose a .syx file of one Motif ES patch.").arg(failure), tr("Open a patch"));
        return false;
    }
    show(std::move(loaded), QFileInfo(path).fileName(), path);
    return true;
}

void PatchPane::showFetched(const QString& location, std::function<void()> done)
{
    link_.run(
        [this, location, done](Session& session,
                               const InstrumentLink::Progress&) -> InstrumentLink::Continuation {
            Motif& device = session.device();
            QString failure;
            BulkDump bulk;
            const auto parsed = PatchNotation::parseLocation(location, device, &failure);
            if (parsed) failure = PatchFetch::fetch(device, *parsed, bulk);
            const std::vector<std::uint8_t> bytes = bulk.toBytes();
            return [this, location, done, failure, bytes] {
                QString problem = failure;
                LoadedPatch loaded;
                if (problem.isEmpty()) loaded = PatchFile::parse(bytes, location, tables_, &problem);
                if (loaded.dump)
                    show(std::move(loaded), tr("%1 on the instrument").arg(location), QString());
                else
                    error(this, tr("%1 could not be fetched: %2").arg(location, problem), tr("Fetch"));
                if (done) done();
            };
        },
        this);
}

void PatchPane::show(LoadedPatch patch, const QString& source, const QString& path)
{
    patch_ = std::move(patch);
    path_ = path;
    references_->clear();
    blocks_->clear();
    const PatchDump* dump = patch_.dump.get();
    // The length first: a text longer than the last patch's limit would be cut.
    name_->setMaxLength(dump ? std::max(1, dump->maxNameSize()) : 1);
    name_->setText(dump ? dump->name(false).trimmed() : QString());
    category_->setText(dump && dump->hasCategory() ? dump->printCategory(true) : tr("(none)"));
    // Only a file can be rewritten; a fetched patch is saved by dragging it to the files.
    name_->setEnabled(!path_.isEmpty());
    rename_->setEnabled(!path_.isEmpty());
    category_->setEnabled(!path_.isEmpty() && dump && dump->hasCategory());
    compare_->setEnabled(dump != nullptr);
    if (!dump) {
        title_->setText(tr("No patch: double-click one in the instrument or the files"));
        return;
    }
    title_->setText(tr("%1 \"%2\" — %3").arg(PatchFile::typeName(dump->type()), name_->text(), source));
    UserPatchList list;
    dump->getUserPatches(&list);
    for (int i = 0; i < list.count(); ++i) {
        const Patch p = list.patch(i);
        const QString bank = PatchNotation::bankName(p.bank(), tables_);
        auto* item = new QListWidgetItem(
            QStringLiteral("%1:%2").arg(bank).arg(p.program(), 3, 10, QLatin1Char('0')), references_);
        item->setData(Qt::UserRole, QStringLiteral("%1:%2").arg(bank).arg(p.program()));
    }
    for (int i = 0; i < dump->count(); ++i) {
        const Sysex& block = *dump->at(i);
        new QTreeWidgetItem(blocks_, {QString::asprintf("%06X", block.getAddress()),
                                      QString::number(block.dataSize()), hexData(block)});
    }
}

QString PatchPane::summary() const
{
    const PatchDump* dump = patch_.dump.get();
    if (!dump) return QString();
    return QStringLiteral("%1 \"%2\" %3, %4 blocks")
        .arg(PatchFile::typeName(dump->type()), dump->name(false).trimmed(),
             dump->hasCategory() ? dump->printCategory(true) : QStringLiteral("-"))
        .arg(dump->count());
}

QString PatchPane::writeBack()
{
    QString failure;
    if (!PatchFile::write(path_, *patch_.framed(), &failure)) return failure;
    const QString path = path_;
    showFile(path);
    return QString();
}

QString PatchPane::rename(const QString& name)
{
    if (!patch_.dump || path_.isEmpty()) return tr("Open a patch file first: only a file can be renamed.");
    if (name.trimmed().isEmpty()) return tr("Type a name first.");
    patch_.dump->setName(name);
    return writeBack();
}

QString PatchPane::setCategory(const QString& category)
{
    if (!patch_.dump || path_.isEmpty() || !patch_.dump->hasCategory())
        return tr("Open a patch file with a category first (a voice, drum kit, PLG voice or performance).");
    if (!patch_.dump->setCategory(category))
        return tr("'%1' is not a category: use a name such as Ap:A.PIANO or Ba:E.BASS").arg(category);
    return writeBack();
}

void PatchPane::chooseCategory()
{
    // The module's category menu, under the button; the choice is written at once.
    if (!patch_.dump ||
        !patch_.dump->selectCategory(this, category_->mapToGlobal(QPoint(0, category_->height()))))
        return;
    const QString failure = writeBack();
    if (!failure.isEmpty()) error(this, failure, tr("Category"));
}

void PatchPane::compareWith(const QString& path)
{
    QString failure;
    const LoadedPatch other = PatchFile::read(path, tables_, &failure);
    if (!other.dump || !patch_.dump)
        return error(this, tr("%1\nChoose a .syx file of one Motif ES patch.").arg(failure), tr("Compare"));
    auto* view =
        new PatchCompare(*patch_.dump, title_->text(), *other.dump, QFileInfo(path).fileName(), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
}
