#include "MonitorPane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

MonitorPane::MonitorPane(QWidget* parent)
    : QWidget(parent), view_(new QTextEdit(this)), pause_(new QCheckBox(tr("&Pause"), this))
{
    view_->setReadOnly(true);
    view_->document()->setMaximumBlockCount(MaxLines);
    view_->setLineWrapMode(QTextEdit::NoWrap);
    view_->setFont(QFont(QStringLiteral("monospace")));
    view_->setAccessibleName(tr("MIDI messages in and out"));
    pause_->setAccessibleName(tr("Pause the monitor"));
    auto* clear = new QPushButton(tr("C&lear"), this);
    clear->setAccessibleName(tr("Clear the monitor"));
    connect(clear, &QPushButton::clicked, this, &MonitorPane::clear);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(pause_);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    auto* rows = new QVBoxLayout(this);
    rows->addLayout(buttons);
    rows->addWidget(view_, 1);
}

void MonitorPane::addMessage(bool outgoing, const QByteArray& bytes, const QString& analysis,
                             const QString& html)
{
    if (pause_->isChecked()) return;
    // The device colours the parts of its SysEx messages; other messages show as plain bytes.
    const QString shown = html.isEmpty() ? QString::fromLatin1(bytes.toHex(' ').toUpper()) : html;
    view_->append(
        QStringLiteral("<span style=\"color:%1\">%2</span> %3 &nbsp; %4")
            .arg(outgoing ? "#1565c0" : "#2e7d32", outgoing ? "→" : "←", shown, analysis.toHtmlEscaped()));
}

void MonitorPane::addNote(const QString& text)
{
    view_->append(QStringLiteral("<span style=\"color:#c62828\">%1</span>").arg(text.toHtmlEscaped()));
}

void MonitorPane::clear() { view_->clear(); }

QString MonitorPane::text() const { return view_->toPlainText(); }
