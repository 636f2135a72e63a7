#include "MainWindow.h"

#include "BuiltInBoards.h"
#include "FileList.h"
#include "FilesPane.h"
#include "InstrumentLink.h"
#include "InstrumentPane.h"
#include "MonitorPane.h"
#include "PatchPane.h"
#include "RecentMenu.h"
#include "core/UserInterface.h"
#include "library/LibraryTab.h"
#include "motif/Motif.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>

namespace {
const QString FolderKey = QStringLiteral("filesFolder");
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), tables_(std::make_unique<Motif>()), link_(new InstrumentLink(this)),
      tabs_(new QTabWidget(this)), instrument_(new InstrumentPane(*link_, *tables_, this)), files_(nullptr),
      monitor_(new MonitorPane(this))
{
    tables_->loadPLG();
    files_ = new FilesPane(*link_, *tables_, this);
    patch_ = new PatchPane(*link_, *tables_, this);
    setWindowTitle(tr("Motif ES librarian"));
    setWindowIcon(QIcon(QStringLiteral(":/motif-librarian.svg")));
    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* right = new QSplitter(Qt::Vertical, this);
    right->addWidget(files_);
    right->addWidget(patch_);
    split->addWidget(instrument_);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    tabs_->addTab(split, tr("Instrument"));
    tabs_->addTab(monitor_, tr("Monitor"));
    tabs_->setAccessibleName(tr("Views"));
    tabs_->setTabsClosable(true);
    // The instrument and the monitor stay: only library tabs can be closed.
    for (int fixed = 0; fixed < 2; ++fixed) tabs_->tabBar()->setTabButton(fixed, QTabBar::RightSide, nullptr);
    connect(tabs_, &QTabWidget::tabCloseRequested, this, [this](int index) {
        // A library tab decides itself whether it may go.
        if (index < 2) return;
        QWidget* page = tabs_->widget(index);
        if (page->close()) {
            tabs_->removeTab(index);
            page->deleteLater();
        }
    });
    setCentralWidget(tabs_);
    connect(link_, &InstrumentLink::wire, monitor_, &MonitorPane::addMessage);
    connect(link_, &InstrumentLink::instrumentError, monitor_,
            [this](const QString& text) { monitor_->addNote(tr("virtual instrument: %1").arg(text)); });
    connect(files_, &FilesPane::folderChanged, this, [this](const QString& dir) {
        QSettings().setValue(FolderKey, dir);
        if (recentFolders_) recentFolders_->remember(dir);
    });
    connect(instrument_, &InstrumentPane::patchOpened, patch_,
            [this](const QString& location) { patch_->showFetched(location); });
    connect(files_->list(), &QTreeWidget::itemDoubleClicked, patch_, [this](QTreeWidgetItem* item) {
        patch_->showFile(item->data(0, FileList::PathRole).toString());
    });
    auto* showFile = new QAction(tr("Show in the patch pane"), files_->list());
    showFile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    showFile->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(showFile, &QAction::triggered, patch_, [this] {
        if (QTreeWidgetItem* item = files_->list()->currentItem())
            patch_->showFile(item->data(0, FileList::PathRole).toString());
    });
    files_->list()->addAction(showFile);
    files_->list()->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(patch_, &PatchPane::referenceOpened, instrument_, &InstrumentPane::reveal);
    buildMenus();

    QSettings settings;
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray())) resize(1100, 700);
    restoreState(settings.value(QStringLiteral("windowState")).toByteArray());
    const QString folder = settings.value(FolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) files_->openFolder(folder);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("Open &folder…"), QKeySequence(Qt::CTRL | Qt::Key_O), files_,
                    &FilesPane::chooseFolder);
    file->addAction(tr("Open &library…"), QKeySequence(Qt::CTRL | Qt::Key_L), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open a library"), QFileInfo(recentLibraries_->paths().value(0)).absolutePath(),
            tr("Motif XS/XF libraries (*.X0V *.X1V *.X3V *.x0v *.x1v *.x3v)"));
        if (!path.isEmpty()) openLibrary(path);
    });
    recentLibraries_ = new RecentMenu(
        tr("&Recent libraries"), QStringLiteral("recentLibraries"),
        [this](const QString& path) { openLibrary(path); }, this);
    recentFolders_ = new RecentMenu(
        tr("Recent &folders"), QStringLiteral("recentFolders"),
        [this](const QString& path) { files_->openFolder(path); }, this);
    file->addMenu(recentLibraries_);
    file->addMenu(recentFolders_);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* instrument = menuBar()->addMenu(tr("&Instrument"));
    instrument->addAction(tr("&Connect"), QKeySequence(Qt::CTRL | Qt::Key_K), instrument_,
                          [this] { instrument_->connectInstrument(); });
    instrument->addAction(tr("&Read names of the selected bank"), QKeySequence(Qt::CTRL | Qt::Key_R),
                          instrument_, &InstrumentPane::readSelected);
    instrument->addSeparator();
    instrument->addAction(tr("&Backup…"), QKeySequence(Qt::CTRL | Qt::Key_B), files_,
                          &FilesPane::chooseBackupFolder);
    instrument->addAction(tr("Res&ume backup"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), files_,
                          [this] { files_->resume(); });
    instrument->addAction(tr("Res&tore… (verified)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), files_,
                          [this] { files_->restore(); });
    instrument->addSeparator();
    instrument->addAction(tr("&Plug-in boards…"), QKeySequence(Qt::CTRL | Qt::Key_P), this,
                          &MainWindow::plugInBoards);
    instrument->addAction(tr("&Store edit buffers"), QKeySequence(Qt::CTRL | Qt::Key_T), this, [this] {
        if (!link_->isOpen()) return error(this, tr("Connect to the instrument first."), tr("Store"));
        link_->run(
            [](Session& session, const InstrumentLink::Progress&) -> InstrumentLink::Continuation {
                session.device().storeAllPatches();
                return {};
            },
            this);
    });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Instrument and files"), QKeySequence(Qt::CTRL | Qt::Key_1), this,
                    [this] { showTab(0); });
    view->addAction(tr("&Monitor"), QKeySequence(Qt::CTRL | Qt::Key_2), this, [this] { showTab(1); });
}

void MainWindow::showTab(int index) { tabs_->setCurrentIndex(index); }

void MainWindow::openLibrary(const QString& path)
{
    openLibraryTab(tabs_, path);
    recentLibraries_->remember(path);
}

void MainWindow::plugInBoards()
{
    // The dialog writes the boards' bank lists; a connected session reads them when it opens, so
    // it is opened again to show the new banks.
    QString failure;
    if (BuiltInBoards::offer(tables_->deviceFolder(), &failure).isEmpty())
        warning(this, failure + tr("\nThe built-in board definitions are not offered."),
                tr("Plug-in boards"));
    if (!tables_->plgSetup(this)) return;
    tables_->loadPLG();
    if (link_->isOpen()) instrument_->connectInstrument();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Library tabs with unsaved edits ask before they go; one that refuses keeps the window open.
    for (int index = tabs_->count() - 1; index >= 2; --index)
        if (!tabs_->widget(index)->close()) return event->ignore();
    QSettings settings;
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("windowState"), saveState());
    event->accept();
}
