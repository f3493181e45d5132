// How configuration files are decoded: after a byte order mark, UTF-8 or
// UTF-16; without one, UTF-8 when the whole file is valid UTF-8 with
// non-ASCII text, else the ANSI code page (the fake's is Latin-1).
#include "config/line_reader.h"

#include "launcher_test.h"

using ::testing::ElementsAre;

class LineEncodingTest : public LauncherTest {
 protected:
  std::vector<std::string> linesOf(const std::string& content) {
    fakeAddFile("C:\\Work\\f.config", content);
    const char* errorText = "";
    LineReader reader;
    startLineReader(&reader, platform.openFile("C:\\Work\\f.config", &errorText));
    TextBuffer line = {};
    std::vector<std::string> lines;
    while (readLine(&reader, &line)) lines.push_back(line.data);
    failed = reader.failed;
    finishLineReader(&reader);
    textFree(&line);
    platform.closeFile(reader.file);
    return lines;
  }
  bool failed = false;
};

static const char kMark[] = "\xEF\xBB\xBF";
static const char kMarkAsLatin1[] = "\xC3\xAF\xC2\xBB\xC2\xBF";  // "ï»¿"

TEST_F(LineEncodingTest, AUtf8ByteOrderMarkAtTheStartIsTakenAndNotText) {
  struct Case {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"ANSI high bytes become UTF-8", "Caf\xE9\r\n\xD0\xB6", {"Caf\xC3\xA9", "\xC3\x90\xC2\xB6"}},
      {"after the mark, UTF-8 is kept", std::string(kMark) + "Caf\xC3\xA9\r\n\xD0\xB6",
       {"Caf\xC3\xA9", "\xD0\xB6"}},
      {"a file that is only the mark has no line", kMark, {}},
      {"the mark and a line feed make one empty line", std::string(kMark) + "\n", {""}},
      {"a lone partial mark is ANSI text", "\xEF\xBB", {"\xC3\xAF\xC2\xBB"}},
      {"a partial mark before a whole one", "\xEF\xBB\xEF\xBB\xBF\n",
       {std::string("\xC3\xAF\xC2\xBB") + kMarkAsLatin1}},
      {"a second mark is text of the UTF-8 file", std::string(kMark) + kMark + "x",
       {std::string(kMark) + "x"}},
      {"a mark after the start is text", std::string("x\n") + kMark + "y",
       {"x", std::string(kMark) + "y"}},
      {"Ctrl-Z still ends a UTF-8 file", std::string(kMark) + "a\x1a" "b", {"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, linesOf(c.content)) << c.what;
}

// UTF-16 text, mark first, in either byte order: s is the text's units.
static std::string utf16(const std::u16string& s, bool bigEndian = false) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : s) {
    char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// The whole file decides, so a file longer than a read of 4096 bytes has one
// encoding from its first line on, however its sequences fall on the reads.
TEST_F(LineEncodingTest, TheWholeFileDecidesItsEncodingBeforeItsFirstLine) {
  std::string pad(4095, 'a');
  struct Case {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"UTF-8 without a mark", "Caf\xC3\xA9\n\xD0\x96\xF0\x9F\x98\x80",
       {"Caf\xC3\xA9", "\xD0\x96\xF0\x9F\x98\x80"}},
      {"a sequence across two reads", pad + "\xD0\x96", {pad + "\xD0\x96"}},
      {"an invalid byte after the first read makes the first line ANSI too",
       "\xC3\xA9\n" + pad + "\xE9", {"\xC3\x83\xC2\xA9", pad + "\xC3\xA9"}},
      {"an overlong form is no UTF-8", "\xC0\xAF\xC3\xA9", {"\xC3\x80\xC2\xAF\xC3\x83\xC2\xA9"}},
      {"an encoded surrogate is no UTF-8", "\xED\xA0\x80", {"\xC3\xAD\xC2\xA0\xC2\x80"}},
      {"a sequence cut by the end is no UTF-8", "\xC3\xA9\xE2\x82", {"\xC3\x83\xC2\xA9\xC3\xA2\xC2\x82"}},
      {"only what comes before Ctrl-Z decides", "\xC3\xA9\x1A\xE9", {"\xC3\xA9"}},
      {"UTF-16 LE: lines, a pair, Ctrl-Z ends", utf16(u"\u0416\r\nx\U0001F600\ny\x1Az"),
       {"\xD0\x96", "x\xF0\x9F\x98\x80", "y"}},
      {"UTF-16 BE", utf16(u"\u0416\r\n\u00E9", true), {"\xD0\x96", "\xC3\xA9"}},
      {"UTF-16: a lone surrogate, an odd last byte", utf16(u"a\xD800" "b\xDC00") + "c",
       {"a\xEF\xBF\xBD" "b\xEF\xBF\xBD"}},
      {"UTF-16: a byte 1A inside a character is no Ctrl-Z", utf16(u"\u041A\u1A00"),
       {"\xD0\x9A\xE1\xA8\x80"}},
      {"a UTF-16 file that is only its mark", "\xFF\xFE", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, linesOf(c.content)) << c.what;
}

TEST_F(LineEncodingTest, AFileThatCannotBeReadToItsEndGivesNoLine) {
  fakeFailCall({FAKE_ENTRY(readFile)}, 2);
  EXPECT_TRUE(linesOf("first\n" + std::string(5000, 'x')).empty());
  EXPECT_TRUE(failed);
}

TEST_F(LineEncodingTest, LongAnsiLinesAreConvertedWhole) {
  std::string ansi(6000, '\xE9'), utf8;
  for (int i = 0; i < 6000; ++i) utf8 += "\xC3\xA9";
  EXPECT_THAT(linesOf(ansi + "\n" + ansi), ElementsAre(utf8, utf8));
}

class ConfigEncodingTest : public LauncherTest {};

TEST_F(ConfigEncodingTest, EachIncludedFileDecidesForItself) {
  fakeAddFile("C:\\Work\\main.config", std::string(kMark) +
                                           "appname \xD0\x96\n"
                                           "include ansi.config\n"
                                           "include utf8.config\n"
                                           "include utf16.config\n"
                                           "argument \xC3\xA9\n");
  fakeAddFile("C:\\Work\\ansi.config", "mainclass Caf\xE9\ninclude utf8.config\nargument \xE9\n");
  fakeAddFile("C:\\Work\\utf8.config", "vmparam -Dx=\xD0\x96\n");  // no mark
  fakeAddFile("C:\\Work\\utf16.config", utf16(u"vmparam -Dy=\u0416\r\ninclude ansi.config\r\n"));
  readConfig("C:\\Work\\main.config");
  EXPECT_STREQ("\xD0\x96", settings.appname);  // the mark was not part of the key
  EXPECT_STREQ("Caf\xC3\xA9", settings.mainclass);
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dx=\xD0\x96", "-Dx=\xD0\x96", "-Dy=\xD0\x96",
                                                    "-Dx=\xD0\x96"));
  // each file goes on in its own encoding after an include of the other kind
  EXPECT_THAT(listOf(settings.arguments), ElementsAre("\xC3\xA9", "\xC3\xA9", "\xC3\xA9"));
}
