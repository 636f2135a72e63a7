#include "core/Document.h"
#include "core/Archive.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A magic word and one block, enough to see the base drive the slots.
class BlockDocument : public Document {
public:
    Buffer block;
    int validations = 0;
    bool refuseStore = false;

    bool loadDocument(Archive& archive) override
    {
        if (archive.readUINT() == 0x424C4B31) return archive.readBuffer(block);
        setErrorText("Unknown format");
        return false;
    }
    bool storeDocument(Archive& archive) override
    {
        archive.writeUINT(0x424C4B31);
        archive.writeBuffer(block);
        return !refuseStore;
    }
    void validateDocument() override { ++validations; }
    void clearDocument() override { block.reset(); }
};

} // namespace

TEST(Document, StoresLoadsAndExplainsFailures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.bin"), missing = dir.filePath("missing.bin");
    BlockDocument doc, loaded;
    doc.block = Buffer({0xF0, 0xF7});
    ASSERT_TRUE(doc.storeFile(path)) << doc.errorText().toStdString();
    // A refused store leaves the file as it was.
    doc.block = Buffer({1});
    doc.refuseStore = true;
    EXPECT_FALSE(doc.storeFile(path));
    EXPECT_EQ(doc.errorText(), "Cannot store " + path);
    ASSERT_TRUE(loaded.loadFile(path)) << loaded.errorText().toStdString();
    EXPECT_EQ(loaded.block.toString() + QString::number(loaded.validations), "F0 F71");

    EXPECT_FALSE(doc.loadFile(missing));
    EXPECT_TRUE(doc.errorText().startsWith("Cannot open " + missing)) << doc.errorText().toStdString();
    QStringList errors;
    for (const QByteArray& bytes : {QByteArray("RIFF...."), QByteArray("BLK1\x00\x00\x00\x09short", 13)}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        EXPECT_FALSE(doc.loadFile(path));
        errors << doc.errorText();
    }
    // A document that sets no text itself reports what the archive saw.
    EXPECT_EQ(errors, QStringList({"Unknown format",
                                   "Cannot read a block of 9 bytes at offset 4: only 5 bytes follow"}));
}
