#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Everything the module asks of the user goes through one seam, so that the same operations
// show Qt boxes in a GUI, print and read options in the command-line program, and follow a
// script in tests. The default is the Qt implementation.
class UserInterface {
public:
    virtual ~UserInterface();

    virtual void error(QWidget* parent, const QString& message, const QString& title) = 0;
    virtual void warning(QWidget* parent, const QString& message, const QString& title) = 0;
    // The chosen path, or the empty text when cancelled.
    virtual QString promptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                                   const QString& startFolder, const QString& key) = 0;
    // The chosen text, or the empty text when cancelled.
    virtual QString choseItem(QWidget* parent, const QString& title, const QString& label,
                              const QStringList& texts, int initial) = 0;
    // A long operation of `total` steps; see ProgressDlg.
    virtual void progressBegin(QWidget* parent, const QString& title, int total) = 0;
    virtual void progressMessage(const QString& text) = 0;
    virtual void progressStep() = 0;
    virtual void progressEnd() = 0;
    virtual void busy(bool on) = 0;

    static UserInterface& current();
    // Installs another implementation (not owned); null restores the Qt one.
    static void install(UserInterface* ui);
};

// The Qt message boxes, file dialog, item prompt, progress dialog and busy cursor.
class QtUserInterface : public UserInterface {
public:
    void error(QWidget* parent, const QString& message, const QString& title) override;
    void warning(QWidget* parent, const QString& message, const QString& title) override;
    QString promptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                           const QString& startFolder, const QString& key) override;
    QString choseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& texts,
                      int initial) override;
    void progressBegin(QWidget* parent, const QString& title, int total) override;
    void progressMessage(const QString& text) override;
    void progressStep() override;
    void progressEnd() override;
    void busy(bool on) override;

private:
    class QProgressDialog* progress_ = nullptr;
    int done_ = 0;
};

// The free functions the module calls; they go to UserInterface::current().
void error(QWidget* parent, const QString& message, const QString& title);
void warning(QWidget* parent, const QString& message, const QString& title);
// `key` names the prompt: the folder last chosen under that key is offered next time, and
// startFolder when there is none.
QString PromptFileOpen(QWidget* parent, const QString& filter, const QString& title,
                       const QString& startFolder, const QString& key);
QString ChoseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& texts,
                  int initial);

// Progress of a long operation while it lives: message() names the current item, step() counts
// one of `total` done.
class ProgressDlg {
public:
    ProgressDlg(QWidget* parent, const QString& title, int total);
    ~ProgressDlg();
    ProgressDlg(const ProgressDlg&) = delete;
    ProgressDlg& operator=(const ProgressDlg&) = delete;
    void message(const QString& text);
    void step();
};

// The busy cursor while it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
