// The brand tool's writer: the resource tree's order, the version record's
// node lengths and padding, the icon groups, the exe laid out again, and
// every bad input refused with its line and no output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "brand/brand_exe.h"
#include "brand/pe_writer.h"
#include "brand/tool.h"
#include "brand/xml_check.h"
#include "test_exe.h"

namespace fs = std::filesystem;

static Bytes fromHex(const std::string& hex) {
  Bytes bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back((uint8_t)std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

static ResourceName named(const char16_t* text) {
  ResourceName name;
  name.named = true;
  name.text = text;
  return name;
}

TEST(ResourceTree, NamedEntriesComeFirstByNameThenIdsAscendingAtEveryLevel) {
  auto resource = [](ResourceName type, ResourceName name, uint16_t language) {
    return Resource{type, name, language, 0, Bytes{1, 2, 3}};
  };
  std::vector<Resource> scrambled = {
      resource(resourceId(24), resourceId(1), 0),   resource(named(u"ZED"), resourceId(5), 9),
      resource(resourceId(3), resourceId(7), 1033), resource(named(u"ABC"), named(u"B"), 0),
      resource(resourceId(3), named(u"X"), 0),      resource(resourceId(3), resourceId(2), 1033),
      resource(resourceId(3), resourceId(2), 7),    resource(named(u"ABC"), named(u"A"), 0)};
  Bytes section = writeResourceSection(scrambled, 0x5000);
  // The root: two named types, then two ids, in that order.
  EXPECT_EQ(2, u16At(section, 12, ""));
  EXPECT_EQ(2, u16At(section, 14, ""));
  EXPECT_EQ(3u, u32At(section, 16 + 8 * 2, ""));
  EXPECT_EQ(24u, u32At(section, 16 + 8 * 3, ""));
  Bytes exe = makeTestExe(TestExe{}, scrambled);
  std::vector<Resource> read = readResources(readPeFile(exe));
  std::vector<std::string> order;
  for (const Resource& r : read)
    order.push_back(describeName(r.type) + "/" + describeName(r.name) + "/" +
                    std::to_string(r.language));
  EXPECT_EQ((std::vector<std::string>{"\"ABC\"/\"A\"/0", "\"ABC\"/\"B\"/0", "\"ZED\"/5/9",
                                      "3/\"X\"/0", "3/2/7", "3/2/1033", "3/7/1033", "24/1/0"}),
            order);
  for (const Resource& r : read) EXPECT_EQ((Bytes{1, 2, 3}), r.data);
}

TEST(VersionRecord, IsWhatWindresWritesForTheSameRecord) {
  VersionRecord record;
  record.fileVersion = record.productVersion = parseVersionNumbers("2.1", "--file-version");
  record.strings = {{"CompanyName", "Example Ltd"}, {"FileDescription", "Ex"}};
  record.translations = {0x409 | 1200u << 16};
  EXPECT_EQ(fromHex("440134000000560053005f00560045005200530049004f004e005f0049004e0046004f00000000"
                    "00bd04effe00000100"
                    "010002000000000001000200000000003f00000000000000040004000100000000000000000000"
                    "0000000000a2000000"
                    "010053007400720069006e006700460069006c00650049006e0066006f0000007e000000010030"
                    "003400300039003000"
                    "340042003000000038000c00010043006f006d00700061006e0079004e0061006d006500000000"
                    "004500780061006d00"
                    "70006c00650020004c007400640000002e0003000100460069006c006500440065007300630072"
                    "006900700074006900"
                    "6f006e00000000004500780000000000440000000100560061007200460069006c00650049006e"
                    "0066006f0000000000"
                    "2400040000005400720061006e0073006c006100740069006f006e00000000000904b004"),
            versionRecordData(record));
}

TEST(VersionRecord, StringNodesCountTheirPaddingButNotWhatFollowsAndReadBack) {
  struct Row {
    std::string key, value;
    uint16_t length, valueLength;
  };
  const Row rows[] = {
      {"A", "", 6 + 4 + 2 + 2, 1},                  // key "A\0" is padded by 2
      {"AB", "x", 6 + 6 + 4, 2},                    // key "AB\0" ends on a 4-byte step
      {"Key", "Société", 6 + 8 + 2 + 16, 8},        // UTF-8 in, UTF-16 units counted
      {"K", "\xF0\x9F\x98\x80", 6 + 4 + 2 + 6, 3},  // a surrogate pair is two units
  };
  for (const Row& row : rows) {
    VersionRecord record;
    record.strings = {{row.key, row.value}};
    Bytes data = versionRecordData(record);
    size_t table = 92 + 36, string = table + 24;  // after the fixed part and two keys
    EXPECT_EQ(row.length, u16At(data, string, "")) << row.key;
    EXPECT_EQ(row.valueLength, u16At(data, string + 2, "")) << row.key;
    EXPECT_EQ(string + row.length, table + u16At(data, table, "")) << row.key;
    EXPECT_EQ(record.strings, readVersionRecord(data).strings) << row.key;
  }
}

TEST(VersionRecord, VersionsAreOneToFourNumbersUpTo65535) {
  EXPECT_EQ("2.1.0.0", showVersionNumbers(parseVersionNumbers("2.1", "v")));
  EXPECT_EQ("1.2.3.65535", showVersionNumbers(parseVersionNumbers("1.2.3.65535", "v")));
  for (const char* bad : {"", "2.x", "1.2.3.4.5", "65536", "1..2", "1.", ".1", "-1", "1.2 "})
    EXPECT_THROW(parseVersionNumbers(bad, "v"), BrandError) << bad;
}

TEST(VersionRecord, EachVersionDefaultsToTheOtherAndTheNamesToTheExes) {
  GivenVersion two{"2.1", parseVersionNumbers("2.1", "v")};
  VersionRecord record = defaultedVersionRecord({}, two, {{"ProductName", "V"}}, "my.viewer.exe");
  EXPECT_EQ("2.1.0.0", showVersionNumbers(record.fileVersion));
  EXPECT_EQ((VersionStrings{{"FileDescription", "V"},
                            {"FileVersion", "2.1"},
                            {"ProductName", "V"},
                            {"ProductVersion", "2.1"},
                            {"InternalName", "my.viewer"},
                            {"OriginalFilename", "my.viewer.exe"}}),
            record.strings);
  record = defaultedVersionRecord(
      two, {}, {{"FileDescription", "D"}, {"InternalName", "i"}, {"OriginalFilename", "o"}}, "x");
  EXPECT_EQ("2.1.0.0", showVersionNumbers(record.productVersion));
  EXPECT_EQ((VersionStrings{{"FileDescription", "D"},
                            {"FileVersion", "2.1"},
                            {"ProductVersion", "2.1"},
                            {"InternalName", "i"},
                            {"OriginalFilename", "o"}}),
            record.strings);
}

TEST(IconGroup, HoldsEachImagesEntryWithItsResourceIdForItsOffset) {
  std::vector<IconImage> images = {{16, 16, 0, 0, 1, 32, dibImage(9)},
                                   {0, 0, 0, 0, 1, 32, pngImage()}};
  EXPECT_EQ(fromHex("000001000200"
                    "101000000100200068080000"
                    "0700"
                    "000000000100200040000000"
                    "0900"),
            iconGroupData(images, {7, 9}));
}

static const Resource* find(const std::vector<Resource>& resources, uint16_t type, uint16_t id) {
  for (const Resource& r : resources)
    if (r.type.id == type && r.name.id == id) return &r;
  return nullptr;
}

TEST(BrandExe, ReplacesTheFirstGroupDropsImagesNoOtherGroupUsesAndLaysOutTheRest) {
  for (bool plus : {false, true}) {
    SCOPED_TRACE(plus ? "PE32+" : "PE32");
    Bytes exe = makeTestExe(TestExe{plus}, launcherLikeResources());
    BrandRequest request;
    request.icon = {{16, 16, 0, 0, 1, 32, dibImage(9)}, {0, 0, 0, 0, 1, 32, pngImage()}};
    Bytes branded = brandExe(exe, request);
    PeFile pe = readPeFile(branded);
    std::vector<Resource> resources = readResources(pe);
    std::vector<GroupEntry> group = readIconGroup(find(resources, kIconGroup, 101)->data);
    ASSERT_EQ(2u, group.size());
    EXPECT_EQ(dibImage(9), find(resources, kIconImage, group[0].imageId)->data);
    EXPECT_EQ(pngImage(), find(resources, kIconImage, group[1].imageId)->data);
    for (const Resource& r : resources)
      EXPECT_NE(dibImage(1), r.data) << "image 1 belonged to group 101 alone";
    EXPECT_EQ(dibImage(3), find(resources, kIconImage, 3)->data) << "group 102 still uses image 3";
    EXPECT_EQ(find(readResources(readPeFile(exe)), kIconGroup, 102)->data,
              find(resources, kIconGroup, 102)->data);
    // What precedes the resource section stays, but for the fields that describe it.
    const Section& code = pe.sections[0];
    EXPECT_TRUE(std::equal(exe.begin() + code.rawPointer,
                           exe.begin() + code.rawPointer + code.rawSize,
                           branded.begin() + code.rawPointer));
    const Section& reloc = pe.sections[2];
    EXPECT_EQ(reloc.virtualAddress, directoryRva(pe, kRelocationDirectory));
    EXPECT_EQ(0u, reloc.virtualAddress % pe.sectionAlignment);
    EXPECT_EQ(0u, reloc.rawPointer % pe.fileAlignment);
    EXPECT_EQ(0x10u, branded[reloc.rawPointer + 1]) << "the relocations moved whole";
    EXPECT_EQ(alignUp(reloc.virtualAddress + reloc.virtualSize, pe.sectionAlignment),
              u32At(branded, pe.optionalHeader + kSizeOfImage, ""));
    EXPECT_EQ(pe.sections[1].rawSize + pe.sections[2].rawSize,
              u32At(branded, pe.optionalHeader + kSizeOfInitializedData, ""));
    EXPECT_EQ(peChecksum(branded, pe.optionalHeader + kCheckSum),
              u32At(branded, pe.optionalHeader + kCheckSum, ""));
    EXPECT_EQ(branded, brandExe(branded, request)) << "branding again changes nothing";
  }
}

TEST(BrandExe, KeepsAChecksumOfZeroAndDropsASignatureOnlyWhenAsked) {
  BrandRequest request;
  request.icon = {{16, 16, 0, 0, 1, 32, dibImage(9)}};
  Bytes unsummed = brandExe(makeTestExe(TestExe{false, false}, launcherLikeResources()), request);
  EXPECT_EQ(0u, u32At(unsummed, readPeFile(unsummed).optionalHeader + kCheckSum, ""));
  Bytes signedExe = makeTestExe(TestExe{false, true, true, true}, launcherLikeResources());
  EXPECT_THROW(brandExe(signedExe, request), BrandError);
  request.removeSignature = true;
  Bytes unsigned_ = brandExe(signedExe, request);
  EXPECT_EQ(0u, directoryRva(readPeFile(unsigned_), kCertificateDirectory));
  EXPECT_EQ(brandExe(makeTestExe(TestExe{}, launcherLikeResources()), request), unsigned_);
  Bytes padded = makeTestExe(TestExe{false, true, true, true, 4}, launcherLikeResources());
  EXPECT_EQ(unsigned_, brandExe(padded, request)) << "zeros aligning the signature go with it";
}

// As a message table (type 11), which an exe carries for Event Viewer's texts.
TEST(BrandExe, KeepsTheResourcesItDoesNotBrandByteForByte) {
  Resource messages{resourceId(11), resourceId(1), 1031, 0, Bytes(37, 0x4D)};
  messages.data[0] = 1;  // one block of messages
  std::vector<Resource> resources = launcherLikeResources();
  resources.push_back(messages);
  BrandRequest request;
  request.icon = {{16, 16, 0, 0, 1, 32, dibImage(9)}};
  request.hasVersion = true;
  request.manifest = "<assembly/>";
  for (bool plus : {false, true}) {
    std::vector<Resource> branded =
        readResources(readPeFile(brandExe(makeTestExe(TestExe{plus}, resources), request)));
    const Resource* kept = find(branded, 11, 1);
    ASSERT_NE(nullptr, kept) << plus;
    EXPECT_EQ(messages.data, kept->data) << plus;
    EXPECT_EQ(1031, kept->language) << plus;
  }
}

TEST(ManifestXml, WellFormedTextPassesAndEachFaultIsNamed) {
  for (const char* good : {"<a/>",
                           "<?xml version=\"1.0\"?>\n<!-- c --><a x='1' y=\"&amp;&#x41;&#65;\">"
                           "<b >t<![CDATA[<&>]]></b ></a>\n"})
    EXPECT_EQ("", xmlFault(good)) << good;
  const struct {
    const char* text;
    const char* fault;
  } bad[] = {
      {"<a>", "<a> is not closed"},
      {"<a></b>", "</b> closes no open element"},
      {"<a x=1/>", "not quoted"},
      {"<a x=\"1\" x=\"2\"/>", "given twice"},
      {"<a x=\"1\"y=\"2\"/>", "separated by white space"},
      {"<a/><b/>", "a second root element"},
      {"text<a/>", "text outside the root element"},
      {"<a>&nope</a>", "starts no reference"},
      {"<a x=\"<\"/>", "a '<' in the value"},
      {"<!DOCTYPE a><a/>", "a declaration"},
      {"<a>\n<!-- </a>", "a comment is not closed (line 2)"},
      {"", "no root element"},
  };
  for (const auto& row : bad)
    EXPECT_NE(std::string::npos, xmlFault(row.text).find(row.fault))
        << row.text << ": " << xmlFault(row.text);
}

// --- bad input, through the whole tool ------------------------------------

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("corvane-brand-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    write("launcher.exe", makeTestExe(TestExe{}, launcherLikeResources()));
    Bytes image = dibImage(5), ico = fromHex(
                                   "000001000100"
                                   "101000000100200000000000"
                                   "16000000");
    putU32(ico, 14, (uint32_t)image.size());
    ico.insert(ico.end(), image.begin(), image.end());
    write("good.ico", ico);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const std::string& name) { return (dir / name).string(); }
  void write(const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write((const char*)bytes.data(), (std::streamsize)bytes.size());
  }
  Bytes read(const std::string& name) {
    std::ifstream stream(dir / name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  }
  int run(std::vector<std::string> args, std::string* message) {
    std::ostringstream out, err;
    int status = runBrandTool(args, out, err);
    *message = err.str();
    return status;
  }
  fs::path dir;
};

TEST_F(BadInput, EachGetsOneLineSayingWhatIsWrongAndNoOutput) {
  Bytes exe = read("launcher.exe"), ico = read("good.ico");
  write("text.exe", Bytes{'h', 'e', 'l', 'l', 'o'});
  write("truncated.exe", Bytes(exe.begin(), exe.begin() + 0x500));
  write("bare.exe", makeTestExe(TestExe{false, true, false}, {}));
  write("signed.exe", makeTestExe(TestExe{false, true, true, true}, launcherLikeResources()));
  // Whatever follows the sections but a signature: branding would lose it.
  auto withTail = [](Bytes bytes, size_t length, uint8_t fill) {
    bytes.resize(bytes.size() + length, fill);
    return bytes;
  };
  write("tail1.exe", withTail(exe, 1, 0));
  write("tail511.exe", withTail(exe, 511, 0x41));
  write("after-signature.exe", withTail(read("signed.exe"), 8, 0));
  write("padded-signature.exe",
        makeTestExe(TestExe{false, true, true, true, 8}, launcherLikeResources()));
  // The code's addresses follow the resources', where they would grow.
  PeFile laidOut = readPeFile(exe);
  const Section& resources = laidOut.sections[laidOut.resourceSection];
  Bytes codeAfter = exe;
  putU32(codeAfter, laidOut.sections[0].headerOffset + 12,
         resources.virtualAddress + resources.virtualSize);
  write("code-after.exe", codeAfter);
  write("short.ico", Bytes(ico.begin(), ico.begin() + 4));
  Bytes lying = ico;
  lying[4] = 3;  // three images, one entry
  write("count.ico", lying);
  lying = ico;
  lying[14] = 0xFF;  // more bytes than the file holds
  write("size.ico", lying);
  write("none.ico", fromHex("000001000000"));
  write("empty.manifest", Bytes{' ', '\n'});
  const std::string unclosed = "<assembly><trustInfo></assembly>";
  write("unclosed.manifest", Bytes(unclosed.begin(), unclosed.end()));
  const std::string longText(40000, 'x');
  const struct {
    std::vector<std::string> options;
    std::string input, message;
  } rows[] = {
      {{"--file-version", "1"}, "text.exe", "not a PE file"},
      {{"--file-version", "1"}, "truncated.exe", "truncated"},
      {{"--file-version", "1"}, "bare.exe", "no resource section"},
      {{"--file-version", "1"}, "signed.exe", "--remove-signature"},
      {{"--file-version", "1"}, "tail1.exe", "not a signature (1 byte)"},
      {{"--file-version", "1"}, "tail511.exe", "not a signature (511 bytes)"},
      {{"--remove-signature"}, "after-signature.exe", "after the signature is not part of it"},
      {{"--remove-signature"}, "padded-signature.exe", "not a signature (8 bytes)"},
      {{"--file-version", "1"}, "code-after.exe", "lies after the resource section in memory"},
      {{"--icon", path("short.ico")}, "launcher.exe", "the icon file is truncated"},
      {{"--icon", path("count.ico")}, "launcher.exe", "image 2 of the icon file lies past the end"},
      {{"--icon", path("size.ico")}, "launcher.exe", "lies past the end of the file"},
      {{"--icon", path("none.ico")}, "launcher.exe", "holds no images"},
      {{"--icon", path("missing.ico")}, "launcher.exe", "cannot read the icon file"},
      {{"--file-version", "2.x"}, "launcher.exe", "\"2.x\" is not a version"},
      {{"--product-version", "2.x"}, "launcher.exe", "--product-version \"2.x\" is not"},
      {{"--file-version", "1", "--company", longText},
       "launcher.exe",
       "too long for the version record"},
      {{"--manifest", path("missing.manifest")}, "launcher.exe", "cannot read the manifest"},
      {{"--manifest", path("empty.manifest")}, "launcher.exe", "is empty"},
      {{"--manifest", path("unclosed.manifest")}, "launcher.exe", "is not well-formed XML"},
  };
  for (const auto& row : rows) {
    for (const std::string& output : {path("out.exe"), path(row.input)}) {
      Bytes before = read(row.input);
      std::vector<std::string> args = {path(row.input), output};
      args.insert(args.end(), row.options.begin(), row.options.end());
      std::string message;
      EXPECT_EQ(1, run(args, &message)) << row.message;
      EXPECT_NE(std::string::npos, message.find(row.message)) << message;
      EXPECT_EQ(1, std::count(message.begin(), message.end(), '\n')) << message;
      EXPECT_FALSE(fs::exists(path("out.exe"))) << row.message;
      EXPECT_EQ(before, read(row.input)) << "branded in place: " << row.message;
    }
  }
  EXPECT_EQ(std::vector<fs::path>{}, [&] {
    std::vector<fs::path> leftovers;
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.path().string().find("corvane-brand-new") != std::string::npos)
        leftovers.push_back(entry.path());
    return leftovers;
  }());
}

TEST_F(BadInput, InPlaceBrandingReplacesTheExeWholeAndKeepsItsPermissions) {
  const fs::perms mode = fs::perms::owner_all | fs::perms::group_read;
  fs::permissions(dir / "launcher.exe", mode);
  std::string message;
  ASSERT_EQ(0, run({path("launcher.exe"), path("launcher.exe"), "--file-version", "3"}, &message))
      << message;
  EXPECT_EQ(mode, fs::status(dir / "launcher.exe").permissions());
  EXPECT_EQ("3.0.0.0",
            showVersionNumbers(
                readVersionRecord(
                    find(readResources(readPeFile(read("launcher.exe"))), kVersionRecord, 1)->data)
                    .fileVersion));
  EXPECT_EQ(
      2, run({path("launcher.exe"), path("launcher.exe"), "--execution-level", "root"}, &message));
  EXPECT_NE(std::string::npos, message.find("none of asInvoker")) << message;
}
