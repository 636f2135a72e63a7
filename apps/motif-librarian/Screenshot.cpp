#include "Screenshot.h"

#include "BankTree.h"
#include "DemoLibrary.h"
#include "FileList.h"
#include "FilesPane.h"
#include "InstrumentPane.h"
#include "MainWindow.h"
#include "PatchPane.h"
#include "core/UserInterface.h"
#include "motif/MotifBanks.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidgetItem>
#include <iostream>

namespace {
class StderrInterface : public UserInterface {
public:
    StderrInterface() { install(this); }
    ~StderrInterface() override { install(nullptr); }
    void error(QWidget*, const QString& message, const QString& title) override { print(title, message); }
    void warning(QWidget*, const QString& message, const QString& title) override { print(title, message); }
    QString promptFileOpen(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return QString();
    }
    QString choseItem(QWidget*, const QString&, const QString&, const QStringList&, int) override
    {
        return QString();
    }
    void progressBegin(QWidget*, const QString&, int) override {}
    void progressMessage(const QString&) override {}
    void progressStep() override {}
    void progressEnd() override {}
    void busy(bool) override {}

private:
    static void print(const QString& title, const QString& message)
    {
        std::cerr << "motif-librarian: " << title.toStdString() << ": " << message.toStdString() << '\n';
    }
};

constexpr unsigned short User1 = 0x3F08;
// The picture is at least this large, so that the README shows the whole window.
constexpr int Width = 1100;
constexpr int Height = 700;
} // namespace

Screenshot::Screenshot(MainWindow& window, const QString& file, const QString& view, const QString& library)
    : QObject(&window), window_(window), file_(file), view_(view), library_(library),
      messages_(std::make_unique<StderrInterface>())
{
}

Screenshot::~Screenshot() = default;

void Screenshot::fail(const QString& message)
{
    std::cerr << "motif-librarian: " << message.toStdString() << '\n';
    QApplication::exit(1);
}

void Screenshot::start()
{
    if (view_ != "instrument" && view_ != "library" && view_ != "monitor")
        return fail(QStringLiteral("--view takes instrument, library or monitor, not '%1'").arg(view_));
    if (view_ == "library" && library_.isEmpty()) {
        QString failure;
        library_ = DemoLibrary::write(demoFolder_.path(), &failure);
        if (library_.isEmpty()) return fail(QStringLiteral("cannot make the demo library: %1").arg(failure));
    }
    window_.resize(Width, Height);
    window_.show();
    InstrumentPane* pane = window_.instrumentPane();
    pane->connectInstrument([this, pane](bool connected) {
        if (!connected) return fail(QStringLiteral("could not connect to the instrument"));
        pane->readNames(User1, [this, pane] {
            QTreeWidgetItem* first = pane->tree()->patchItem(User1, 0);
            if (first) pane->tree()->setCurrentItem(first);
            // A folder given on the command line shows its first patch too.
            if (const QTreeWidgetItem* file = window_.filesPane()->list()->topLevelItem(0))
                window_.patchPane()->showFile(file->data(0, FileList::PathRole).toString());
            if (view_ == "monitor") window_.showTab(1);
            if (view_ == "library") window_.openLibrary(library_);
            // One more turn of the event loop lays the view out before it is drawn.
            QTimer::singleShot(100, this, &Screenshot::draw);
        });
    });
}

void Screenshot::draw()
{
    if (!window_.grab().save(file_))
        return fail(QStringLiteral("cannot write '%1'; check the folder").arg(file_));
    // What the picture shows, for a script to check: the instrument and USER1's first names.
    QStringList names;
    for (int program = 0; program < 3; ++program)
        if (const QTreeWidgetItem* item = window_.instrumentPane()->tree()->patchItem(User1, program))
            names << QStringLiteral("\"%1\"").arg(item->text(1));
    std::cout << window_.instrumentPane()->identity().toStdString()
              << "; USER1: " << names.join(", ").toStdString() << ", ...\n"
              << file_.toStdString() << '\n';
    QApplication::exit(0);
}
