// What `info` shows a voice playing: user waveforms by the library's own names, the instrument's
// waveforms and arpeggios by the preset list of the library's model; unknown numbers as numbers.
#include "X0vTestSupport.h"

#include "motif/librarian/X0vLibrary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

QString describedVoice(int type, const std::vector<std::uint16_t>& arpeggios)
{
    auto document = library(type);
    const QString model = document->model();
    auto wave = std::make_unique<XS_Waveform>(QStringLiteral("Piano C3"), 1, 3, model);
    wave->addKeybank(makeKeybank(10, false, 1));
    document->addWave(std::move(wave));
    XS_Voice* voice = voiceAt(*document, User1, 0);
    Buffer block = blankBlock(model, 8);
    for (std::size_t n = 0; n < arpeggios.size(); ++n) block.writeValueR(0x658 + 2 * int(n), 2, arpeggios[n]);
    voice->setData(block);
    setElement(*voice, 0, 0, 44);   // the two lists name number 44 differently
    setElement(*voice, 1, 0, 9999); // in neither list
    setElement(*voice, 2, 1, 3);    // the user waveform
    setElement(*voice, 4, 1, 4);    // a user slot without a waveform
    const QJsonObject described = X0vLibrary::describe(*document)["voices"].toArray()[0].toObject();
    QJsonObject shown{{"elements", described["elements"]}, {"arpeggios", described["arpeggios"]}};
    return QString::fromUtf8(QJsonDocument(shown).toJson(QJsonDocument::Compact));
}

TEST(X0vNames, ElementsAndArpeggiosAreNamedByTheListOfTheLibrarysModel)
{
    const QString elements = R"("elements":[{"element":1,"plays":"PRE:44 \"%1\""},)"
                             R"({"element":2,"plays":"PRE:9999"},{"element":3,"plays":"USR:3 \"Piano C3\""},)"
                             R"({"element":5,"plays":"USR:4"}])";
    EXPECT_EQ(describedVoice(XsType, {}), "{" + elements.arg("Brite Piano") + "}");
    EXPECT_EQ(describedVoice(XfType, {207, 0, 0x2001, 8000}),
              R"({"arpeggios":["PRE:207 \"FB2_8Beat Slow _XS\"","off","USR:2","PRE:8000","off"],)" +
                  elements.arg("S6 Stretch pp St") + "}");
}

} // namespace
