#include "CliApp.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("motif-es"));
    QCoreApplication::setApplicationName(QStringLiteral("motif"));
    std::vector<std::string> args(argv + 1, argv + argc);
    return CliApp().run(args, std::cout, std::cerr);
}
