#include "motif/MotifResources.h"

#include <QDir>
#include <QFile>
#include <QResource>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

// Taken while the program starts, before any test runs: the module's libraries are initialised
// ahead of this program's statics, so the tree must already be there without a call into the module.
const bool registeredAtLoad = QFile::exists(QStringLiteral(":/motif/data/data_ES.ini"));

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QString sourceFile(const char* name)
{
    return QStringLiteral(MOTIF_TESTDATA_DIR "/../../motif/data/") + QLatin1String(name);
}

} // namespace

TEST(MotifResources, RegisteredAtLoadAndOnRequest)
{
    EXPECT_TRUE(registeredAtLoad);
    registerMotifResources();
    registerMotifResources();
    const QStringList entries = QDir(QStringLiteral(":/motif/data")).entryList();
    EXPECT_TRUE(entries.contains(QStringLiteral("data_ES.ini")));
    EXPECT_TRUE(entries.contains(QStringLiteral("effects_ES.xml")));
}

TEST(MotifResources, DeviceTablesAreStoredPlain)
{
    const QResource resource(QStringLiteral(":/motif/data/data_ES.ini"));
    ASSERT_TRUE(resource.isValid());
    EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression);
    const QByteArray source = readAll(sourceFile("data_ES.ini"));
    ASSERT_FALSE(source.isEmpty());
    EXPECT_EQ(resource.size(), source.size());
    EXPECT_EQ(readAll(QStringLiteral(":/motif/data/data_ES.ini")), source);
}

TEST(MotifResources, EffectLayoutsAreStoredZlibAndReadDecompressed)
{
    const QResource resource(QStringLiteral(":/motif/data/effects_ES.xml"));
    ASSERT_TRUE(resource.isValid());
    EXPECT_EQ(resource.compressionAlgorithm(), QResource::ZlibCompression);
    const QByteArray source = readAll(sourceFile("effects_ES.xml"));
    ASSERT_FALSE(source.isEmpty());
    EXPECT_EQ(resource.uncompressedSize(), source.size());

    const QByteArray text = readAll(QStringLiteral(":/motif/data/effects_ES.xml"));
    EXPECT_EQ(text, source);
    QXmlStreamReader xml(text);
    ASSERT_TRUE(xml.readNextStartElement()) << xml.errorString().toStdString();
    EXPECT_EQ(xml.name(), QLatin1String("section"));
    EXPECT_EQ(xml.attributes().value(QLatin1String("name")), QLatin1String("Effects Parameters"));
    xml.skipCurrentElement();
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}
