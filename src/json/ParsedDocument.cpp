// Parsing bytes with simdjson into the flat tree of a document.
#include "json/ParsedDocument.h"

#include <simdjson.h>

static_assert(simdjson::SIMDJSON_VERSION_MAJOR == 3, "the tape layout read here is simdjson 3's");
// The HTTP loader leaves this much room after a body so that it is read in place.
static_assert(simdjson::SIMDJSON_PADDING == 64);

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
    put(nodes_[0], Node::Kind::null, 0, 0);
    nodeCount_ = 1;
    // Word 0 is the root marker; a scalar document is its one value.
    std::uint64_t word = tape_[1];
    if (!isContainer(word)) {
      placeScalar(tape_ + 1, word, nodes_, stringBuffer_, lastText_);
    } else {
      open(1, 0, static_cast<char>(word >> 56) == '{');
    }
    at_ = tape_ + 2;
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      const bool opened = !frame.object     ? walkArray(frame)
                          : frame.index < 0 ? walkObject<false>(frame)
                                            : walkObject<true>(frame);
      if (!opened) {
        close();
        ++at_;  // the closing word
      }
    }
    const std::uint8_t* const strings = stringBuffer_;
    // Texts stay where simdjson put them (each after its 4-byte length and followed by a zero,
    // in document order): one copy of the used part of its buffer keeps every offset valid. The
    // last text on the tape ends that part.
    std::uint64_t stringsEnd = 0;
    if (lastText_ != noText) {
      std::uint32_t length;
      std::memcpy(&length, strings + lastText_, sizeof length);
      stringsEnd = lastText_ + sizeof length + length + 1;
    }
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

  // Each container's entries are placed in one tight loop bounded by its count, until the
  // first entry that is a container: that one is opened (true) and walked next. Branches follow
  // the nesting and "number or not", which repeat with the document's shape; the other
  // differences between scalar kinds are handled without branching. The walk's state lives in
  // locals: node stores could alias members and frames, which would make every step reload
  // them. Indexed objects are rare and get their own loop, so the common one needs fewer
  // registers.
  template <bool indexed>
  bool walkObject(Frame& frame) {
    const std::uint8_t* const strings = stringBuffer_;
    const std::uint64_t* at = at_;
    std::uint64_t lastText = lastText_;
    Node* const first = nodes_ + frame.first;
    Node* key = first + 2 * frame.next;  // where the next new key goes
    std::uint64_t seen = frame.seen;
    for (std::uint32_t remaining = frame.count - frame.visited; remaining != 0; --remaining) {
      lastText = *at & payloadMask;
      Node* const value = indexed ? placeIndexedKey(first, key, frame.index, strings, *at)
                                  : placeKey(first, key, seen, strings, *at);
      const std::uint64_t word = *++at;
      if (isContainer(word)) {
        frame.visited = frame.count - remaining + 1;
        frame.next = static_cast<std::uint32_t>((key - first) / 2);
        frame.seen = seen;
        return descend(at, word, value, lastText);
      }
      at = placeScalar(at, word, value, strings, lastText);
    }
    frame.next = static_cast<std::uint32_t>((key - first) / 2);
    lastText_ = lastText;
    at_ = at;
    return false;
  }

  bool walkArray(Frame& frame) {
    const std::uint8_t* const strings = stringBuffer_;
    const std::uint64_t* at = at_;
    std::uint64_t lastText = lastText_;
    Node* const first = nodes_ + frame.first;
    Node* const end = first + frame.count;
    for (Node* value = first + frame.visited; value != end; ++value) {
      const std::uint64_t word = *at;
      if (isContainer(word)) {
        frame.visited = static_cast<std::uint32_t>(value + 1 - first);
        return descend(at, word, value, lastText);
      }
      at = placeScalar(at, word, value, strings, lastText);
    }
    lastText_ = lastText;
    at_ = at;
    return false;
  }

  // Opens the container whose first word is `at` as the value `node`; the walk goes on inside it.
  // The frame of the container being left must be saved first: opening may move the frames.
  bool descend(const std::uint64_t* at, std::uint64_t word, Node* node, std::uint64_t lastText) {
    lastText_ = lastText;
    open(static_cast<std::size_t>(at - tape_), static_cast<std::uint32_t>(node - nodes_),
         static_cast<char>(word >> 56) == '{');
    at_ = at + 1;
    return true;
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
  static void put(Node& node, Node::Kind kind, std::uint32_t size, std::uint64_t value) noexcept {
    const std::uint64_t header = static_cast<std::uint64_t>(kind) | (std::uint64_t{size} << 32);
    std::memcpy(&node, &header, sizeof header);
    node.value = value;
  }

  static bool isContainer(std::uint64_t word) noexcept {
    const auto type = static_cast<char>(word >> 56);
    return type == '[' || type == '{';
  }

  // Fills `node` from the scalar whose first word is `at` (its type word, already loaded) and
  // returns where the next value starts.
  static const std::uint64_t* placeScalar(const std::uint64_t* at, std::uint64_t word, Node* node,
                                          const std::uint8_t* strings, std::uint64_t& lastText) {
    // Where the next value starts is the one thing the walk waits for: a branch on "number or
    // not" (steady in documents of repeated shape) lets it run ahead instead of waiting for
    // the type to be looked up.
    const auto type = static_cast<unsigned char>(word >> 56);
    if (isNumber(word)) {
      put(*node, numberKinds[type], 0, at[1]);
      return at + 2;
    }
    if (type == '"') [[likely]] {
      const std::uint64_t offset = word & payloadMask;
      std::uint32_t length;
      std::memcpy(&length, strings + offset, sizeof length);
      lastText = offset;
      put(*node, Node::Kind::string, length, offset + sizeof length);
    } else if (type == 't' || type == 'f') {
      put(*node, Node::Kind::boolean, 0, type == 't' ? 1 : 0);
    } else if (type == 'n') {
      put(*node, Node::Kind::null, 0, 0);
    } else [[unlikely]] {
      throw JSONParseError("Unexpected parser output");
    }
    return at + 1;
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
    put(nodes_[slot], object ? Node::Kind::object : Node::Kind::array, count, first - slot);
    std::int32_t index = -1;
    if (indexed) {
      index = static_cast<std::int32_t>(indexes_.size());
      indexes_.emplace_back().reset(count);
    }
    frames_.push_back({slot, first, 0, 0, count, 0, index, object});
  }

  // A key as simdjson stores it (its 4-byte length, its bytes, padding): one load gives the
  // length and the first bytes, from which its node header is made in registers.
  struct Key {
    std::uint64_t header;
    std::uint64_t text;  // offset of its bytes
    std::string_view view;
  };
  static Key keyAt(const std::uint8_t* strings, std::uint64_t word) noexcept {
    const std::uint64_t offset = word & payloadMask;
    std::uint64_t raw;
    std::memcpy(&raw, strings + offset, sizeof raw);
    const auto length = static_cast<std::uint32_t>(raw);
    const std::uint64_t headMask = length >= 3 ? 0xFFFFFF : (std::uint64_t{1} << (8 * length)) - 1;
    const std::uint64_t header = static_cast<std::uint64_t>(Node::Kind::string) |
                                 (((raw >> 32) & headMask) << 8) | (std::uint64_t{length} << 32);
    return {header,
            offset + sizeof length,
            {reinterpret_cast<const char*>(strings) + offset + sizeof length, length}};
  }
  static std::string_view placedKey(const Node& node, const std::uint8_t* strings) noexcept {
    return {reinterpret_cast<const char*>(strings) + node.value, node.size};
  }
  // Writes a new key at `key` (and moves it on); returns the node for its value.
  static Node* placeNewKey(Node*& key, const Key& placed) noexcept {
    std::memcpy(key, &placed.header, sizeof placed.header);
    key->value = placed.text;
    key += 2;
    return key - 1;
  }

  // Places a key in the open object whose first key node is `first`; returns the node its value
  // goes to. A repeated key keeps its first position and its value node is overwritten by the
  // later value.
  [[gnu::always_inline]] static Node* placeKey(Node* first, Node*& key, std::uint64_t& seen,
                                               const std::uint8_t* strings, std::uint64_t word) {
    const Key placed = keyAt(strings, word);
    // The header, hashed to one bit of a 64-bit filter, tells almost every new key apart from
    // the earlier ones; only a set bit needs the earlier headers (and then texts) compared.
    const std::uint64_t bit = std::uint64_t{1} << ((placed.header * 0x9E3779B97F4A7C15u) >> 58);
    if (seen & bit) [[unlikely]] {
      for (Node* earlier = first; earlier != key; earlier += 2) {
        if (ParsedDocument::header(*earlier) == placed.header &&
            (placed.view.size() <= 3 || placedKey(*earlier, strings) == placed.view)) {
          return earlier + 1;
        }
      }
    }
    seen |= bit;
    return placeNewKey(key, placed);
  }

  [[gnu::noinline]] Node* placeIndexedKey(Node* first, Node*& key, std::int32_t index,
                                          const std::uint8_t* strings, std::uint64_t word) {
    const Key placed = keyAt(strings, word);
    const auto keyText = [&](std::uint32_t p) { return placedKey(first[2 * p], strings); };
    KeyIndex& keys = indexes_[index];
    const std::uint32_t earlier = keys.find(placed.view, keyText);
    if (earlier != KeyIndex::notFound) return first + 2 * earlier + 1;
    const auto position = static_cast<std::uint32_t>((key - first) / 2);
    Node* const value = placeNewKey(key, placed);
    keys.insert(position, keyText);
    return value;
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
  const std::uint64_t* at_ = nullptr;  // the next tape word to read
  static constexpr std::uint64_t noText = ~std::uint64_t{0};
  std::uint64_t lastText_ = noText;  // offset of the last text placed
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
