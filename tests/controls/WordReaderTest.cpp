#include "WordReader.h"
#include "DecimalSeparator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

namespace pavrin::controls {
namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EInOutError& e) {
        return e.what();
    }
    return "";
}

TEST(WordReader, SplitsLinesIntoWordsAtBlanksAndTabs) {
    auto r = TWordReader::FromText("  1.5   2\t3  \r\n7\r\n");
    EXPECT_EQ(r.ReadFloat(), 1.5L);
    EXPECT_EQ(r.ReadFloat(), 2.0L);
    EXPECT_EQ(r.ReadFloat(), 3.0L);
    EXPECT_EQ(r.ReadFloat(), 7.0L) << "a fourth read moves on to the next line";
    EXPECT_TRUE(TWordContainer("\t\x01 a  b\tc \x02").Words() == (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(TWordContainer("   ").Words().empty());

    // A reader moved elsewhere, over a text short enough to live inside its string, reads on.
    auto first = TWordReader::FromText("4 5\n6");
    EXPECT_EQ(first.ReadInteger(), 4);
    TWordReader moved = std::move(first);
    EXPECT_EQ(moved.ReadInteger(), 5);
    EXPECT_EQ(moved.ReadInteger(), 6);
}

TEST(WordReader, LineBreaksOfEveryKindAndTheLastLineWithoutOne) {
    auto r = TWordReader::FromText("a\r\nb\nc\rd");
    EXPECT_EQ(r.LineCount(), 4u);
    EXPECT_EQ(r.ReadLine(), "a");
    EXPECT_EQ(r.ReadLine(), "b");
    EXPECT_EQ(r.ReadLine(), "c");
    EXPECT_EQ(r.ReadLine(), "d");
    EXPECT_TRUE(r.EndOfFile());
    EXPECT_EQ(TWordReader::FromText("").LineCount(), 1u) << "an empty file still has one line";
}

TEST(WordReader, ReadLineGivesTheCurrentLineWholeEvenAfterItsWordsWereRead) {
    auto r = TWordReader::FromText("Title with words\n10 0 1\nnext\n");
    EXPECT_EQ(r.ReadLine(), "Title with words");
    EXPECT_EQ(r.ReadInteger(), 10);
    EXPECT_EQ(r.ReadLine(), "10 0 1") << "the line the words came from, all of it";
    EXPECT_EQ(r.NextWord(), "next");
    EXPECT_FALSE(r.EndOfFile());
}

TEST(WordReader, MessagesNameLineAndItem) {
    auto r = TWordReader::FromText("1 2\n3 x 5\n");
    r.ReadFloat();
    r.ReadFloat();
    r.ReadFloat();
    EXPECT_EQ(messageOf([&] { r.ReadFloat(); }),
              "Error on Line 2 Item 2\nA floating point number was expected but not found.");
    auto i = TWordReader::FromText("\n  2.0 2.5\n");
    EXPECT_EQ(i.ReadInteger(), 2) << "a blank first line is passed over; 2.0 is an integer";
    EXPECT_EQ(messageOf([&] { i.ReadInteger(); }),
              "Error on Line 2 Item 2\nAn integer was expected but not found.");
    auto big = TWordReader::FromText("2147483647 2147483648 -2147483648 -2147483649");
    EXPECT_EQ(big.ReadInteger(), 2147483647);
    EXPECT_NE(messageOf([&] { big.ReadInteger(); }), "");
    EXPECT_EQ(big.ReadInteger(), -2147483647 - 1);
    EXPECT_NE(messageOf([&] { big.ReadInteger(); }), "");
}

TEST(WordReader, TheEndOfTheDataIsReportedAndBlankLinesInsideArePassedOver) {
    auto r = TWordReader::FromText("1\n\n\n2\n\n");
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_EQ(messageOf([&] { r.ReadInteger(); }), "This file either invalid or incomplete.");
    EXPECT_TRUE(r.EndOfFile());
    EXPECT_EQ(messageOf([&] { r.ReadLine(); }), "This file either invalid or incomplete.");
}

TEST(WordReader, NumbersUseThePointWhateverTheUsersSeparator) {
    DecimalSeparatorScope comma(',');
    auto r = TWordReader::FromText("1,5 1.5 2,0 2.0 1.20000000000000E+0002 -3e-2 +4 .5 5.");
    EXPECT_NE(messageOf([&] { r.ReadFloat(); }), "") << "1,5 is not a number in a file";
    EXPECT_EQ(r.ReadFloat(), 1.5L);
    EXPECT_NE(messageOf([&] { r.ReadInteger(); }), "") << "nor is 2,0";
    EXPECT_EQ(r.ReadInteger(), 2) << "a file reads as on a desktop with the point";
    EXPECT_EQ(r.ReadFloat(), 120.0L);
    EXPECT_EQ(r.ReadFloat(), -0.03L);
    EXPECT_EQ(r.ReadFloat(), 4.0L);
    EXPECT_EQ(r.ReadFloat(), 0.5L);
    EXPECT_EQ(r.ReadFloat(), 5.0L);
}

TEST(WordReader, RefusesWhatIsNotAPlainFiniteNumber) {
    long double v = 7;
    for (const char* bad :
         {"", "-", "e5", "1e", "1e+", "0x10", "nan", "inf", "1..2", "1.2.3", "1e99999", "12abc"})
        EXPECT_FALSE(TextToFloat(bad, '.', v)) << bad;
    EXPECT_EQ(v, 7) << "a failed conversion leaves the value alone";
    EXPECT_TRUE(TextToFloat("1e-99999", '.', v));
    EXPECT_EQ(v, 0) << "below the smallest extended number reads as zero";
    EXPECT_TRUE(TextToFloat("1e4000", '.', v)) << "extended precision reaches far beyond double";
}

TEST(WordReader, FileThatCannotBeOpenedIsAFileError) {
    EXPECT_THROW(TWordReader("/nonexistent/folder/file.pv3d"), EFileOpenError);
    const auto path = std::filesystem::temp_directory_path() / "pavrin-wordreader-test.txt";
    std::ofstream(path, std::ios::binary) << "Title\r\n3 4\r\n";
    TWordReader r(path.string());
    EXPECT_EQ(r.ReadLine(), "Title");
    EXPECT_EQ(r.ReadInteger() + r.ReadInteger(), 7);
    std::filesystem::remove(path);

    // A folder opens without error and fails only when read: it is a file that cannot be opened.
    const auto folder = std::filesystem::temp_directory_path() / "pavrin-wordreader-folder.pv3d";
    std::filesystem::create_directories(folder);
    EXPECT_THROW(TWordReader(folder.string()), EFileOpenError);
    EXPECT_THROW(ReadTextFile(folder.string()), EFileOpenError);
    std::filesystem::remove(folder);
}

} // namespace
} // namespace pavrin::controls
