#pragma once

#include <QString>

// What the module asks of the host application: where the program lives and a profile of
// integer settings that persists between runs. The profile is an INI file in the user's
// configuration folder (organization "motif-es", application "motif").
class Application {
public:
    // The folder of the running program.
    static QString startPath();
    // The integer stored under section/key, or def when there is none or it is not a number.
    static int readProfileInt(const QString& section, const QString& key, int def);
    static void writeProfileInt(const QString& section, const QString& key, int value);
    // Texts such as the folder a file prompt last opened; def when there is none.
    static QString readProfileText(const QString& section, const QString& key, const QString& def);
    static void writeProfileText(const QString& section, const QString& key, const QString& value);
    // Keeps the profile in the given INI file instead; the empty text restores the user's profile.
    static void setProfilePath(const QString& file);
};
