#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "support/TestSupport.h"

namespace {

std::vector<std::string> Lines(const TStrings& s) { return s.ToVector(); }

TEST(StringList, EditingAndIndexes) {
    TStringList l;
    EXPECT_EQ(l.Add("b"), 0);
    EXPECT_EQ(l.Add("c"), 1);
    l.Insert(0, "a");
    l.Insert(3, "d");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b", "c", "d"}));
    l.Delete(1);
    l.SetStrings(0, "A");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "A");
    EXPECT_EQ(l.IndexOf("a"), 0);  // case-insensitive by default
    EXPECT_EQ(l.IndexOf("x"), -1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("a"), -1);
    try {
        l.Get(5);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (5)");
    }
    EXPECT_THROW(l.Insert(-1, "x"), EStringListError);
    EXPECT_THROW(l.Delete(3), EStringListError);
    l.Move(0, 2);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"c", "d", "A"}));
    l.Exchange(0, 2);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"A", "d", "c"}));
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, CyrillicCaseInsensitiveLookup) {
    TStringList l;
    l.Add("Привет");
    l.Add("ЁЖ");
    EXPECT_EQ(l.IndexOf("привет"), 0);
    EXPECT_EQ(l.IndexOf("ёж"), 1);
    EXPECT_EQ(l.IndexOf("еж"), -1);
}

TEST(StringList, TextUsesCrLfAndSplitsAnyLineEnd) {
    TStringList l;
    l.Add("a");
    l.Add("");
    l.Add("b");
    EXPECT_EQ(l.GetText(), "a\r\n\r\nb\r\n");
    l.SetText("x\ny\r\nz\rw");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x", "y", "z", "w"}));
    l.SetText("one\r\n");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"one"}));
    l.SetText("one\r\n\r\n");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"one", ""}));
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
}

TEST(StringList, NamesAndValues) {
    TStringList l;
    l.Add("Port=COM1");
    l.Add("plain");
    l.Add("Baud=19200=x");
    EXPECT_EQ(l.GetNames(0), "Port");
    EXPECT_EQ(l.GetNames(1), "");
    EXPECT_EQ(l.GetValues("port"), "COM1");
    EXPECT_EQ(l.GetValues("Baud"), "19200=x");
    EXPECT_EQ(l.GetValues("none"), "");
    EXPECT_EQ(l.GetValueFromIndex(2), "19200=x");
    l.SetValues("PORT", "/dev/ttyACM0");
    EXPECT_EQ(l[0], "PORT=/dev/ttyACM0");
    l.SetValues("New", "1");
    EXPECT_EQ(l[3], "New=1");
    l.SetValues("Port", "");  // an empty value removes the line
    EXPECT_EQ(l.IndexOfName("Port"), -1);
    EXPECT_EQ(l.Count(), 3);
}

TEST(StringList, SortedListsInTheWorkstationOrder) {
    TStringList l;
    for (const char* s : {"Яблоко", "apple", "10", "жук", "ёж", "еж", "9", "!x", "Abc"}) l.Add(s);
    l.Sort();
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"!x", "10", "9", "Abc", "apple", "еж", "ёж", "жук", "Яблоко"}));
    TStringList s;
    s.SetSorted(true);
    s.Add("b");
    s.Add("C");
    EXPECT_EQ(s.Add("a"), 0);
    EXPECT_EQ(s.Add("B"), 1);  // duplicates are ignored by default
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_THROW(s.Insert(0, "z"), EStringListError);
    s.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(s.Add("c"), EStringListError);
    s.SetDuplicates(TDuplicates::dupAccept);
    s.Add("c");
    EXPECT_EQ(s.Count(), 4);
    int index;
    EXPECT_TRUE(s.Find("A", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(s.Find("bb", index));
    EXPECT_EQ(index, 2);
    TStringList c;
    for (const char* x : {"3", "1", "2"}) c.Add(x);
    c.CustomSort([](TStringList& list, int a, int b) { return -list[a].compare(list[b]); });
    EXPECT_EQ(Lines(c), (std::vector<std::string>{"3", "2", "1"}));
}

TEST(StringList, ChangeNoticesWaitForTheLastEndUpdate) {
    TStringList l;
    int changes = 0, changing = 0;
    l.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changes;
    };
    l.OnChanging = [&](TObject*) { ++changing; };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);
    l.BeginUpdate();
    l.BeginUpdate();
    l.Add("b");
    l.Add("c");
    l.EndUpdate();
    EXPECT_EQ(changes, 1);
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
    l.SetText("x\ny");
    EXPECT_EQ(changes, 3);
}

