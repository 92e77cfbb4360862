// Parsing bytes with simdjson into the flat tree of a document.
#include "json/ParsedDocument.h"

#include <simdjson.h>

static_assert(simdjson::SIMDJSON_VERSION_MAJOR == 3, "the tape layout read here is simdjson 3's");

#include <array>
#include <bit>
#include <charconv>

#include "json/JSONParseError.h"
#include "json/PayloadAccess.h"

namespace stratovane::detail {
namespace {

simdjson::dom::parser& threadParser() {
  thread_local simdjson::dom::parser parser = [] {
    simdjson::dom::parser made;
    // simdjson counts depth differently for empty and non-empty innermost containers; the
    // exact limit is checked while building, this only has to let every 1024-deep document in.
    if (made.allocate(4096, ParsedDocument::maxDepth + 2) != simdjson::SUCCESS) {
      throw JSONParseError("Out of memory");
    }
    return made;
  }();
  return parser;
}

bool isNumberCharacter(char c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

// simdjson rejects integers that do not fit 64 bits. Appending ".0" to each such integer lets it
// read them as doubles. Returns false when there is none, so the first error stands.
bool widenLongIntegers(std::string_view bytes, std::string& widened) {
  bool changed = false;
  bool inString = false;
  widened.reserve(bytes.size() + 64);
  for (std::size_t i = 0; i < bytes.size();) {
    const char c = bytes[i];
    if (inString) {
      widened += c;
      if (c == '\\' && i + 1 < bytes.size()) {
        widened += bytes[i + 1];
        i += 2;
        continue;
      }
      if (c == '"') inString = false;
      ++i;
      continue;
    }
    if (c == '"') {
      inString = true;
      widened += c;
      ++i;
      continue;
    }
    if (c == '-' || (c >= '0' && c <= '9')) {
      std::size_t end = i;
      while (end < bytes.size() && isNumberCharacter(bytes[end])) ++end;
      const std::string_view token = bytes.substr(i, end - i);
      widened += token;
      if (token.find_first_of(".eE+", 1) == std::string_view::npos) {
        std::int64_t asSigned;
        std::uint64_t asUnsigned;
        const char* first = token.data();
        const char* last = token.data() + token.size();
        const bool negative = token[0] == '-';
        const auto result = negative ? std::from_chars(first, last, asSigned)
                                     : std::from_chars(first, last, asUnsigned);
        if (result.ec == std::errc::result_out_of_range && result.ptr == last) {
          widened += ".0";
          changed = true;
        }
      }
      i = end;
      continue;
    }
    widened += c;
    ++i;
  }
  return changed;
}

// The node kind of each number type of the tape.
constexpr std::array<Node::Kind, 256> numberKinds = [] {
  std::array<Node::Kind, 256> kinds{};
  kinds['l'] = Node::Kind::int64;  // the value is the next word
  kinds['u'] = Node::Kind::uint64;
  kinds['d'] = Node::Kind::float64;
  return kinds;
}();

}  // namespace

// Walks simdjson's tape (its documented layout: one 64-bit word per value, the type in the top
// byte, two words for numbers, containers pointing past their end and carrying their element
// count) once, in order. A container's children get a contiguous block of nodes the moment the
// container opens, so no second pass is needed.
class ParsedDocument::Builder {
 public:
  explicit Builder(ParsedDocument& document)
      : document_(document),
        scratch_(threadScratch()),
        frames_(scratch_.frames),
        indexes_(scratch_.indexes) {
    frames_.clear();
    indexes_.clear();
  }

  ~Builder() {
    // Buffers grown by an unusually large document are not kept for the life of the thread.
    constexpr std::size_t keep = 4 << 20;
    if (frames_.capacity() * sizeof(Frame) > keep) scratch_ = {};
  }

