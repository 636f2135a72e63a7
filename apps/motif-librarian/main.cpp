#include "FilesPane.h"
#include "InstrumentPane.h"
#include "MainWindow.h"
#include "Screenshot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <iostream>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("motif-es"));
    QApplication::setApplicationName(QStringLiteral("motif-librarian"));
    QApplication::setDesktopFileName(QStringLiteral("motif-librarian"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A librarian for the Yamaha Motif ES and XS/XF library files"));
    parser.addHelpOption();
    const QCommandLineOption virtualOption(
        QStringLiteral("virtual"), QStringLiteral("Connect to the built-in virtual instrument at start"));
    const QCommandLineOption modelOption(QStringLiteral("virtual-model"),
                                         QStringLiteral("The virtual instrument's model: ES6, ES7 or ES8"),
                                         QStringLiteral("MODEL"), QStringLiteral("ES7"));
    const QCommandLineOption inOption(
        QStringLiteral("in"),
        QStringLiteral("Connect at start, receiving from the MIDI port whose name contains NAME"),
        QStringLiteral("NAME"));
    const QCommandLineOption outOption(
        QStringLiteral("out"),
        QStringLiteral("Connect at start, sending to the MIDI port whose name contains NAME"),
        QStringLiteral("NAME"));
    const QCommandLineOption shotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Connect, read USER1's names, draw the window into FILE (PNG) and quit"),
        QStringLiteral("FILE"));
    const QCommandLineOption viewOption(
        QStringLiteral("view"),
        QStringLiteral("The view the screenshot shows: instrument, library or monitor"),
        QStringLiteral("VIEW"), QStringLiteral("instrument"));
    const QCommandLineOption libraryOption(
        QStringLiteral("library"),
        QStringLiteral("Open a library file (.X0V, .X1V, .X3V) in a tab (for --view library: the one shown; "
                       "a demo library by default)"),
        QStringLiteral("FILE"));
    parser.addOptions(
        {virtualOption, modelOption, inOption, outOption, shotOption, viewOption, libraryOption});
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("A folder of .syx patch files to show"));
    parser.process(app);

    const bool ports = parser.isSet(inOption) || parser.isSet(outOption);
    if (ports && parser.isSet(virtualOption)) {
        std::cerr << "motif-librarian: --virtual cannot be combined with --in or --out\n";
        return 2;
    }
    MainWindow window;
    InstrumentPane* pane = window.instrumentPane();
    if (ports)
        pane->choosePorts(parser.value(inOption), parser.value(outOption));
    else
        pane->chooseVirtual(QStringLiteral("Motif ") + parser.value(modelOption).toUpper());
    const QStringList folders = parser.positionalArguments();
    if (!folders.isEmpty()) window.filesPane()->openFolder(folders.first());

    if (parser.isSet(shotOption)) {
        auto* shot = new Screenshot(window, parser.value(shotOption), parser.value(viewOption),
                                    parser.value(libraryOption));
        QTimer::singleShot(0, shot, &Screenshot::start);
        return QApplication::exec();
    }
    window.show();
    if (parser.isSet(libraryOption))
        window.openLibrary(QFileInfo(parser.value(libraryOption)).absoluteFilePath());
    if (ports || parser.isSet(virtualOption)) pane->connectInstrument();
    return QApplication::exec();
}
