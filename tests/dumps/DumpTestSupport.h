#pragma once

#include "zaltor/BulkDump.h"

#include "OffscreenApplication.h"
#include "TestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

// Data bytes [from, from + n) of a message as hexadecimal text.
inline QString dataHex(const Sysex* message, int from, int n)
{
    QStringList bytes;
    for (int i = from; i < from + n; ++i) bytes << QString::asprintf("%02X", message->dataAt(i));
    return bytes.join(' ');
}

// Hands the pop-up menu to `act` once it shows (the menu runs its own event loop).
inline void whenMenuShows(std::function<void(QMenu*)> act, int tries = 200)
{
    QTimer::singleShot(10, [act, tries] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            act(menu);
        else if (tries > 0)
            whenMenuShows(act, tries - 1);
    });
}