  void build(const simdjson::dom::document& parsed) {
    tape_ = parsed.tape.get();
    stringBuffer_ = parsed.string_buf.get();
    // Every node takes at least one tape word, so the tape's length bounds the node count and
    // the arrays can be written through cursors without further checks.
    const std::size_t tapeLength = (tape_[0] & payloadMask) + 1;
    // Built in place: pages past what is used are never touched, and nothing is copied after.
    document_.nodes_ = std::make_unique_for_overwrite<Node[]>(tapeLength);
    nodes_ = document_.nodes_.get();
    put(nodes_, 0, Node::Kind::null, 0, 0);
    nodeCount_ = 1;
    // Word 0 is the root marker; a scalar document is its one value.
    std::uint64_t stringsEnd = 0;  // end of the last text placed
    std::uint64_t word = tape_[1];
    if (!isContainer(word)) {
      placeScalar(tape_, nodes_, stringBuffer_, 1, word, 0, stringsEnd);
    } else {
      open(1, 0, static_cast<char>(word >> 56) == '{');
    }
    // Each container's entries are placed in one tight loop bounded by its count. Branches
    // follow the nesting and "number or not", which repeat with the document's shape; the other
    // differences between scalar kinds are handled without branching. The walk's state lives in
    // locals: node stores could alias members and frames, which would make every step reload
    // them.
    const std::uint64_t* const tape = tape_;
    Node* const nodes = nodes_;
    const std::uint8_t* const strings = stringBuffer_;
    std::size_t i = 2;
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      const std::uint32_t count = frame.count;
      std::uint32_t visited = frame.visited;
      bool opened = false;
      if (frame.object) {
        const std::uint32_t first = frame.first;
        const std::int32_t index = frame.index;
        std::uint32_t next = frame.next;
        std::uint64_t seen = frame.seen;
        while (visited < count) {
          ++visited;
          // A key; it decides where its value goes.
          const std::uint32_t slot =
              placeKey(nodes, strings, first, next, seen, index, tape[i], stringsEnd);
          word = tape[++i];
          if (isContainer(word)) {
            frame.visited = visited;
            frame.next = next;
            frame.seen = seen;
            open(i++, slot, static_cast<char>(word >> 56) == '{');
            opened = true;
            break;
          }
          i = placeScalar(tape, nodes, strings, i, word, slot, stringsEnd);
        }
        if (!opened) frame.next = next;
      } else {
        const std::uint32_t first = frame.first;
        while (visited < count) {
          const std::uint32_t slot = first + visited++;
          word = tape[i];
          if (isContainer(word)) {
            frame.visited = visited;
            open(i++, slot, static_cast<char>(word >> 56) == '{');
            opened = true;
            break;
          }
          i = placeScalar(tape, nodes, strings, i, word, slot, stringsEnd);
        }
      }
      if (!opened) {
        close();
        ++i;  // the closing word
      }
    }
    // Texts stay where simdjson put them (each after its 4-byte length, in document order): one
    // copy of the used part of its buffer keeps every offset valid.
    document_.strings_ = std::make_unique_for_overwrite<char[]>(stringsEnd);
    std::memcpy(document_.strings_.get(), strings, stringsEnd);
  }

 private:
  struct Frame {
    std::uint32_t node;     // the container's own node
    std::uint32_t first;    // its first child node
    std::uint32_t next;     // elements placed, or distinct keys placed
    std::uint32_t visited;  // elements or entries read from the tape
    std::uint32_t count;    // elements or entries on the tape
    std::uint64_t seen;     // filter of the keys placed so far
    std::int32_t index;     // position in indexes_ for objects above indexedAbove, else -1
    bool object;
  };
  struct Scratch {
    std::vector<Frame> frames;
    std::vector<KeyIndex> indexes;
  };
  static Scratch& threadScratch() {
    thread_local Scratch scratch;
    return scratch;
  }

  // Index of the word after the value that starts at word i.
  std::size_t after(std::size_t i) const noexcept {
    const auto type = static_cast<char>(tape_[i] >> 56);
    if (type == '[' || type == '{') return static_cast<std::uint32_t>(tape_[i]);
    if (type == 'l' || type == 'u' || type == 'd') return i + 2;
    return i + 1;
  }

  // The element count on the tape saturates; past that the elements are counted.
  std::uint32_t countAt(std::size_t i, bool object) const {
    const auto saturated = static_cast<std::uint32_t>((tape_[i] >> 32) & 0xFFFFFF);
    if (saturated < 0xFFFFFF) return saturated;
    std::uint64_t count = 0;
    const std::size_t end = static_cast<std::uint32_t>(tape_[i]) - 1;
    for (std::size_t j = i + 1; j < end; ++count) j = after(object ? j + 1 : j);
    if (count > UINT32_MAX / 2) throw JSONParseError("Document too large");
    return static_cast<std::uint32_t>(count);
  }

  std::uint32_t reserveChildren(std::size_t count) {
    const std::size_t first = nodeCount_;
    if (first + count > UINT32_MAX) throw JSONParseError("Document too large");
    nodeCount_ += count;
    return static_cast<std::uint32_t>(first);
  }