TEST(StringList, CommaText) {
    TStringList l;
    l.Add("a");
    l.Add("b c");
    l.Add("say \"hi\"");
    EXPECT_EQ(l.GetCommaText(), "a,\"b c\",\"say \"\"hi\"\"\"");
    TStringList r;
    r.SetCommaText(l.GetCommaText());
    EXPECT_EQ(Lines(r), Lines(l));
}

TEST(StringList, FilesKeepBytesAndDropAUtf8Mark) {
    std::string dir = testsupport::TempDir("stringlist");
    TStringList l;
    l.Add("Номер;Имя");
    l.Add("+79000000001;Иван");
    l.SaveToFile(dir + "/a.csv");
    EXPECT_EQ(testsupport::ReadFileText(dir + "/a.csv"), "Номер;Имя\r\n+79000000001;Иван\r\n");
    {
        std::ofstream out(dir + "/b.txt", std::ios::binary);
        out << "\xEF\xBB\xBFone\ntwo";
    }
    TStringList r;
    r.LoadFromFile(dir + "/b.txt");
    EXPECT_EQ(Lines(r), (std::vector<std::string>{"one", "two"}));
    EXPECT_THROW(r.LoadFromFile(dir + "/missing.txt"), EFOpenError);
    EXPECT_THROW(r.SaveToFile(dir + "/no/such/folder.txt"), EFCreateError);
    EXPECT_EQ(r.Count(), 2);  // a failed load leaves the list as it was
}

TEST(Streams, MemoryStreamReadWriteSeek) {
    TMemoryStream m;
    m.WriteBuffer("SLMX", 4);
    std::uint16_t len = 0x0102;
    m.WriteBuffer(&len, 2);
    EXPECT_EQ(m.GetSize(), 6);
    EXPECT_EQ(m.GetPosition(), 6);
    m.SetPosition(0);
    char tag[5] = {};
    EXPECT_EQ(m.Read(tag, 4), 4);
    EXPECT_STREQ(tag, "SLMX");
    EXPECT_EQ(static_cast<const std::uint8_t*>(m.GetMemory())[4], 0x02);
    char rest[10];
    EXPECT_EQ(m.Read(rest, 10), 2);  // only what is left
    EXPECT_EQ(m.Read(rest, 10), 0);
    m.SetPosition(0);
    EXPECT_THROW(m.ReadBuffer(rest, 7), EReadError);
    EXPECT_EQ(m.Seek(-2, TSeekOrigin::soEnd), 4);
    EXPECT_EQ(m.Seek(1, TSeekOrigin::soCurrent), 5);
    m.Seek(8, TSeekOrigin::soBeginning);
    m.WriteBuffer("!", 1);  // past the end: the gap becomes zeros
    EXPECT_EQ(m.GetSize(), 9);
    EXPECT_EQ(m.GetBytes()[7], 0);
    m.SetSize(3);
    EXPECT_EQ(m.GetPosition(), 3);
    m.Clear();
    EXPECT_EQ(m.GetSize(), 0);
    EXPECT_EQ(m.GetPosition(), 0);
}

TEST(Streams, FilesThroughMemoryAndFileStreams) {
    std::string dir = testsupport::TempDir("streams");
    TMemoryStream m;
    std::string bytes("a\0b\xFF", 4);
    m.WriteBuffer(bytes.data(), 4);
    m.SaveToFile(dir + "/x.bin");
    EXPECT_EQ(testsupport::ReadFileText(dir + "/x.bin"), bytes);
    TMemoryStream back;
    back.WriteBuffer("old", 3);
    back.LoadFromFile(dir + "/x.bin");
    EXPECT_EQ(back.GetSize(), 4);
    EXPECT_EQ(back.GetPosition(), 0);
    EXPECT_EQ(std::string(static_cast<const char*>(back.GetMemory()), 4), bytes);
    {
        TFileStream f(dir + "/x.bin", fmOpenReadWrite);
        EXPECT_EQ(f.GetSize(), 4);
        f.Seek(0, TSeekOrigin::soEnd);
        f.WriteBuffer("Z", 1);
        f.SetPosition(1);
        char c = 'x';
        f.ReadBuffer(&c, 1);
        EXPECT_EQ(c, '\0');
    }
    EXPECT_EQ(testsupport::ReadFileText(dir + "/x.bin").size(), 5u);
    try {
        TFileStream f(dir + "/none.bin", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message.rfind("Cannot open file \"" + dir + "/none.bin\". ", 0), 0u) << e.Message;
    }
    EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);  // a folder is not a file
    EXPECT_THROW(TFileStream(dir + "/no/x", fmCreate), EFCreateError);
    TFileStream src(dir + "/x.bin", fmOpenRead);
    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(src, 0), 5);
}

}  // namespace
