#pragma once

#include <QString>
#include <functional>

class QWidget;

// A yes/no question before something is replaced, through one seam so that a test can answer it.
using Confirmer = std::function<bool(QWidget* parent, const QString& title, const QString& question)>;

// Asks with a message box, or the installed confirmer.
bool confirm(QWidget* parent, const QString& title, const QString& question);
// Installs another way to answer; an empty one restores the message box.
void setConfirmer(Confirmer confirmer);