  // Writes a node in place, header as one word: building it in a temporary and copying that
  // out would read back narrow stores as one wide load, which stalls.
  static void put(Node* nodes, std::uint32_t slot, Node::Kind kind, std::uint32_t size,
                  std::uint64_t value) noexcept {
    Node& node = nodes[slot];
    const std::uint64_t header = static_cast<std::uint64_t>(kind) | (std::uint64_t{size} << 32);
    std::memcpy(&node, &header, sizeof header);
    node.value = value;
  }

  static bool isContainer(std::uint64_t word) noexcept {
    const auto type = static_cast<char>(word >> 56);
    return type == '[' || type == '{';
  }

  // Fills node `slot` from the scalar at word i and returns the index of the next word.
  static std::size_t placeScalar(const std::uint64_t* tape, Node* nodes,
                                 const std::uint8_t* strings, std::size_t i, std::uint64_t word,
                                 std::uint32_t slot, std::uint64_t& stringsEnd) {
    // Where the next value starts is the one thing the walk waits for: a branch on "number or
    // not" (steady in documents of repeated shape) lets it run ahead instead of waiting for
    // the type to be looked up.
    const auto type = static_cast<unsigned char>(word >> 56);
    if (isNumber(word)) {
      put(nodes, slot, numberKinds[type], 0, tape[i + 1]);
      return i + 2;
    }
    if (type == '"') [[likely]] {
      const std::uint64_t offset = word & payloadMask;
      std::uint32_t length;
      std::memcpy(&length, strings + offset, sizeof length);
      stringsEnd = offset + sizeof length + length + 1;
      put(nodes, slot, Node::Kind::string, length, offset + sizeof length);
    } else if (type == 't' || type == 'f') {
      put(nodes, slot, Node::Kind::boolean, 0, type == 't' ? 1 : 0);
    } else if (type == 'n') {
      put(nodes, slot, Node::Kind::null, 0, 0);
    } else [[unlikely]] {
      throw JSONParseError("Unexpected parser output");
    }
    return i + 1;
  }

  // 'l', 'u' and 'd' are the only scalar tape types whose low six bits are 44, 53 and 36.
  static bool isNumber(std::uint64_t word) noexcept {
    constexpr std::uint64_t numbers = (std::uint64_t{1} << ('l' & 63)) |
                                      (std::uint64_t{1} << ('u' & 63)) |
                                      (std::uint64_t{1} << ('d' & 63));
    return (numbers >> ((word >> 56) & 63)) & 1;
  }

  void open(std::size_t i, std::uint32_t slot, bool object) {
    if (frames_.size() >= maxDepth)
      throw JSONParseError("Containers nested deeper than 1024 levels");
    const std::uint32_t count = countAt(i, object);
    const bool indexed = object && count > indexedAbove;
    const std::uint32_t first =
        reserveChildren(object ? 2 * std::size_t{count} + (indexed ? 1 : 0) : count);
    // Children follow their container.
    put(nodes_, slot, object ? Node::Kind::object : Node::Kind::array, count, first - slot);
    std::int32_t index = -1;
    if (indexed) {
      index = static_cast<std::int32_t>(indexes_.size());
      indexes_.emplace_back().reset(count);
    }
    frames_.push_back({slot, first, 0, 0, count, 0, index, object});
  }

