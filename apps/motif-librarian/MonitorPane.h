#pragma once

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QTextEdit;

// Every message in and out, as the device analyses it, with its coloured display text. Bulks
// are long, so the view keeps the last MaxLines messages.
class MonitorPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLines = 2000;
    static constexpr int ShownBytes = 16;

    explicit MonitorPane(QWidget* parent = nullptr);
    void addMessage(bool outgoing, const QByteArray& bytes, const QString& analysis, const QString& html);
    void addNote(const QString& text);
    void clear();
    // The messages shown, as plain text.
    QString text() const;

private:
    QTextEdit* view_;
    QCheckBox* pause_;
};
