#include "runtime/download_prompt.h"

#include "launcher_test.h"
#include "runtime/runtime_registry.h"

class DownloadPromptTest : public LauncherTest {};

TEST_F(DownloadPromptTest, PromptNamesTheApplicationAndVersion) {
  setSetting(&settings.appname, "Example Viewer");
  setSetting(&settings.mainclass, "com.example.Main");
  setSetting(&settings.javaVersion, "1.4.2_05");
  promptDownload("Java Runtime Environment Not Found");
  ASSERT_EQ(1u, fake().boxes.size());
  EXPECT_EQ(
      "Example Viewer requires the Java Runtime Environment version 1.4.2_05\n"
      "Do you want to download it?",
      fake().boxes[0].text);
  EXPECT_EQ("Java Runtime Environment Not Found", fake().boxes[0].caption);
  EXPECT_EQ((unsigned)(kBoxIconError | kBoxYesNo), fake().boxes[0].style);
  EXPECT_TRUE(fake().processes.empty());  // No opens nothing
}

TEST_F(DownloadPromptTest, LabelFallsBackToMainClassThenNull) {
  setSetting(&settings.javaVersion, "1.6.0");
  setSetting(&settings.appname, "");
  setSetting(&settings.mainclass, "com.example.Main");
  promptDownload("c");
  resetLaunchSettings();
  setSetting(&settings.javaVersion, "1.6.0");
  promptDownload("c");
  EXPECT_EQ(0u, fake().boxes[0].text.find("com.example.Main requires"));
  EXPECT_EQ(0u, fake().boxes[1].text.find("(null) requires"));
}

TEST_F(DownloadPromptTest, YesOpensThePageTheVersionSelects) {
  struct Case {
    const char* version;
    const char* page;
  } cases[] = {
      {"1.4.2_05", "http://java.sun.com/j2se/1.4.2/download.html"},
      {"1.4.2", "http://java.sun.com/j2se/1.4.2/download.html"},
      {"1.5.0_06", "http://www.java.com/en/download/download_the_latest.jsp"},
      {"1.5", "http://www.java.com/en/download/download_the_latest.jsp"},
      {"1.6.0", nullptr},
      {"1.4.1", nullptr},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    setSetting(&settings.javaVersion, c.version);
    fake().answers.push_back(kAnswerYes);
    promptDownload("c");
    if (!c.page) {
      EXPECT_TRUE(fake().processes.empty()) << c.version;
      continue;
    }
    ASSERT_EQ(1u, fake().processes.size()) << c.version;
    EXPECT_EQ(browserCommand(c.page), fake().processes[0].commandLine);
    EXPECT_FALSE(fake().processes[0].inheritsHandles);
    EXPECT_FALSE(fake().processes[0].hasTitle);
    EXPECT_FALSE(fake().processes[0].waitedForExit);
    EXPECT_FALSE(fake().processes[0].waitedForInputIdle);
  }
}

TEST_F(DownloadPromptTest, ADownloadPageLineReplacesThePageOfEveryVersion) {
  setSetting(&settings.downloadPage, "https://example.com/get-java");
  for (const char* version : {"1.4.2_05", "1.6.0"}) {
    setSetting(&settings.javaVersion, version);
    fake().answers.push_back(kAnswerYes);
    promptDownload("c");
  }
  ASSERT_EQ(2u, fake().processes.size());
  for (const auto& process : fake().processes)
    EXPECT_EQ(browserCommand("https://example.com/get-java"), process.commandLine);
  EXPECT_EQ("(null) requires the Java Runtime Environment version 1.6.0\n"
            "Do you want to download it?",
            fake().boxes[1].text);  // the prompt itself is unchanged
}

