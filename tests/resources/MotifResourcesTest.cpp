#include "motif/MotifResources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QResource>
#include <QSet>
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

// The file in the source tree that ":/motif/" + path was compiled from.
QString sourceFile(const QString& path) { return QStringLiteral(MOTIF_SOURCE_DIR "/motif/") + path; }

} // namespace

TEST(MotifResources, RegisteredAtLoadAndOnRequest)
{
    EXPECT_TRUE(registeredAtLoad);
    registerMotifResources();
    registerMotifResources();
    EXPECT_EQ(QDir(QStringLiteral(":/motif")).entryList(), QStringList({"data", "images"}));
    EXPECT_EQ(QDir(QStringLiteral(":/motif/data")).entryList(),
              QStringList({"data_ES.ini", "data_RackES.ini", "effects_ES.xml", "PLG150-AN.ini",
                           "PLG150-AP.ini", "PLG150-DR.ini", "PLG150-DX.ini", "PLG150-PC.ini",
                           "PLG150-PF.ini", "PLG150-VL.ini", "x0v_drumkit.bin", "x0v_voice.bin"}));
}

TEST(MotifResources, UnregisteredOnRequestAndRegisteredAgain)
{
    const QString table = QStringLiteral(":/motif/data/data_ES.ini");
    const QString image = QStringLiteral(":/motif/images/v2p.png");
    ASSERT_TRUE(QFile::exists(table));
    unregisterMotifResources();
    const bool tableGone = !QFile::exists(table);
    const bool imageGone = !QFile::exists(image);
    const bool treeGone = QDir(QStringLiteral(":/motif")).entryList().isEmpty();
    unregisterMotifResources();
    registerMotifResources();
    EXPECT_TRUE(tableGone);
    EXPECT_TRUE(imageGone);
    EXPECT_TRUE(treeGone);
    EXPECT_TRUE(QFile::exists(table));
    EXPECT_TRUE(QFile::exists(image));
    EXPECT_EQ(readAll(table), readAll(sourceFile(QStringLiteral("data/data_ES.ini"))));
}

TEST(MotifResources, ImagesAreStoredPlainAndOpenAtTheirDrawnSize)
{
    const std::pair<const char*, QSize> images[] = {
        {"elm-lfowaves.png", {48, 12}}, {"lfowaves.png", {96, 12}}, {"motif.png", {16, 16}},
        {"senscurves.png", {48, 16}},   {"v2p.png", {64, 32}},      {"velocurves.png", {80, 16}}};
    QStringList names;
    for (const auto& [name, size] : images) names << QLatin1String(name);
    EXPECT_EQ(QDir(QStringLiteral(":/motif/images")).entryList(), names);

    for (const auto& [name, size] : images) {
        const QString file = QStringLiteral("images/") + QLatin1String(name);
        const QString path = QStringLiteral(":/motif/") + file;
        const QResource resource(path);
        ASSERT_TRUE(resource.isValid()) << name;
        EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression) << name;
        EXPECT_EQ(readAll(path), readAll(sourceFile(file))) << name;

        const QImage picture(path);
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size(), size) << name;
        // Line art on a transparent ground: exactly one ink colour and the see-through ground.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
        EXPECT_EQ(colours, QSet<QRgb>({qRgba(0, 0, 0, 0), qRgb(0x20, 0x20, 0x20)})) << name;
    }
}

TEST(MotifResources, DeviceTablesAreStoredPlain)
{
    for (const char* name : {"data/data_ES.ini", "data/data_RackES.ini"}) {
        const QString file = QLatin1String(name);
        const QResource resource(QStringLiteral(":/motif/") + file);
        ASSERT_TRUE(resource.isValid()) << name;
        EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression) << name;
        const QByteArray source = readAll(sourceFile(file));
        ASSERT_FALSE(source.isEmpty()) << name;
        EXPECT_EQ(resource.size(), source.size()) << name;
        EXPECT_EQ(readAll(QStringLiteral(":/motif/") + file), source) << name;
    }
}

TEST(MotifResources, EffectLayoutsAreStoredZlibAndReadDecompressed)
{
    const QResource resource(QStringLiteral(":/motif/data/effects_ES.xml"));
    ASSERT_TRUE(resource.isValid());
    EXPECT_EQ(resource.compressionAlgorithm(), QResource::ZlibCompression);
    const QByteArray source = readAll(sourceFile(QStringLiteral("data/effects_ES.xml")));
    ASSERT_FALSE(source.isEmpty());
    EXPECT_EQ(resource.uncompressedSize(), source.size());

    const QByteArray text = readAll(QStringLiteral(":/motif/data/effects_ES.xml"));
    EXPECT_EQ(text, source);
    QXmlStreamReader xml(text);
    ASSERT_TRUE(xml.readNextStartElement()) << xml.errorString().toStdString();
    EXPECT_EQ(xml.name(), QLatin1String("section"));
    EXPECT_EQ(xml.attributes().value(QLatin1String("name")), QLatin1String("Effects Parameters"));
    xml.skipCurrentElement();
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}
