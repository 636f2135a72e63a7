#include "core/Dialog.h"

#include "core/CoreResources.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

Dialog::Dialog(QWidget* parent) : QDialog(parent), rows_(new QVBoxLayout(this))
{
    // Icons named "core:..." resolve once the core resources are registered.
    registerCoreResources();
}

void Dialog::addRow(QWidget* widget) { rows_->addWidget(widget); }

void Dialog::addRow(QLayout* layout) { rows_->addLayout(layout); }

QHBoxLayout* Dialog::addHLayout(int spacing)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(spacing);
    rows_->addLayout(row);
    return row;
}

QDialogButtonBox* Dialog::addHButtons(int kind, bool help)
{
    QDialogButtonBox::StandardButtons buttons =
        kind == 1 ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Close;
    if (help) buttons |= QDialogButtonBox::Help;
    auto* box = new QDialogButtonBox(buttons, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    rows_->addWidget(box);
    return box;
}

DialogForm::DialogForm(const QString& title, const QString& image, int spacing, QHBoxLayout* row)
    : form_(new QFormLayout), picture_(new QLabel)
{
    picture_->setPixmap(QPixmap(image));
    picture_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    row->addWidget(picture_);

    auto* column = new QVBoxLayout;
    auto* caption = new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    column->addWidget(caption);
    form_->setVerticalSpacing(spacing);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    column->addLayout(form_);
    column->addStretch();
    row->addLayout(column);
}

void DialogForm::addRow(const QString& label, QWidget* field, int width)
{
    field->setMinimumWidth(width);
    if (label.isEmpty())
        form_->addRow(QString(), field);
    else
        form_->addRow(label, field);
}

void SetFixedWindow(QWidget* window)
{
    if (window->layout()) window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
}

void SetAccessibleText(QWidget* widget, const QString& text)
{
    widget->setAccessibleName(text);
    widget->setToolTip(text);
}
