#include "brand/version_record.h"

#include <stdio.h>

#include "brand/utf16.h"

static const uint32_t kFixedSignature = 0xFEEF04BD;
static const size_t kFixedSize = 52;
static const uint32_t kApplication = 1;  // the file type
enum NodeType : uint16_t { kBinary = 0, kText = 1 };

VersionNumbers parseVersionNumbers(const std::string& text, const std::string& option) {
  VersionNumbers numbers{};
  size_t at = 0;
  for (int part = 0;; ++part) {
    size_t digits = 0;
    unsigned long value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
      value = value * 10 + (unsigned long)(text[at++] - '0');
      ++digits;
    }
    if (part >= 4 || !digits || value > 0xFFFF)
      fail(option + " \"" + text +
           "\" is not a version: one to four numbers of 0 to 65535 "
           "between dots");
    numbers.part[part] = (uint16_t)value;
    if (at == text.size()) return numbers;
    if (text[at++] != '.' || at == text.size())
      fail(option + " \"" + text +
           "\" is not a version: one to four numbers of 0 to 65535 "
           "between dots");
  }
}

std::string showVersionNumbers(const VersionNumbers& n) {
  return std::to_string(n.part[0]) + "." + std::to_string(n.part[1]) + "." +
         std::to_string(n.part[2]) + "." + std::to_string(n.part[3]);
}

// --- defaults ------------------------------------------------------------

static std::string valueOf(const VersionStrings& strings, const std::string& key) {
  for (const auto& [name, value] : strings)
    if (name == key) return value;
  return "";
}

static std::string valueOr(const VersionStrings& given, const std::string& key,
                           const std::string& fallback) {
  std::string value = valueOf(given, key);
  return value.empty() ? fallback : value;
}

std::string stringTableName(uint32_t translation) {
  char name[9];
  snprintf(name, sizeof name, "%04X%04X", translation & 0xFFFF, translation >> 16);
  return name;
}

VersionRecord defaultedVersionRecord(const GivenVersion& file, const GivenVersion& product,
                                     const VersionStrings& given, const std::string& exeName) {
  const GivenVersion& fileVersion = file.text.empty() ? product : file;
  const GivenVersion& productVersion = product.text.empty() ? fileVersion : product;
  size_t dot = exeName.rfind('.');
  std::string stem = dot != std::string::npos && dot > 0 ? exeName.substr(0, dot) : exeName;
  std::string productName = valueOf(given, "ProductName");
  const std::pair<std::string, std::string> strings[] = {
      {"FileDescription", valueOr(given, "FileDescription", productName)},
      {"FileVersion", fileVersion.text},
      {"ProductName", productName},
      {"ProductVersion", productVersion.text},
      {"CompanyName", valueOf(given, "CompanyName")},
      {"LegalCopyright", valueOf(given, "LegalCopyright")},
      {"InternalName", valueOr(given, "InternalName", stem)},
      {"OriginalFilename", valueOr(given, "OriginalFilename", exeName)},
  };
  VersionRecord record;
  record.fileVersion = fileVersion.numbers;
  record.productVersion = productVersion.numbers;
  for (const auto& pair : strings)
    if (!pair.second.empty()) record.strings.push_back(pair);
  return record;
}

// --- writing -------------------------------------------------------------

// Starts a node; its length is set by endNode once its children are written.
static size_t beginNode(Bytes& out, const std::u16string& key, uint16_t valueLength,
                        NodeType type) {
  padTo(out, 4);
  size_t start = out.size();
  appendU16(out, 0);
  appendU16(out, valueLength);
  appendU16(out, type);
  for (char16_t unit : key) appendU16(out, unit);
  appendU16(out, 0);
  padTo(out, 4);
  return start;
}

static void endNode(Bytes& out, size_t start) {
  if (out.size() - start > 0xFFFF)
    fail("the version strings are too long for the version record (" +
         std::to_string(out.size() - start) + " bytes; it holds at most 65535)");
  putU16(out, start, (uint16_t)(out.size() - start));
}

static void textNode(Bytes& out, const std::string& key, const std::string& value) {
  std::u16string text = utf16FromUtf8(value, key);
  if (text.size() + 1 > 0xFFFF) fail(key + " is too long for the version record");
  size_t start = beginNode(out, utf16FromUtf8(key, "a version string's name"),
                           (uint16_t)(text.size() + 1), kText);
  for (char16_t unit : text) appendU16(out, unit);
  appendU16(out, 0);
  endNode(out, start);
}

