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
    // The device colours the parts of its parameter changes; other messages show as plain bytes,
    // a bulk's cut after its first bytes so that its analysis stays in view.
    QString shown = html;
    if (shown.isEmpty()) {
        shown = QString::fromLatin1(bytes.left(ShownBytes).toHex(' ').toUpper());
        if (bytes.size() > ShownBytes) shown += tr(" … (%1 bytes)").arg(bytes.size());
    }
    view_->append(
        QStringLiteral("<span style=\"color:%1\">%2 %3</span> &nbsp; %4")
            .arg(outgoing ? "#1565c0" : "#2e7d32", outgoing ? "→" : "←", analysis.toHtmlEscaped(), shown));
}

void MonitorPane::addNote(const QString& text)
{
    view_->append(QStringLiteral("<span style=\"color:#c62828\">%1</span>").arg(text.toHtmlEscaped()));
}

void MonitorPane::clear() { view_->clear(); }

QString MonitorPane::text() const { return view_->toPlainText(); }
