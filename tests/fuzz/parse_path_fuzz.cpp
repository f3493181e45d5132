// Fuzzes the expansion of $NAME references: a value, the quoting flag and an
// environment.
//
// What is checked, against a model that cuts the value into a head (before
// the first '$'), a name and a tail (from the separator on) and lays the
// expansion out from a table of pieces, one row per quoting case:
// - a value without '$', or whose name is empty or unset, comes back exactly
//   as it was (backslashes too);
// - otherwise the result is the row's pieces, head, variable and tail in
//   order, with the quotes where the row puts them (around the whole token
//   when the value has no '=', after the head when it has one), the tail's
//   separator dropped after a variable ending in '/' or '\', and every
//   backslash turned into a slash;
// - in debug mode exactly one box per value with a '$': "Parse Path" with
//   the value and the pieces before the slashes were turned, or "Can't find
//   variable" with the name; no box outside debug mode or without a '$'.
// The environment is the model's own table of the entries as the input gives
// them, names compared with ASCII letters folded, the last entry of a name
// winning. The result is compared piece by piece, so nothing is built unless
// a comparison fails.
//
// Input: a flags byte (bit 0 quoting, bit 1 debug mode), the value up to a
// NUL, then NUL-separated environment entries NAME=VALUE (an entry without
// '=' sets an empty value). Entries after the 16th are ignored: more of them
// only make each run slower.
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string_view>

#include "common/launch_settings.h"
#include "config/parse_path.h"
#include "fuzz_support.h"
#include "platform/fake_platform.h"

struct Variable {
  std::string_view name;
  std::string_view value;
};

static bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? (char)(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

static const std::string_view* variableNamed(const std::vector<Variable>& environment,
                                             const std::string& name) {
  if (name.empty()) return nullptr;
  for (size_t i = environment.size(); i-- > 0;)
    if (sameNameIgnoringCase(environment[i].name, name)) return &environment[i].value;
  return nullptr;
}

// The value cut at its first '$': head, then the name, then the tail, which
// starts at the first backslash after the '$', else at the first slash after
// it, else is empty.
struct Reference {
  std::string head;
  std::string name;
  std::string tail;
};

static bool findReference(const std::string& value, Reference* reference) {
  size_t dollar = value.find('$');
  if (dollar == std::string::npos) return false;
  size_t firstSlash = std::string::npos;
  size_t firstBackslash = std::string::npos;
  for (size_t i = value.size(); i-- > dollar + 1;) {
    if (value[i] == '/') firstSlash = i;
    if (value[i] == '\\') firstBackslash = i;
  }
  size_t tail = firstBackslash != std::string::npos ? firstBackslash
                : firstSlash != std::string::npos  ? firstSlash
                                                   : value.size();
  reference->head = value.substr(0, dollar);
  reference->name = value.substr(dollar + 1, tail - dollar - 1);
  reference->tail = value.substr(tail);
  return true;
}

enum PieceKind { kHead, kVariable, kTail, kQuote, kNoPiece };
// The layouts of an expansion: unquoted; quoted, the value holding no '=';
// quoted, the value holding an '=' somewhere.
static const PieceKind kLayouts[3][5] = {
    {kHead, kVariable, kTail, kNoPiece, kNoPiece},
    {kQuote, kHead, kVariable, kTail, kQuote},
    {kHead, kQuote, kVariable, kTail, kQuote},
};

struct Piece {
  const char* text;
  size_t length;
};

struct Expansion {
  Piece pieces[5];
  int count;
};

static Expansion layOut(const std::string& value, const Reference& reference,
                        std::string_view variable, bool quoting) {
  size_t equals = value.find('=');
  bool hasEquals = equals != std::string::npos;
  if (hasEquals && equals < reference.head.size()) quoting = true;
  bool quoted = quoting && variable.find(' ') != std::string::npos;
  int layout = !quoted ? 0 : hasEquals ? 2 : 1;

  char last = variable.empty() ? '\0' : variable[variable.size() - 1];
  size_t skip = (last == '/' || last == '\\') && !reference.tail.empty() ? 1 : 0;
  Expansion expansion = {};
  for (PieceKind kind : kLayouts[layout]) {
    Piece piece = {"\"", 1};
    if (kind == kNoPiece) break;
    if (kind == kHead) piece = {reference.head.data(), reference.head.size()};
    if (kind == kVariable) piece = {variable.data(), variable.size()};
    if (kind == kTail) piece = {reference.tail.data() + skip, reference.tail.size() - skip};
    expansion.pieces[expansion.count++] = piece;
  }
  return expansion;
}

// Whether text, from *at on, goes on with the piece (with its backslashes
// read as slashes when turned); moves *at past it.
static bool continuesWith(const char* text, size_t length, size_t* at, Piece piece,
                          bool turned) {
  if (length - *at < piece.length) return false;
  for (size_t i = 0; i < piece.length; ++i) {
    char expected = turned && piece.text[i] == '\\' ? '/' : piece.text[i];
    if (text[*at + i] != expected) return false;
  }
  *at += piece.length;
  return true;
}

static bool isExpansion(const char* text, size_t length, const Expansion& expansion,
                        bool turned) {
  size_t at = 0;
  for (int i = 0; i < expansion.count; ++i)
    if (!continuesWith(text, length, &at, expansion.pieces[i], turned)) return false;
  return at == length;
}

static std::string joined(const Expansion& expansion, bool turned) {
  std::string text;
  for (int i = 0; i < expansion.count; ++i) text.append(expansion.pieces[i].text, expansion.pieces[i].length);
  if (turned)
    for (char& c : text)
      if (c == '\\') c = '/';
  return text;
}

static void checkExpansionBox(const std::string& value, const Expansion& expansion) {
  const auto& boxes = fake().boxes;
  FUZZ_EXPECT(boxes.size() == 1, "one debug box per expansion");
  FUZZ_EXPECT_EQ(std::string("Parse Path"), boxes[0].caption, "caption of the expansion box");
  FUZZ_EXPECT(boxes[0].style == kBoxOk, "the expansion box has the OK button alone");
  const std::string& text = boxes[0].text;
  static const char kOpening[] = "arg [";
  static const char kMiddle[] = "] expanded to [";
  static const char kClosing[] = "]\n";
  size_t at = 0;
  bool shown = continuesWith(text.data(), text.size(), &at, {kOpening, strlen(kOpening)}, false) &&
               continuesWith(text.data(), text.size(), &at, {value.data(), value.size()}, false) &&
               continuesWith(text.data(), text.size(), &at, {kMiddle, strlen(kMiddle)}, false);
  for (int i = 0; shown && i < expansion.count; ++i)
    shown = continuesWith(text.data(), text.size(), &at, expansion.pieces[i], false);
  shown = shown && continuesWith(text.data(), text.size(), &at, {kClosing, strlen(kClosing)}, false);
  if (!shown || at != text.size())
    fuzzFailure("text of the expansion box",
                kOpening + value + kMiddle + joined(expansion, false) + kClosing, text);
}

static void checkUnsetBox(const Reference& reference) {
  const auto& boxes = fake().boxes;
  FUZZ_EXPECT(boxes.size() == 1, "one debug box per unset variable");
  FUZZ_EXPECT_EQ(std::string("Can't find variable"), boxes[0].caption, "caption of the unset box");
  FUZZ_EXPECT(boxes[0].style == kBoxOk, "the unset box has the OK button alone");
  FUZZ_EXPECT_EQ(reference.name, boxes[0].text, "text of the unset box");
}

static void check(const std::string& value, bool quoting, const std::vector<Variable>& environment,
                  const char* result) {
  Reference reference;
  bool hasReference = findReference(value, &reference);
  const std::string_view* variable = hasReference ? variableNamed(environment, reference.name) : nullptr;
  if (!variable) {
    FUZZ_EXPECT_EQ(value, std::string(result), "a value without a set variable comes back as it was");
    if (!settings.debug || !hasReference)
      FUZZ_EXPECT(fake().boxes.empty(), "no box without debug mode or without a '$'");
    else
      checkUnsetBox(reference);
    return;
  }
  Expansion expansion = layOut(value, reference, *variable, quoting);
  if (!isExpansion(result, strlen(result), expansion, true))
    fuzzFailure("expanded value", joined(expansion, true), result);
  if (settings.debug)
    checkExpansionBox(value, expansion);
  else
    FUZZ_EXPECT(fake().boxes.empty(), "no boxes outside debug mode");
}

// The environment entries, NUL-separated, at most kMostVariables of them.
static const size_t kMostVariables = 16;

static std::vector<Variable> takeEnvironment(const FuzzInput& input) {
  std::vector<Variable> environment;
  std::string_view rest((const char*)input.data + input.position, input.size - input.position);
  while (!rest.empty() && environment.size() < kMostVariables) {
    std::string_view entry = rest.substr(0, rest.find('\0'));
    rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
    size_t equals = entry.find('=');
    if (equals == std::string_view::npos)
      environment.push_back({entry, std::string_view()});
    else
      environment.push_back({entry.substr(0, equals), entry.substr(equals + 1)});
  }
  return environment;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input = fuzzInput(data, size);
  startFuzzRun();
  uint8_t flags = takeByte(&input);
  bool quoting = flags & 1;
  settings.debug = (flags & 2) != 0;
  std::string value = takeText(&input);
  std::vector<Variable> environment = takeEnvironment(input);
  for (const Variable& variable : environment)
    fakeSetEnvironment(std::string(variable.name), std::string(variable.value));

  char* result = parsePath(value.c_str(), quoting);
  check(value, quoting, environment, result);
  free(result);
  finishFuzzRun();
  return 0;
}
