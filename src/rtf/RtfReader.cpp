// Reads an RTF document into attributed text.
#include "rtf/RtfReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "rtf/AttributedStringBuilder.h"
#include "rtf/CodePageDecoder.h"
#include "rtf/RtfTokenizer.h"

namespace stratovane {
namespace {

// Deeper groups are read as part of the group at this depth, so the state stack stays small.
constexpr std::size_t maxGroupDepth = 1000;
constexpr std::string_view replacement = "\xEF\xBF\xBD";

enum class Destination { text, fontTable, colorTable, skip };

struct GroupState {
  TextAttributes attributes;
  Destination destination = Destination::text;
  std::optional<Destination> unicodeAlternative;  // where \ud text goes inside \upr
  int font = -1;                                  // -1: the document's default font
  std::int32_t fallbackLength = 1;                // \ucN
  bool hidden = false;
};

struct Font {
  int charsetCodePage = 0;
  int codePage = 0;  // \cpgN, before the character set
};

// Groups whose text is not part of the document. `\*` groups are skipped as well.
constexpr std::array<std::string_view, 68> skippedDestinations{
    "aftncn",
    "aftnsep",
    "aftnsepc",
    "annotation",
    "atnauthor",
    "atndate",
    "atnid",
    "atnref",
    "author",
    "bkmkend",
    "bkmkstart",
    "buptim",
    "colorschememapping",
    "comment",
    "company",
    "creatim",
    "datastore",
    "doccomm",
    "docvar",
    "falt",
    "fldinst",
    "filetbl",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "ftncn",
    "ftnsep",
    "ftnsepc",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "hlinkbase",
    "info",
    "keywords",
    "latentstyles",
    "listoverridetable",
    "listpicture",
    "listtable",
    "mmathPr",
    "nonshppict",
    "object",
    "objdata",
    "operator",
    "panose",
    "pgdsctbl",
    "pict",
    "pn",
    "printim",
    "private",
    "revtbl",
    "revtim",
    "rsidtbl",
    "rxe",
    "shp",
    "shpinst",
    "stylesheet",
    "subject",
    "tc",
    "template",
    "themedata",
    "title",
    "txe",
    "xe",
    "xmlnstbl",
};

struct Symbol {
  std::string_view word;
  std::string_view text;
};

constexpr std::array<Symbol, 24> symbols{{
    {"par", "\n"},         {"line", "\n"},          {"sect", "\n"},          {"page", "\n"},
    {"row", "\n"},         {"nestrow", "\n"},       {"tab", "\t"},           {"cell", "\t"},
    {"nestcell", "\t"},    {"emdash", "\u2014"},    {"endash", "\u2013"},    {"emspace", "\u2003"},
    {"enspace", "\u2002"}, {"qmspace", "\u2005"},   {"bullet", "\u2022"},    {"lquote", "\u2018"},
    {"rquote", "\u2019"},  {"ldblquote", "\u201C"}, {"rdblquote", "\u201D"}, {"zwj", "\u200D"},
    {"zwnj", "\u200C"},    {"ltrmark", "\u200E"},   {"rtlmark", "\u200F"},   {"zwbo", "\u200B"},
}};

bool isUnderline(std::string_view word) {
  // \ul and its styles (\uld, \uldb, \ulwave, ...), but not \ulc (its colour) or \ulnone.
  return word.starts_with("ul") && word != "ulc" && word != "ulnone";
}

void appendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Control characters other than tabs carry no text; line breaks come only from \par and \line.
bool isDroppedControl(std::uint32_t codePoint) {
  return codePoint < 0x20 && codePoint != '\t';
}

class DocumentReader {
 public:
  explicit DocumentReader(std::string_view data) : tokens_(data) {}

  AttributedString read();

 private:
  // The document's end: pending bytes decoded, a high surrogate left alone made U+FFFD.
  AttributedString finish();
  GroupState& state() { return stack_.back(); }
  bool emitting() { return state().destination == Destination::text && !state().hidden; }

  void groupStart();
  bool groupEnd();  // false once the document's outer group is closed
  void controlWord(std::string_view word, std::optional<std::int32_t> parameter);
  void controlSymbol(char symbol);
  void formatting(std::string_view word, std::optional<std::int32_t> parameter);
  void text(std::string_view bytes);
  void unicode(std::int32_t value);

