// file_filter_test.cpp - handheld-form file filters in Qt's form.
#include "app/file_filter.h"

#include <gtest/gtest.h>

using App::QtFileFilters;

TEST(FileFilter, EachPairBecomesOneEntryWithUpperCasePatternsAdded) {
    EXPECT_EQ(QtFileFilters(QStringLiteral("GameBoy Advance ROM (*.gba)|*.gba|Zip Files (*.zip)|*.zip||")),
              QStringList({"GameBoy Advance ROM (*.gba *.GBA)", "Zip Files (*.zip *.ZIP)"}));
}

TEST(FileFilter, SeveralPatternsAndDescriptionsWithoutPatternList) {
    EXPECT_EQ(QtFileFilters(QStringLiteral("Game Boy|*.gb;*.GBC|")), QStringList({"Game Boy (*.gb *.GB *.GBC)"}));
}

TEST(FileFilter, EveryFileIsAStarAndEmptyPairsAreLeftOut) {
    EXPECT_EQ(QtFileFilters(QStringLiteral("All Files (*.*)|*.*|Nothing||")), QStringList({"All Files (*)"}));
    EXPECT_TRUE(QtFileFilters(QString()).isEmpty());
    EXPECT_TRUE(QtFileFilters(QStringLiteral("Odd|")).isEmpty());
}
