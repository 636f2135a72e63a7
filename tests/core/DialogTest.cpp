#include "core/Dialog.h"
#include "OffscreenApplication.h"
#include "core/Strings.h"

#include <QIcon>
#include <QLabel>
#include <gtest/gtest.h>

TEST(Strings, StringToIntAndAllDigits)
{
    EXPECT_EQ((std::vector<int>{StringToInt(" 12 ", false, -1), StringToInt("7F", true, 0),
                                StringToInt("7F", false, -1), StringToInt(QString(), false, 5),
                                StringToInt("1x", false, 9)}),
              (std::vector<int>{12, 127, -1, 5, 9}));
    EXPECT_TRUE(AllDigits("0123456789"));
    EXPECT_FALSE(AllDigits(QString()) || AllDigits("12a") || AllDigits("-1") || AllDigits(" 1"));
}

TEST(Dialog, FormShowsItsPictureAndTheCoreIconsAreRegistered)
{
    ensureApplication();
    Dialog dialog;
    DialogForm form(QStringLiteral("Settings"), QStringLiteral(":/core/images/open.png"), 11,
                    dialog.addHLayout(4));
    EXPECT_FALSE(form.picture()->pixmap().isNull());
    // The dialog registers the core icons under their search prefix.
    EXPECT_FALSE(QIcon(QStringLiteral("core:open.png")).isNull());
}