  // Places a key in the open object; returns the node its value goes to. A repeated key keeps
  // its first position and its value node is overwritten by the later value.
  [[gnu::always_inline]] std::uint32_t placeKey(Node* nodes, const std::uint8_t* strings,
                                                std::uint32_t first, std::uint32_t& next,
                                                std::uint64_t& seen, std::int32_t index,
                                                std::uint64_t word, std::uint64_t& stringsEnd) {
    // simdjson stores a text as its 4-byte length and its bytes (padded): one load gives the
    // length and the first bytes, from which the key's node header is made in registers.
    const std::uint64_t offset = word & payloadMask;
    const std::uint8_t* at = strings + offset;
    std::uint64_t raw;
    std::memcpy(&raw, at, sizeof raw);
    const auto length = static_cast<std::uint32_t>(raw);
    stringsEnd = offset + sizeof length + length + 1;
    const std::uint64_t headMask = length >= 3 ? 0xFFFFFF : (std::uint64_t{1} << (8 * length)) - 1;
    const std::uint64_t header = static_cast<std::uint64_t>(Node::Kind::string) |
                                 (((raw >> 32) & headMask) << 8) | (std::uint64_t{length} << 32);
    const std::string_view key(reinterpret_cast<const char*>(at + sizeof length), length);
    const auto keyAt = [&](std::uint32_t p) {
      const Node& node = nodes[first + 2 * p];
      return std::string_view(reinterpret_cast<const char*>(strings) + node.value, node.size);
    };
    const bool indexed = index >= 0;
    if (indexed) {
      const std::uint32_t earlier = indexes_[index].find(key, keyAt);
      if (earlier != KeyIndex::notFound) return first + 2 * earlier + 1;
    } else {
      // The header, hashed to one bit of a 64-bit filter, tells almost every new key apart from
      // the earlier ones; only a set bit needs the earlier headers (and then texts) compared.
      const std::uint64_t bit = std::uint64_t{1} << ((header * 0x9E3779B97F4A7C15u) >> 58);
      if (seen & bit) {
        for (std::uint32_t p = 0; p < next; ++p) {
          if (ParsedDocument::header(nodes[first + 2 * p]) == header &&
              (length <= 3 || keyAt(p) == key)) {
            return first + 2 * p + 1;
          }
        }
      }
      seen |= bit;
    }
    const std::uint32_t position = next++;
    Node& node = nodes[first + 2 * position];
    std::memcpy(&node, &header, sizeof header);
    node.value = offset + sizeof length;
    if (indexed) indexes_[index].insert(position, keyAt);
    return first + 2 * position + 1;
  }

  void close() {
    Frame& frame = frames_.back();
    if (frame.object) {
      nodes_[frame.node].size = frame.next;  // distinct keys
      if (frame.index >= 0) {
        if (frame.next > indexedAbove) {
          nodes_[frame.first + 2 * frame.next].value = document_.indexes_.size();
          document_.indexes_.push_back(std::move(indexes_[frame.index]));
        }
        indexes_.pop_back();
      }
    }
    frames_.pop_back();
  }

  static constexpr std::uint64_t payloadMask = 0x00FFFFFFFFFFFFFFu;

  ParsedDocument& document_;
  Scratch& scratch_;
  Node* nodes_ = nullptr;
  std::vector<Frame>& frames_;
  std::vector<KeyIndex>& indexes_;
  std::size_t nodeCount_ = 0;
  const std::uint64_t* tape_ = nullptr;
  const std::uint8_t* stringBuffer_ = nullptr;
};

std::shared_ptr<const ParsedDocument> ParsedDocument::parse(std::string_view bytes) {
  return parseDocument(bytes, false);
}

std::shared_ptr<const ParsedDocument> ParsedDocument::parse(const std::string& bytes) {
  return parseDocument(bytes, bytes.capacity() - bytes.size() >= simdjson::SIMDJSON_PADDING);
}

std::shared_ptr<const ParsedDocument> ParsedDocument::parseDocument(std::string_view bytes,
                                                                    bool padded) {
  simdjson::dom::parser& parser = threadParser();
  simdjson::dom::element root;
  auto error = parser.parse(bytes.data(), bytes.size(), !padded).get(root);
  std::string widened;
  if (error == simdjson::NUMBER_ERROR && widenLongIntegers(bytes, widened)) {
    error = parser.parse(widened.data(), widened.size(), true).get(root);
  }
  if (error) throw JSONParseError(simdjson::error_message(error));
  auto document = std::make_shared<ParsedDocument>();
  Builder(*document).build(parser.doc);
  return document;
}

Object ParsedDocument::objectAt(const std::shared_ptr<const void>& document, const Node* at) {
  const auto* parsed = static_cast<const ParsedDocument*>(document.get());
  const Node& node = *at;
  switch (node.kind) {
    case Node::Kind::null:
      return Null{};
    case Node::Kind::boolean:
      return Number(node.value != 0);
    case Node::Kind::int64:
    case Node::Kind::uint64:
    case Node::Kind::float64:
      return *numberAt(node);
    case Node::Kind::string:
      return std::string(parsed->text(node));
    case Node::Kind::array:
      return PayloadAccess::view<Array>(document, at);
    case Node::Kind::object:
      return PayloadAccess::view<Dictionary>(document, at);
  }
  return Null{};
}

}  // namespace stratovane::detail
