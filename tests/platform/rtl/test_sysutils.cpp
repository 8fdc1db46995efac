#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/SystemErrors.h"

namespace {

std::string ConvertMessage(const std::string& text) {
    try {
        StrToInt(text);
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return "no error";
}

TEST(StrToInt, DecimalSignAndHexAsTheClassLibraryReadsThem) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("9999"), 9999);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("-15"), -15);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x1a"), 26);
    EXPECT_EQ(StrToInt("x10"), 16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // hexadecimal fills all 32 bits
    EXPECT_EQ(StrToInt("  12"), 12);       // leading blanks are skipped
}

TEST(StrToInt, AnythingElseRaisesTheConversionError) {
    for (const char* bad : {"", " ", "12 ", "1 2", "abc", "12a", "1e3", "--1", "-", "+", "$", "0x",
                            "2147483648", "-2147483649", "$100000000", "1.5", "\t5", "٣"}) {
        EXPECT_THROW(StrToInt(bad), EConvertError) << "'" << bad << "'";
    }
    EXPECT_EQ(ConvertMessage("12a"), "'12a' is not a valid integer value");
    EXPECT_EQ(ConvertMessage(""), "'' is not a valid integer value");
    EXPECT_EQ(StrToIntDef("x", -5), -5);
    EXPECT_EQ(StrToIntDef("42", -5), 42);
    EXPECT_EQ(StrToInt64("9000000001"), 9000000001LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    // The exception is the library's base class too.
    try {
        StrToInt("?");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "'?' is not a valid integer value");
    }
}

TEST(IntConversions, ToTextAndHex) {
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(9000000001LL), "9000000001");
    EXPECT_EQ(IntToHex(255, 2), "FF");
    EXPECT_EQ(IntToHex(10, 4), "000A");
    EXPECT_EQ(IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(0u, 0), "");
}

TEST(Format, PrintfDirectivesTheToolUses) {
    EXPECT_EQ(Format("%.2X", 10), "0A");
    EXPECT_EQ(Format("%.2X%.2X", 0x0A, 0xFF), "0AFF");
    EXPECT_EQ(Format("%2d:%02d:%02d - %s", 9, 5, 3, "текст"), " 9:05:03 - текст");
    EXPECT_EQ(Format("%d.%.4d.%.4d", 1, 2, 3), "1.0002.0003");
    EXPECT_EQ(Format("Firmware CRC: 0x%.4X", 0xBEEF), "Firmware CRC: 0xBEEF");
    EXPECT_EQ(Format("%u / %u", 3u, 10u), "3 / 10");
    EXPECT_EQ(Format("%d%%", 50), "50%");
    EXPECT_EQ(Format("%i", -7), "-7");
    EXPECT_EQ(Format("%s:%d", std::string("host"), 10950), "host:10950");
    EXPECT_EQ(Format("%x", -1), "ffffffff");
    EXPECT_EQ(Format("%X", 255u), "FF");
    EXPECT_EQ(Format("%5d|%-5d|", 42, 42), "   42|42   |");
    EXPECT_EQ(Format("%-4s|%4s|", "Да", "Да"), "Да  |  Да|");  // widths count characters
    EXPECT_EQ(Format("%.1s", "Да"), "Д");
    EXPECT_EQ(Format("%5.1f", 3.14159), "  3.1");
    EXPECT_EQ(Format("%c%c", 'A', 0x416), "AЖ");
    EXPECT_EQ(Format("%*d", 4, 7), "   7");
    EXPECT_EQ(Format("%lld", 9000000001LL), "9000000001");
    EXPECT_EQ(Format("%+d % d", 5, 5), "+5  5");
    EXPECT_EQ(Format("no directives"), "no directives");
}

