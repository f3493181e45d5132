#include "brand/xml_check.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>
#include <vector>

struct XmlScan {
  const std::string& text;
  size_t at = 0;
  std::string fault;

  bool failed(const std::string& what) {
    size_t end = std::min(at, text.size());
    if (fault.empty())
      fault = what + " (line " +
              std::to_string(1 + std::count(text.begin(), text.begin() + end, '\n')) + ")";
    return false;
  }
  bool startsWith(const char* prefix) const {
    return text.compare(at, strlen(prefix), prefix) == 0;
  }
  bool skipPast(const char* end, const std::string& what) {
    size_t found = text.find(end, at);
    if (found == std::string::npos) return failed(what + " is not closed");
    at = found + strlen(end);
    return true;
  }
  void skipSpace() {
    while (at < text.size() && strchr(" \t\r\n", text[at])) ++at;
  }
};

static bool isNameChar(char c, bool first) {
  unsigned char u = (unsigned char)c;
  return isalpha(u) || c == '_' || c == ':' || u >= 0x80 ||
         (!first && (isdigit(u) || c == '-' || c == '.'));
}

static std::string name(XmlScan& s) {
  size_t start = s.at;
  while (s.at < s.text.size() && isNameChar(s.text[s.at], s.at == start)) ++s.at;
  return s.text.substr(start, s.at - start);
}

// After '&': a named or numeric reference up to ';'.
static bool reference(XmlScan& s) {
  size_t end = s.text.find(';', s.at);
  std::string body = end == std::string::npos ? "" : s.text.substr(s.at, end - s.at);
  bool numeric =
      body.size() > 1 && body[0] == '#' &&
      (body[1] == 'x' ? body.size() > 2 &&
                            body.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos
                      : body.find_first_not_of("0123456789", 1) == std::string::npos);
  if (!numeric && (body.empty() || body[0] == '#'))
    return s.failed("an '&' that starts no reference");
  for (size_t i = 0; !numeric && i < body.size(); ++i)
    if (!isNameChar(body[i], i == 0)) return s.failed("an '&' that starts no reference");
  s.at = end + 1;
  return true;
}

static bool attributes(XmlScan& s) {
  std::vector<std::string> seen;
  for (;;) {
    size_t before = s.at;
    s.skipSpace();
    if (s.startsWith(">") || s.startsWith("/>")) return true;
    if (s.at == before) return s.failed("attributes must be separated by white space");
    std::string attribute = name(s);
    if (attribute.empty()) return s.failed("a tag holds something that is not an attribute");
    if (std::find(seen.begin(), seen.end(), attribute) != seen.end())
      return s.failed("the attribute " + attribute + " is given twice");
    seen.push_back(attribute);
    s.skipSpace();
    if (!s.startsWith("=")) return s.failed("the attribute " + attribute + " has no value");
    ++s.at;
    s.skipSpace();
    char quote = s.at < s.text.size() ? s.text[s.at] : 0;
    if (quote != '"' && quote != '\'')
      return s.failed("the value of " + attribute + " is not quoted");
    for (++s.at; s.at < s.text.size() && s.text[s.at] != quote;) {
      if (s.text[s.at] == '<') return s.failed("a '<' in the value of " + attribute);
      if (s.text[s.at++] == '&' && !reference(s)) return false;
    }
    if (s.at++ >= s.text.size()) return s.failed("the value of " + attribute + " is not closed");
  }
}

// A comment, processing instruction or CDATA section; false when not closed.
static bool markup(XmlScan& s, bool inElement) {
  if (s.startsWith("<!--")) return s.skipPast("-->", "a comment");
  if (s.startsWith("<?")) return s.skipPast("?>", "a processing instruction");
  return inElement && s.skipPast("]]>", "a CDATA section");
}

// A start or end tag, after its '<'.
static bool tag(XmlScan& s, std::vector<std::string>& open, bool* rootSeen) {
  bool closing = s.startsWith("/");
  s.at += closing;
  std::string element = name(s);
  if (element.empty()) return s.failed("a '<' that starts no tag");
  if (closing) {
    if (open.empty() || open.back() != element)
      return s.failed("</" + element + "> closes no open element");
    open.pop_back();
    s.skipSpace();
    if (!s.startsWith(">")) return s.failed("</" + element + " is not closed");
    ++s.at;
    return true;
  }
  if (open.empty() && *rootSeen) return s.failed("a second root element <" + element + ">");
  *rootSeen = true;
  if (!attributes(s)) return false;
  if (s.startsWith("/>")) {
    s.at += 2;
  } else {
    ++s.at;
    open.push_back(element);
  }
  return true;
}

static bool document(XmlScan& s) {
  std::vector<std::string> open;
  bool rootSeen = false;
  while (s.at < s.text.size()) {
    char c = s.text[s.at];
    if (c != '<') {
      if (open.empty() && !strchr(" \t\r\n", c)) return s.failed("text outside the root element");
      ++s.at;
      if (c == '&' && !reference(s)) return false;
    } else if (s.startsWith("<!--") || s.startsWith("<?") ||
               (!open.empty() && s.startsWith("<![CDATA["))) {
      if (!markup(s, !open.empty())) return false;
    } else if (s.startsWith("<!")) {
      return s.failed("a declaration a manifest does not hold");
    } else {
      ++s.at;
      if (!tag(s, open, &rootSeen)) return false;
    }
  }
  if (!open.empty()) return s.failed("<" + open.back() + "> is not closed");
  return rootSeen || s.failed("no root element");
}

std::string xmlFault(const std::string& text) {
  XmlScan scan{text, 0, ""};
  document(scan);
  return scan.fault;
}
