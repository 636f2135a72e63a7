#pragma once

#include <QString>

// The PLG150 board definitions the module carries, as files the setup dialog's file prompt can
// open: they are written once into the device's folder, and the prompt starts there until the user
// picks a file elsewhere.
namespace BuiltInBoards {

// Writes the definitions that are missing into <device folder>/boards; answers that folder, or
// the empty text after saying in *error what could not be written.
QString offer(const QString& deviceFolder, QString* error);

} // namespace BuiltInBoards
