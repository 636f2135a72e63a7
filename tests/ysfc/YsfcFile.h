#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <string>
#include <vector>

// Builds YAMAHA-YSFC files byte by byte for the tests, independently of the classes under test:
// header, catalogue with the true offsets, chunks back to back.
struct YsfcFile {
    struct Item {
        std::string tag;
        QByteArray contents;
    };
    struct Chunk {
        std::string id;
        std::vector<Item> items;
        // The count field; -1 writes the number of items.
        int count = -1;
    };

    std::string version = "1.0.2";
    std::vector<Chunk> chunks;

    static void u32(QByteArray& out, std::uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8) out.append(char((value >> shift) & 0xFF));
    }
    static void field(QByteArray& out, const std::string& text, int n)
    {
        out.append(QByteArray(text.data(), qsizetype(text.size())).leftJustified(n, '\0', true));
    }

    QByteArray bytes() const
    {
        QByteArray out;
        field(out, "YAMAHA-YSFC", 16);
        field(out, version, 16);
        u32(out, std::uint32_t(8 * chunks.size()));
        out.append(QByteArray(28, char(0xFF)));
        std::uint32_t offset = std::uint32_t(0x40 + 8 * chunks.size());
        QByteArray body;
        for (const Chunk& chunk : chunks) {
            field(out, chunk.id, 4);
            u32(out, offset + std::uint32_t(body.size()));
            QByteArray items;
            for (const Item& item : chunk.items) {
                field(items, item.tag, 4);
                u32(items, std::uint32_t(item.contents.size()));
                items.append(item.contents);
            }
            field(body, chunk.id, 4);
            u32(body, std::uint32_t(4 + items.size()));
            u32(body, std::uint32_t(chunk.count < 0 ? int(chunk.items.size()) : chunk.count));
            body.append(items);
        }
        return out + body;
    }

    std::vector<std::uint8_t> vector() const
    {
        const QByteArray b = bytes();
        return {b.begin(), b.end()};
    }
};
