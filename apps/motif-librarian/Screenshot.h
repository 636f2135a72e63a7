#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class MainWindow;

// The pictures of the README, drawn without anyone at the window: connect, read USER1's names,
// show a view, draw the window into a PNG file and quit with 0, or with 1 after saying on stderr
// what failed.
class Screenshot : public QObject {
    Q_OBJECT
public:
    // `view`: "instrument", "library" or "monitor"; `library` is the file the library view opens,
    // a demo library made for the picture when empty.
    Screenshot(MainWindow& window, const QString& file, const QString& view, const QString& library);
    ~Screenshot() override;
    void start();

private:
    void fail(const QString& message);
    void draw();

    MainWindow& window_;
    QString file_;
    QString view_;
    QString library_;
    // Where the demo library is made when no library is given.
    QTemporaryDir demoFolder_;
    // Nobody is there to close a message box: what would ask or warn goes to stderr.
    std::unique_ptr<class UserInterface> messages_;
};
