// How configuration files are decoded: the ANSI code page (the fake's is
// Latin-1) unless the file begins with the UTF-8 byte order mark.
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
    textFree(&line);
    platform.closeFile(reader.file);
    return lines;
  }
};

static const char kMark[] = "\xEF\xBB\xBF";
static const char kMarkAsLatin1[] = "\xC3\xAF\xC2\xBB\xC2\xBF";  // "ï»¿"

TEST_F(LineEncodingTest, FilesAreReadAsUtf8OnlyAfterAByteOrderMarkAtTheStart) {
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
      {"a mark after the start is ANSI text", std::string("x\n") + kMark + "y",
       {"x", std::string(kMarkAsLatin1) + "y"}},
      {"Ctrl-Z still ends a UTF-8 file", std::string(kMark) + "a\x1a" "b", {"a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, linesOf(c.content)) << c.what;
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
                                           "argument \xC3\xA9\n");
  fakeAddFile("C:\\Work\\ansi.config", "mainclass Caf\xE9\ninclude utf8.config\nargument \xE9\n");
  fakeAddFile("C:\\Work\\utf8.config", std::string(kMark) + "vmparam -Dx=\xD0\x96\n");
  readConfig("C:\\Work\\main.config");
  EXPECT_STREQ("\xD0\x96", settings.appname);  // the mark was not part of the key
  EXPECT_STREQ("Caf\xC3\xA9", settings.mainclass);
  EXPECT_THAT(listOf(settings.vmparam), ElementsAre("-Dx=\xD0\x96", "-Dx=\xD0\x96"));
  // each file goes on in its own encoding after an include of the other kind
  EXPECT_THAT(listOf(settings.arguments), ElementsAre("\xC3\xA9", "\xC3\xA9"));
}
