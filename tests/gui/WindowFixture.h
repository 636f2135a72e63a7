#pragma once

// The librarian's window on the built-in virtual instrument, offscreen, with every question and
// message box answered by the test.
#include "BankTree.h"
#include "Confirm.h"
#include "FileList.h"
#include "FilesPane.h"
#include "InstrumentLink.h"
#include "InstrumentPane.h"
#include "MainWindow.h"
#include "NameCache.h"
#include "OffscreenApplication.h"
#include "ScriptedInterface.h"
#include "TestSupport.h"
#include "core/Application.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// The window's settings, name cache and the device's files go to folders of this test program's
// own, never the user's, set before anything reads them (the settings' folder is read once).
inline void isolateUserFolders()
{
    static QTemporaryDir home;
    static const bool set = [] {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            qputenv(name, QFile::encodeName(home.path() + '/' + name));
        return true;
    }();
    (void)set;
}

class WindowTest : public ::testing::Test {
protected:
    static constexpr unsigned short User1 = 0x3F08;
    static constexpr unsigned short User2 = 0x3F09;
    static constexpr int WaitMs = 60000;

    WindowTest()
    {
        isolateUserFolders();
        ensureApplication();
        // The Voice Copier keeps its settings in the module's profile.
        Application::setProfilePath(dir.filePath("profile.ini"));
        setConfirmer([this](QWidget*, const QString& title, const QString& question) {
            ui.calls << QStringLiteral("confirm %1|%2").arg(title, question);
            return yes;
        });
        window = std::make_unique<MainWindow>();
        window->resize(1100, 700);
        window->show();
    }
    ~WindowTest() override
    {
        setConfirmer({});
        Application::setProfilePath(QString());
    }

    InstrumentPane& pane() { return *window->instrumentPane(); }
    FilesPane& files() { return *window->filesPane(); }
    InstrumentLink& link() { return window->link(); }

    // Connects to a fresh virtual instrument with an empty name cache.
    bool connectVirtual()
    {
        QFile::remove(NameCache(QStringLiteral("Motif ES7, device 1|Virtual instrument: Motif ES7")).path());
        bool connected = false, done = false;
        pane().chooseVirtual("Motif ES7");
        pane().connectInstrument([&](bool ok) { connected = ok, done = true; });
        return QTest::qWaitFor([&] { return done; }, WaitMs) && connected;
    }
    // Runs an operation that takes a `done` continuation and waits for it.
    template <class Operation>
    bool finish(Operation operation)
    {
        bool done = false;
        operation([&] { done = true; });
        return QTest::qWaitFor([&] { return done; }, WaitMs);
    }
    // Waits until the link has no job left.
    bool settle()
    {
        return QTest::qWaitFor([&] { return !link().isBusy(); }, WaitMs);
    }
    // Cancels the next job of the link when it reports step `index`: the report comes on the
    // link's thread, so the job stops at exactly that step.
    void cancelAt(int index)
    {
        QObject::disconnect(cancelling);
        cancelling = QObject::connect(
            &link(), &InstrumentLink::progress, &link(),
            [this, index](const QString&, int step, int) {
                if (step == index) link().cancel();
            },
            Qt::DirectConnection);
    }
    void stopCancelling() { QObject::disconnect(cancelling); }

    QString name(unsigned short bank, int program)
    {
        const QTreeWidgetItem* item = pane().tree()->patchItem(bank, program);
        return item ? item->text(1) : QStringLiteral("(no item)");
    }
    // Drags `mime` onto the point of `view` where `at` is shown and drops it there. Qt delivers a
    // drop only to the target its drag entered.
    static void drop(QAbstractItemView* view, QMimeData* mime, const QModelIndex& at)
    {
        view->scrollTo(at);
        const QPoint point = at.isValid() ? view->visualRect(at).center() : QPoint(5, 5);
        QDragEnterEvent enter(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent event(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
        delete mime;
    }

    ScriptedInterface ui;
    bool yes = true;
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    QMetaObject::Connection cancelling;
};