  void appendBytes(std::string_view bytes);
  void flushBytes();
  void emit(std::string_view utf8);
  void emitCodePoint(std::uint32_t codePoint);
  int currentCodePage() const;
  CodePageDecoder& decoder(int codePage);

  RtfTokenizer tokens_;
  AttributedStringBuilder builder_;
  std::vector<GroupState> stack_{GroupState{}};
  std::size_t flatDepth_ = 0;
  std::int64_t fallbackLeft_ = 0;
  bool afterStar_ = false;

  int documentCodePage_ = 1252;
  int defaultFont_ = -1;
  std::map<int, Font> fonts_;
  int fontDefinition_ = -1;
  std::vector<std::optional<TextColor>> colors_;
  TextColor colorDefinition_;
  bool colorDefined_ = false;

  // Bytes of the document's code page, decoded together so double-byte characters stay whole.
  std::string pendingBytes_;
  int pendingCodePage_ = 0;
  std::optional<std::uint32_t> highSurrogate_;
  std::map<int, CodePageDecoder> decoders_;
};

AttributedString DocumentReader::read() {
  for (RtfToken token = tokens_.next(); token.kind != RtfToken::Kind::end; token = tokens_.next()) {
    using Kind = RtfToken::Kind;
    const bool wasAfterStar = std::exchange(afterStar_, false);
    if (token.kind == Kind::groupStart || token.kind == Kind::groupEnd) {
      fallbackLeft_ = 0;
    } else if (fallbackLeft_ > 0) {
      // The characters after \uN that readers without Unicode show instead.
      if (token.kind == Kind::text) {
        const std::size_t skipped =
            static_cast<std::size_t>(std::min<std::int64_t>(fallbackLeft_, token.text.size()));
        fallbackLeft_ -= static_cast<std::int64_t>(skipped);
        token.text.remove_prefix(skipped);
        if (token.text.empty()) continue;
      } else {
        --fallbackLeft_;
        if (token.kind == Kind::controlWord && token.text == "bin") {
          tokens_.skip(static_cast<std::size_t>(std::max(token.parameter.value_or(0), 0)));
        }
        continue;
      }
    }
    switch (token.kind) {
      case Kind::groupStart:
        groupStart();
        break;
      case Kind::groupEnd:
        if (!groupEnd()) return finish();
        break;
      case Kind::controlWord:
        if (wasAfterStar && token.text == "ud" && state().unicodeAlternative) {
          state().destination = *state().unicodeAlternative;
        }
        controlWord(token.text, token.parameter);
        break;
      case Kind::controlSymbol:
        controlSymbol(token.symbol);
        break;
      case Kind::hexByte: {
        const char byte = static_cast<char>(token.byte);
        appendBytes({&byte, 1});
        break;
      }
      case Kind::text:
        text(token.text);
        break;
      case Kind::end:
        break;
    }
  }
  return finish();
}

AttributedString DocumentReader::finish() {
  flushBytes();
  if (std::exchange(highSurrogate_, std::nullopt)) emit(replacement);
  return builder_.take();
}

void DocumentReader::groupStart() {
  flushBytes();
  if (stack_.size() > maxGroupDepth) {
    ++flatDepth_;
  } else {
    stack_.push_back(state());
  }
}

bool DocumentReader::groupEnd() {
  flushBytes();
  if (flatDepth_ > 0) {
    --flatDepth_;
    return true;
  }
  if (state().destination == Destination::colorTable && colorDefined_) {
    // A last colour without its closing semicolon.
    colors_.push_back(colorDefinition_);
    colorDefined_ = false;
  }
  stack_.pop_back();
  return stack_.size() > 1;
}

void DocumentReader::controlSymbol(char symbol) {
  switch (symbol) {
    case '\\':
    case '{':
    case '}':
      appendBytes({&symbol, 1});
      break;
    case '*':
      flushBytes();
      state().destination = Destination::skip;
      afterStar_ = true;
      break;
    case '~':
      emitCodePoint(0x00A0);
      break;
    case '_':
      emitCodePoint(0x2011);
      break;
    case '\n':
    case '\r':
      emitCodePoint('\n');  // the paragraph break some writers put as backslash-newline
      break;
    default:
      break;  // \- (optional hyphen), \| and \: show nothing
  }
}

void DocumentReader::controlWord(std::string_view word, std::optional<std::int32_t> parameter) {
  flushBytes();
  const std::int32_t value = parameter.value_or(1);
  if (word == "bin") {
    tokens_.skip(static_cast<std::size_t>(std::max(parameter.value_or(0), 0)));
  } else if (word == "u") {
    if (parameter) unicode(*parameter);
    fallbackLeft_ = state().fallbackLength;
  } else if (word == "uc") {
    state().fallbackLength = std::max(parameter.value_or(1), 0);
  } else if (word == "fonttbl") {
    state().destination = Destination::fontTable;
  } else if (word == "colortbl") {
    state().destination = Destination::colorTable;
    colors_.clear();
    colorDefinition_ = TextColor{};
    colorDefined_ = false;
  } else if (word == "upr") {
    state().unicodeAlternative = state().destination;
    state().destination = Destination::skip;
  } else if (std::ranges::find(skippedDestinations, word) != skippedDestinations.end()) {
    state().destination = Destination::skip;
  } else if (word == "ansi") {
    documentCodePage_ = 1252;
  } else if (word == "mac") {
    documentCodePage_ = 10000;
  } else if (word == "pc") {
    documentCodePage_ = 437;
  } else if (word == "pca") {
    documentCodePage_ = 850;
  } else if (word == "ansicpg" && parameter) {
    documentCodePage_ = *parameter;
  } else if (word == "deff" && parameter) {
    defaultFont_ = *parameter;
  } else if (state().destination == Destination::fontTable) {
    if (word == "f" && parameter) {
      fontDefinition_ = *parameter;
      fonts_[fontDefinition_];
    } else if (word == "fcharset" && parameter && fonts_.contains(fontDefinition_)) {
      fonts_[fontDefinition_].charsetCodePage = CodePageDecoder::codePageOfCharset(*parameter);
    } else if (word == "cpg" && parameter && fonts_.contains(fontDefinition_)) {
      fonts_[fontDefinition_].codePage = *parameter;
    }
  } else if (state().destination == Destination::colorTable) {
    const auto component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    if (word == "red") colorDefinition_.red = component;
    if (word == "green") colorDefinition_.green = component;
    if (word == "blue") colorDefinition_.blue = component;
    colorDefined_ = colorDefined_ || word == "red" || word == "green" || word == "blue";
  } else if (state().destination == Destination::text) {
    const auto symbol = std::ranges::find(symbols, word, &Symbol::word);
    if (symbol != symbols.end()) {
      if (emitting()) emit(symbol->text);
    } else {
      formatting(word, parameter);
    }
  }
}

void DocumentReader::formatting(std::string_view word, std::optional<std::int32_t> parameter) {
  TextAttributes& attributes = state().attributes;
  const bool on = parameter.value_or(1) != 0;
  if (word == "plain") {
    // Character formatting only: the paragraph keeps its alignment.
    const TextAlignment alignment = attributes.alignment;
    attributes = TextAttributes{};
    attributes.alignment = alignment;
    state().font = -1;
    state().hidden = false;
  } else if (word == "pard" || word == "ql") {
    attributes.alignment = TextAlignment::left;
  } else if (word == "qr") {
    attributes.alignment = TextAlignment::right;
  } else if (word == "qc") {
    attributes.alignment = TextAlignment::center;
  } else if (word == "qj") {
    attributes.alignment = TextAlignment::justified;
  } else if (word == "b") {
    attributes.bold = on;
  } else if (word == "i") {
    attributes.italic = on;
  } else if (word == "strike" || word == "striked") {
    attributes.strikethrough = on;
  } else if (word == "ulnone") {
    attributes.underline = false;
  } else if (isUnderline(word)) {
    attributes.underline = on;
  } else if (word == "fs") {
    // Half points; the writers' default when the size is left out.
    const std::int32_t halfPoints = std::min(parameter.value_or(24), 3276);
    attributes.fontSize = halfPoints > 0 ? halfPoints / 2.0 : 0;
  } else if (word == "cf") {
    const std::int32_t index = parameter.value_or(0);
    attributes.foreground.reset();
    if (index > 0 && static_cast<std::size_t>(index) < colors_.size()) {
      attributes.foreground = colors_[static_cast<std::size_t>(index)];
    }
  } else if (word == "super") {
    attributes.baselineShift = 1;
  } else if (word == "sub") {
    attributes.baselineShift = -1;
  } else if (word == "nosupersub") {
    attributes.baselineShift = 0;
  } else if (word == "up") {
    attributes.baselineShift = parameter.value_or(6) != 0 ? 1 : 0;
  } else if (word == "dn") {
    attributes.baselineShift = parameter.value_or(6) != 0 ? -1 : 0;
  } else if (word == "v") {
    state().hidden = on;
  } else if (word == "f" && parameter) {
    state().font = *parameter;
  }
}

void DocumentReader::text(std::string_view bytes) {
  if (state().destination == Destination::colorTable) {
    for (const char c : bytes) {
      if (c != ';') continue;
      colors_.push_back(colorDefined_ ? std::optional(colorDefinition_) : std::nullopt);
      colorDefinition_ = TextColor{};
      colorDefined_ = false;
    }
    return;
  }
  appendBytes(bytes);
}

void DocumentReader::unicode(std::int32_t value) {
  // Writers put code units above 32767 as negative numbers.
  const std::int64_t unit = value < 0 ? std::int64_t{value} + 65536 : value;
  if (unit < 0 || unit > 0x10FFFF) {
    emitCodePoint(0xFFFD);
  } else if (!isDroppedControl(static_cast<std::uint32_t>(unit))) {
    emitCodePoint(static_cast<std::uint32_t>(unit));
  }
}

void DocumentReader::appendBytes(std::string_view bytes) {
  if (!emitting()) return;
  const int codePage = currentCodePage();
  if (codePage != pendingCodePage_) flushBytes();
  pendingCodePage_ = codePage;
  pendingBytes_ += bytes;
}

void DocumentReader::flushBytes() {
  if (pendingBytes_.empty()) return;
  std::string decoded;
  decoder(pendingCodePage_).decode(pendingBytes_, decoded);
  pendingBytes_.clear();
  std::erase_if(decoded, [](char c) { return isDroppedControl(static_cast<unsigned char>(c)); });
  emit(decoded);
}

void DocumentReader::emit(std::string_view utf8) {
  if (utf8.empty()) return;
  if (std::exchange(highSurrogate_, std::nullopt)) builder_.append(replacement, state().attributes);
  builder_.append(utf8, state().attributes);
}

void DocumentReader::emitCodePoint(std::uint32_t codePoint) {
  flushBytes();
  if (!emitting()) return;
  if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
    if (std::exchange(highSurrogate_, codePoint)) {
      builder_.append(replacement, state().attributes);
    }
    return;
  }
  if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
    const auto high = std::exchange(highSurrogate_, std::nullopt);
    if (!high) {
      emit(replacement);
      return;
    }
    codePoint = 0x10000 + ((*high - 0xD800) << 10) + (codePoint - 0xDC00);
  }
  std::string utf8;
  appendUtf8(utf8, codePoint);
  emit(utf8);
}

int DocumentReader::currentCodePage() const {
  const int font = stack_.back().font >= 0 ? stack_.back().font : defaultFont_;
  const auto entry = fonts_.find(font);
  int codePage = documentCodePage_;
  if (entry != fonts_.end()) {
    if (CodePageDecoder::isKnown(entry->second.codePage)) {
      codePage = entry->second.codePage;
    } else if (entry->second.charsetCodePage != 0) {
      codePage = entry->second.charsetCodePage;
    }
  }
  return CodePageDecoder::isKnown(codePage) ? codePage : 1252;
}

CodePageDecoder& DocumentReader::decoder(int codePage) {
  auto found = decoders_.find(codePage);
  if (found == decoders_.end()) found = decoders_.emplace(codePage, codePage).first;
  return found->second;
}

}  // namespace

std::optional<AttributedString> readRTF(std::string_view data) {
  if (!data.starts_with("{\\rtf")) return std::nullopt;
  return DocumentReader(data).read();
}

}  // namespace stratovane