// Only an http: or https: address is opened, as one quoted argument whatever
// it holds; any other page gets a box that names it.
TEST_F(DownloadPromptTest, OnlyAWebAddressIsOpenedAsOneQuotedArgument) {
  struct Case {
    const char* page;
    const char* quoted;  // NULL: refused
  } cases[] = {
      {"https://example.com/a\" --new-window \"b", "https://example.com/a%22 --new-window %22b"},
      {"https://example.com/\tx\r\ny\x7f", "https://example.com/%09x%0D%0Ay%7F"},
      {"https://example.com/a b?q=%22&r=\xc3\xa9", "https://example.com/a b?q=%22&r=\xc3\xa9"},
      {"HTTP://EXAMPLE.COM/", "HTTP://EXAMPLE.COM/"},
      {"Https:x", "Https:x"},
      {"\"", nullptr},
      {"C:\\Program Files\\App\\get java.html", nullptr},
      {"\\\\server\\share\\setup.exe", nullptr},
      {"file:///C:/Windows/System32/calc.exe", nullptr},
      {"javascript:alert(1)", nullptr},
      {" https://example.com/", nullptr},
      {"http", nullptr},
      {"httpx://example.com/", nullptr},
  };
  for (const Case& c : cases) {
    installFakePlatform();
    setSetting(&settings.downloadPage, c.page);
    fake().answers.push_back(kAnswerYes);
    offerDownloadPage("c", "text", "question", nullptr);
    if (c.quoted) {
      ASSERT_EQ(1u, fake().processes.size()) << c.page;
      EXPECT_EQ(browserCommand(c.quoted), fake().processes[0].commandLine);
      EXPECT_EQ(1u, fake().boxes.size()) << c.page;
      continue;
    }
    EXPECT_TRUE(fake().processes.empty()) << c.page;
    ASSERT_EQ(2u, fake().boxes.size()) << c.page;
    EXPECT_EQ("Error", fake().boxes[1].caption);
    EXPECT_EQ((unsigned)kBoxIconError, fake().boxes[1].style);
    EXPECT_EQ("The download page\n" + std::string(c.page[0] == '"' ? "%22" : c.page) +
                  "\nis not a web address (http: or https:) and is not opened.",
              fake().boxes[1].text);
  }
}

TEST_F(DownloadPromptTest, AVersionNotInstalledEndsWith11AfterYesAndNo) {
  fakeSetRegistryValue(RUNTIME_ROOT_KEY "\\1.4.2_03", "JavaHome", "C:\\j2re1.4.2_03");
  fakeAddFile("C:\\Work\\app.config", "javaVersion 1.4.2_09+\nmainclass after\n");
  for (int answer : {kAnswerYes, kAnswerNo}) {
    fake().answers.push_back(answer);
    EXPECT_EQ(11, readConfig("C:\\Work\\app.config"));
    EXPECT_EQ("Incompatible JRE Version Found", fake().boxes.back().caption);
  }
  EXPECT_EQ(1u, fake().processes.size());
  EXPECT_EQ(nullptr, settings.mainclass);
  EXPECT_EQ(0, fake().openFiles + fake().openRegistryKeys);
}

TEST_F(DownloadPromptTest, ABrowserThatCannotBeStartedIsNotReported) {
  for (size_t entry : {FAKE_ENTRY(startProcess), FAKE_ENTRY(systemDirectory)}) {
    installFakePlatform();
    setSetting(&settings.javaVersion, "1.4.2");
    fake().answers.push_back(kAnswerYes);
    fake().startErrorCode = 2;
    fakeFailCall({entry}, 1);
    promptDownload("c");
    EXPECT_EQ(1u, fake().boxes.size());
    EXPECT_EQ(0, fake().openProcesses);
  }
}

TEST_F(DownloadPromptTest, LongPromptTextsComeOutWhole) {
  setSetting(&settings.appname, std::string(400, 'a').c_str());
  setSetting(&settings.javaVersion, "1.4.2");
  promptDownload("c");
  EXPECT_EQ(std::string(400, 'a') + " requires the Java Runtime Environment version 1.4.2\n"
                                    "Do you want to download it?",
            fake().boxes[0].text);
}