static void appendFixed(Bytes& out, const VersionRecord& r) {
  auto high = [](const VersionNumbers& n) { return (uint32_t)n.part[0] << 16 | n.part[1]; };
  auto low = [](const VersionNumbers& n) { return (uint32_t)n.part[2] << 16 | n.part[3]; };
  for (uint32_t field : {kFixedSignature, 0x00010000u, high(r.fileVersion), low(r.fileVersion),
                         high(r.productVersion), low(r.productVersion), 0x3Fu, 0u, 0x00040004u,
                         kApplication, 0u, 0u, 0u})
    appendU32(out, field);
}

Bytes versionRecordData(const VersionRecord& record) {
  Bytes out;
  size_t root = beginNode(out, u"VS_VERSION_INFO", kFixedSize, kBinary);
  appendFixed(out, record);
  size_t stringInfo = beginNode(out, u"StringFileInfo", 0, kText);
  size_t table = beginNode(out, utf16FromUtf8(record.table, "the string table"), 0, kText);
  for (const auto& [key, value] : record.strings) textNode(out, key, value);
  endNode(out, table);
  endNode(out, stringInfo);
  size_t varInfo = beginNode(out, u"VarFileInfo", 0, kText);
  size_t translation =
      beginNode(out, u"Translation", (uint16_t)(4 * record.translations.size()), kBinary);
  for (uint32_t pair : record.translations) appendU32(out, pair);
  endNode(out, translation);
  endNode(out, varInfo);
  endNode(out, root);
  return out;
}

// --- reading -------------------------------------------------------------

struct Node {
  std::u16string key;
  uint16_t valueLength, type;
  size_t value, end;  // offsets: the value's start, the node's end
};

static Node readNode(const Bytes& data, size_t at, size_t limit) {
  Node node{};
  uint16_t length = u16At(data, at, "the version record");
  if (length < 6 || length > limit - at) fail("the version record is malformed");
  node.end = at + length;
  node.valueLength = u16At(data, at + 2, "the version record");
  node.type = u16At(data, at + 4, "the version record");
  size_t key = at + 6;
  for (;; key += 2) {
    if (key + 2 > node.end) fail("the version record is malformed: a key runs past its node");
    char16_t unit = (char16_t)u16At(data, key, "the version record");
    if (!unit) break;
    node.key += unit;
  }
  node.value = (key + 2 + 3) & ~(size_t)3;
  return node;
}

// The children of the node: from the end of its value on, each 4-aligned.
static std::vector<Node> children(const Bytes& data, const Node& node, size_t valueBytes) {
  std::vector<Node> nodes;
  for (size_t at = (node.value + valueBytes + 3) & ~(size_t)3; at + 6 <= node.end;) {
    nodes.push_back(readNode(data, at, node.end));
    at = (nodes.back().end + 3) & ~(size_t)3;
  }
  return nodes;
}

static std::string textValue(const Bytes& data, const Node& node) {
  std::u16string text;
  for (size_t i = 0; i < node.valueLength && node.value + 2 * i + 2 <= node.end; ++i) {
    char16_t unit = (char16_t)u16At(data, node.value + 2 * i, "");
    if (!unit) break;
    text += unit;
  }
  return utf8FromUtf16(text);
}

static VersionNumbers fromFields(uint32_t high, uint32_t low) {
  return VersionNumbers{
      {(uint16_t)(high >> 16), (uint16_t)high, (uint16_t)(low >> 16), (uint16_t)low}};
}

VersionRecord readVersionRecord(const Bytes& data) {
  Node root = readNode(data, 0, data.size());
  if (root.key != u"VS_VERSION_INFO") fail("the version record is malformed: no VS_VERSION_INFO");
  VersionRecord record;
  record.table.clear();  // only what the data holds
  record.translations.clear();
  if (root.valueLength >= kFixedSize && root.value + kFixedSize <= root.end &&
      u32At(data, root.value, "") == kFixedSignature) {
    size_t f = root.value;
    record.fileVersion = fromFields(u32At(data, f + 8, ""), u32At(data, f + 12, ""));
    record.productVersion = fromFields(u32At(data, f + 16, ""), u32At(data, f + 20, ""));
  }
  for (const Node& info : children(data, root, root.valueLength)) {
    if (info.key == u"StringFileInfo") {
      for (const Node& table : children(data, info, 0)) {
        record.table = utf8FromUtf16(table.key);
        for (const Node& text : children(data, table, 0))
          record.strings.push_back({utf8FromUtf16(text.key), textValue(data, text)});
      }
    } else if (info.key == u"VarFileInfo") {
      for (const Node& var : children(data, info, 0))
        for (size_t i = 0; i + 4 <= var.valueLength && var.value + i + 4 <= var.end; i += 4)
          if (var.key == u"Translation")
            record.translations.push_back(u32At(data, var.value + i, ""));
    }
  }
  return record;
}
