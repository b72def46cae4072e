#include "support/TestSupport.h"

#include "core/GeneralFunctions.h"
#include "platform/FileNumbers.h"

#include <gtest/gtest.h>

using namespace GeneralFunctions;

TEST(Text, CharacterClasses) {
    EXPECT_TRUE(ValidateChars("0123456789", 1));
    EXPECT_FALSE(ValidateChars("12a", 1));
    EXPECT_TRUE(ValidateChars("ab12XY", 2));
    EXPECT_FALSE(ValidateChars("ab 12", 2));
    EXPECT_FALSE(ValidateChars("ab_12", 2));
    EXPECT_FALSE(ValidateChars("ab1", 3));
    EXPECT_TRUE(ValidateChars("ab 12", 4));
    EXPECT_TRUE(ValidateChars("1 2", 5));
    EXPECT_FALSE(ValidateChars("1 a", 5));
    EXPECT_FALSE(ValidateChars("caf\xE9", 3)); // accented letters are not in the class
    EXPECT_TRUE(ValidateChars("_ !\xE9", 9));
    EXPECT_TRUE(ValidateChars("", 1));
}

TEST(Text, Tokens) {
    int32_t start = 0, end = -1;
    EXPECT_EQ(GetNextToken("ab cd", start, " ", end, false, false), "ab");
    EXPECT_EQ(start, 1); // raised to 1 in the caller's variable, not advanced
    EXPECT_EQ(end, 3);
    start = end + 1;
    EXPECT_EQ(GetNextToken("ab cd", start, " ", end, false, false), "cd");
    EXPECT_EQ(end, 0);
    start = 1;
    end = 42;
    EXPECT_EQ(GetNextToken("     ", start, ",", end, true, true), "");
    EXPECT_EQ(end, 42); // untouched when only blanks remain
    start = 1;
    EXPECT_EQ(GetNextToken("   x y ,z", start, ",", end, true, true), "x y");
    EXPECT_EQ(end, 8);
    EXPECT_EQ(GetNextToken("   x y ,z", start, ",", end, false, true), "x y ");
    start = 20;
    EXPECT_EQ(GetNextToken("abc", start, ",", end, false, false), "");
}

TEST(Text, MessageParameters) {
    std::string message = "GET_CARTGROUP_INFO group = 12 Title=\"A b=c d\" Note=x{0D}{0A}y";
    EXPECT_EQ(GetMessageParameter(message, "GROUP", "=", false, " "), "12");
    // A quoted value keeps the delimiter characters inside the quotes.
    EXPECT_EQ(GetMessageParameter(message, "title", "=", false, " "), "A b=c d");
    EXPECT_EQ(GetMessageParameter(message, "Note", "=", true, " "), "x\r\ny");
    EXPECT_EQ(GetMessageParameter(message, "Note", "=", false, " "), "x{0D}{0A}y");
    EXPECT_EQ(GetMessageParameter(message, "Missing", "=", false, " "), "");
    EXPECT_EQ(GetMessageParameter("Group 5", "Group", "=", false, " "), "");
    EXPECT_EQ(GetMessageParameter("A=\"open", "A", "=", false, " "), "open");
}

TEST(Text, HexAndPadding) {
    EXPECT_EQ(Hex2(10, 2), "0A");
    EXPECT_EQ(Hex2(300, 2), "12C");
    EXPECT_EQ(Hex2(255, 4), "00FF");
    EXPECT_EQ(Hex2(-1, 2), "FFFFFFFF");
    EXPECT_EQ(PadRight("AB", 4, "*x"), "AB**");
    EXPECT_EQ(PadRight("ABCDE", 3, " "), "ABC");
    EXPECT_EQ(PadRight("AB", 3, ""), "AB "); // no pad character pads with blanks
    std::string text = "ABC";
    EXPECT_EQ(PadLeft(text, 2, " "), "AB");
    EXPECT_EQ(text, "AB");
    text = "7";
    EXPECT_EQ(PadLeft(text, 3, "0"), "007");
    EXPECT_EQ(text, "007");
    EXPECT_EQ(PadRight("AB", -1, " "), "");
}

