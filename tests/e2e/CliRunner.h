#pragma once

#include "CliApp.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>
#include <string>
#include <vector>

// One run of the command line in-process, with what it wrote and its exit code.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun motif(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = CliApp().run(args, out, err);
    return {code, out.str(), err.str()};
}

inline QJsonObject json(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}