TEST(Format, MismatchedArgumentsRaiseInsteadOfReadingGarbage) {
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s", 5), EConvertError);
    EXPECT_THROW(Format("%d %d", 5), EConvertError);
    EXPECT_THROW(Format("%", 5), EConvertError);
    EXPECT_THROW(Format("%q", 5), EConvertError);
    try {
        Format("%d", "x");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
}

TEST(TextHelpers, TrimCaseAndComparison) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(UpperCase("abcЖ"), "ABCЖ");
    EXPECT_EQ(AnsiUpperCase("привет, ёж"), "ПРИВЕТ, ЁЖ");
    EXPECT_EQ(AnsiLowerCase("ПРИВЕТ Ї"), "привет ї");
    EXPECT_TRUE(SameText("Settings", "SETTINGS"));
    EXPECT_FALSE(SameText("ж", "Ж"));
    EXPECT_TRUE(AnsiSameText("Ж", "ж"));
    EXPECT_LT(AnsiCompareText("еж", "ёж"), 0);
    EXPECT_LT(AnsiCompareText("ёж", "жук"), 0);
    EXPECT_LT(AnsiCompareText("zebra", "арбуз"), 0);  // Latin before Cyrillic
    EXPECT_LT(AnsiCompareText("_x", "1"), 0);         // symbols before digits
    EXPECT_LT(AnsiCompareText("9", "a"), 0);
    EXPECT_LT(AnsiCompareText("ab", "ABC"), 0);
    EXPECT_LT(AnsiCompareStr("a", "A"), 0);
    EXPECT_EQ(Pos("//\\", "Да//\\ Yes"), 5);  // counts bytes, as every index into a std::string
    EXPECT_EQ(Pos("x", "abc"), 0);
}

TEST(TextHelpers, PathParts) {
    EXPECT_EQ(ExtractFilePath("/a/b/c.fcg"), "/a/b/");
    EXPECT_EQ(ExtractFileName("/a/b/c.fcg"), "c.fcg");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
    EXPECT_EQ(ExtractFileExt("c.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/a/default", ".fcg"), "/a/default.fcg");
    EXPECT_EQ(ChangeFileExt("x.bin", ".txt"), "x.txt");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
}

// A reason is kept in the system's English words and shown in the window's language: Russian
// words of ours where we have them, the English ones otherwise.
TEST(TextHelpers, SystemReasonsInTheWindowsLanguage) {
    EXPECT_EQ(SystemErrorText(ENOSPC), "No space left on device");
    EXPECT_EQ(ReasonInLanguage(SystemErrorText(ENOSPC), true), "No space left on device");
    EXPECT_EQ(ReasonInLanguage(SystemErrorText(ENOSPC), false), "На устройстве не осталось свободного места");
    EXPECT_EQ(ReasonInLanguage("Not a regular file", false), "Это не обычный файл");
    EXPECT_EQ(ReasonInLanguage(SystemErrorText(ECHILD), false), "No child processes");
}

// Every error that opening, reading or writing a port or a file can give, as the manual pages
// of those calls list them, has Russian words.
TEST(TextHelpers, EveryReasonOfAPortOrAFileHasRussianWords) {
    const int errors[] = {  // open and stat; read, write, fsync and the port's ioctls; rename, mkdir, flock
        EACCES, EBUSY, EDQUOT, EEXIST, EFAULT, EFBIG, EINTR, EINVAL, EISDIR, ELOOP, EMFILE, ENAMETOOLONG, ENFILE,
        ENODEV, ENOENT, ENOMEM, ENOSPC, ENOTDIR, ENXIO, EOPNOTSUPP, EOVERFLOW, EPERM, EROFS, ETXTBSY, EAGAIN, ESTALE,
        EBADF, EIO, EPIPE, ESPIPE, ETIMEDOUT, EUCLEAN, ENOTTY, EMLINK, ENOTEMPTY, EXDEV, ENOLCK};
    for (const int error : errors) {
        const std::string english = SystemErrorText(error);
        EXPECT_EQ(ReasonInLanguage(english, true), english);
        EXPECT_NE(ReasonInLanguage(english, false), english) << error;
    }
}

}  // namespace