TEST(Text, NetEscapes) {
    std::string plain = "say \"hi\"\r\n\tend";
    std::string escaped = EscapeNetText(plain);
    EXPECT_EQ(escaped, "say {22}hi{22}{0D}{0A}{09}end");
    EXPECT_EQ(UnescapeNetText(escaped), plain);
    // Braces are not escaped, so an escape already in the text comes back as its character.
    EXPECT_EQ(UnescapeNetText(EscapeNetText("{22}")), "\"");
    EXPECT_EQ(UnescapeNetText("{0d}"), "{0d}"); // case-sensitive
}

TEST(Text, ReadFileLineAcceptsBothLineEnds) {
    TestSupport::ScratchDir dir;
    auto linesOf = [&](const std::string& bytes) {
        TestSupport::WriteBytes(dir.File("t.txt"), bytes);
        int16_t n = Platform::FileNumbers::FreeFile();
        EXPECT_EQ(Platform::FileNumbers::Open(n, dir.File("T.TXT"),
                                              Platform::FileNumbers::OpenMode::Input),
                  0);
        std::vector<std::string> lines;
        while (!Platform::FileNumbers::AtEnd(n))
            lines.push_back(ReadFileLine(n));
        lines.push_back(ReadFileLine(n)); // at the end: empty
        Platform::FileNumbers::Close(n);
        return lines;
    };
    EXPECT_EQ(linesOf("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c", ""}));
    EXPECT_EQ(linesOf("x\ry\n"), (std::vector<std::string>{"xy", ""}));
    EXPECT_EQ(linesOf(""), (std::vector<std::string>{""}));
    EXPECT_EQ(linesOf("\n\n"), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(ReadFileLine(0), "");
    EXPECT_EQ(ReadFileLine(-3), "");
    EXPECT_EQ(ReadFileLine(200), ""); // not open
}

TEST(Text, FileNumbers) {
    TestSupport::ScratchDir dir;
    using namespace Platform::FileNumbers;
    int16_t a = FreeFile();
    ASSERT_GT(a, 0);
    EXPECT_EQ(Open(a, dir.File("x.bin"), OpenMode::Output), 0);
    EXPECT_EQ(Open(a, dir.File("y.bin"), OpenMode::Output), 55);
    EXPECT_NE(FreeFile(), a);
    EXPECT_EQ(Write(a, "hello"), 0);
    EXPECT_EQ(Length(a), 5);
    Close(a);
    EXPECT_EQ(Open(a, dir.File("missing.bin"), OpenMode::Input), 53);
    EXPECT_EQ(Open(0, dir.File("x.bin"), OpenMode::Input), 52);
    EXPECT_EQ(Open(a, dir.File("X.BIN"), OpenMode::Binary), 0);
    EXPECT_TRUE(SetPosition(a, 4));
    EXPECT_EQ(ReadByte(a), 'l');
    EXPECT_EQ(Position(a), 5);
    Close(a);
    EXPECT_FALSE(IsOpen(a));
    EXPECT_EQ(Write(a, "x"), 52);
}

TEST(Text, FitToWidth) {
    auto width = [](const std::string& s) { return 10.0 * static_cast<double>(s.size()); };
    EXPECT_EQ(FitTextToWidth(width, "abcdef", 5), "");
    EXPECT_EQ(FitTextToWidth(width, "abcdef", 35), "abc");
    EXPECT_EQ(FitTextToWidth(width, "abcdef", 40), "abcd");
    EXPECT_EQ(FitTextToWidth(width, "abcdef", 600), "abcdef");
    EXPECT_EQ(FitTextToWidth(width, "", 600), "");
}
