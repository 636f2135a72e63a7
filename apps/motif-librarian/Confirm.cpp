#include "Confirm.h"

#include <QMessageBox>

namespace {
Confirmer& installed()
{
    static Confirmer confirmer;
    return confirmer;
}
} // namespace

bool confirm(QWidget* parent, const QString& title, const QString& question)
{
    if (installed()) return installed()(parent, title, question);
    return QMessageBox::question(parent, title, question) == QMessageBox::Yes;
}

void setConfirmer(Confirmer confirmer) { installed() = std::move(confirmer); }
