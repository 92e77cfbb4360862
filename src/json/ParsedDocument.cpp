// Parsing bytes with simdjson into the flat tree of a document.
#include "json/ParsedDocument.h"

#include <simdjson.h>

static_assert(simdjson::SIMDJSON_VERSION_MAJOR == 3, "the tape layout read here is simdjson 3's");

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

  // `inputSize` bounds the bytes of all texts: unescaping never lengthens them.
  void build(const simdjson::dom::document& parsed, std::size_t inputSize) {
    tape_ = parsed.tape.get();
    stringBuffer_ = parsed.string_buf.get();
    // Every node takes at least one tape word, so the tape's length bounds the node count and
    // the arrays can be written through cursors without further checks.
    const std::size_t tapeLength = (tape_[0] & payloadMask) + 1;
    // Built in place: pages past what is used are never touched, and nothing is copied after.
    document_.nodes_ = std::make_unique_for_overwrite<Node[]>(tapeLength);
    document_.strings_ = std::make_unique_for_overwrite<char[]>(inputSize + shortText);
    nodes_ = document_.nodes_.get();
    strings_ = document_.strings_.get();
    put(0, Node::Kind::null, 0, 0);
    nodeCount_ = 1;
    stringsUsed_ = 0;
    std::size_t i = 1;  // word 0 is the root marker
    std::uint32_t slot = 0;
    for (;;) {
      const std::uint64_t word = tape_[i];
      const auto type = static_cast<char>(word >> 56);
      if (type == ']' || type == '}') {
        close();
        ++i;
        if (frames_.empty()) break;
        continue;
      }
      if (!frames_.empty()) {
        Frame& frame = frames_.back();
        if (frame.object) {
          // A key; it decides where its value goes.
          slot = placeKey(frame, text(word));
          ++i;
          i = placeValue(i, slot);
        } else {
          slot = frame.first + frame.next++;
          i = placeValue(i, slot);
        }
      } else {
        i = placeValue(i, 0);
        if (frames_.empty()) break;  // a scalar document
      }
    }
  }

 private:
  struct Frame {
    std::uint32_t node;   // the container's own node
    std::uint32_t first;  // its first child node
    std::uint32_t next;   // elements placed, or distinct keys placed
    std::uint32_t count;  // elements or entries on the tape
    std::uint64_t seen;   // filter of the keys placed so far
    std::int32_t index;   // position in indexes_ for objects above the threshold, else -1
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

  std::string_view text(std::uint64_t word) const noexcept {
    const std::uint8_t* at = stringBuffer_ + (word & payloadMask);
    std::uint32_t length;
    std::memcpy(&length, at, sizeof length);
    return {reinterpret_cast<const char*>(at + sizeof length), length};
  }

  std::uint64_t appendText(std::string_view text) noexcept {
    const std::uint64_t offset = stringsUsed_;
    if (text.size() <= shortText) {
      // One fixed-size move; simdjson pads its string buffer, and ours has room to spare.
      std::memcpy(strings_ + stringsUsed_, text.data(), shortText);
    } else {
      std::memcpy(strings_ + stringsUsed_, text.data(), text.size());
    }
    stringsUsed_ += text.size();
    return offset;
  }

  std::string_view scratchText(const Node& node) const noexcept {
    return {strings_ + node.value, node.size};
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

  // Fills node `slot` from the value at word i and returns the index of the next word.
  // Writes a node in place, header as one word: building it in a temporary and copying that
  // out would read back narrow stores as one wide load, which stalls.
  void put(std::uint32_t slot, Node::Kind kind, std::uint32_t size, std::uint64_t value) noexcept {
    Node& node = nodes_[slot];
    const std::uint64_t header = static_cast<std::uint64_t>(kind) | (std::uint64_t{size} << 32);
    std::memcpy(&node, &header, sizeof header);
    node.value = value;
  }

  std::size_t placeValue(std::size_t i, std::uint32_t slot) {
    const std::uint64_t word = tape_[i];
    switch (static_cast<char>(word >> 56)) {
      case '"': {
        const std::string_view value = text(word);
        put(slot, Node::Kind::string, static_cast<std::uint32_t>(value.size()), appendText(value));
        return i + 1;
      }
      case 'l':
        put(slot, Node::Kind::int64, 0, tape_[i + 1]);
        return i + 2;
      case 'u':
        put(slot, Node::Kind::uint64, 0, tape_[i + 1]);
        return i + 2;
      case 'd':
        put(slot, Node::Kind::float64, 0, tape_[i + 1]);
        return i + 2;
      case 't':
        put(slot, Node::Kind::boolean, 0, 1);
        return i + 1;
      case 'f':
        put(slot, Node::Kind::boolean, 0, 0);
        return i + 1;
      case 'n':
        put(slot, Node::Kind::null, 0, 0);
        return i + 1;
      case '[':
      case '{':
        open(i, slot, static_cast<char>(word >> 56) == '{');
        return i + 1;
      default:
        throw JSONParseError("Unexpected parser output");
    }
  }

  void open(std::size_t i, std::uint32_t slot, bool object) {
    if (frames_.size() >= maxDepth)
      throw JSONParseError("Containers nested deeper than 1024 levels");
    const std::uint32_t count = countAt(i, object);
    const bool indexed = object && count > KeyIndex::threshold;
    const std::uint32_t first =
        reserveChildren(object ? 2 * std::size_t{count} + (indexed ? 1 : 0) : count);
    // Children follow their container.
    put(slot, object ? Node::Kind::object : Node::Kind::array, count, first - slot);
    std::int32_t index = -1;
    if (indexed) {
      index = static_cast<std::int32_t>(indexes_.size());
      indexes_.emplace_back().reset(count);
    }
    frames_.push_back({slot, first, 0, count, 0, index, object});
  }

  // Places a key in the open object; returns the node its value goes to. A repeated key keeps
  // its first position and its value node is overwritten by the later value.
  std::uint32_t placeKey(Frame& frame, std::string_view key) {
    const std::uint32_t first = frame.first;
    const auto keyAt = [&](std::uint32_t p) { return scratchText(nodes_[first + 2 * p]); };
    const bool indexed = frame.index >= 0;
    if (indexed) {
      const std::uint32_t earlier = indexes_[frame.index].find(key, keyAt);
      if (earlier != KeyIndex::notFound) return first + 2 * earlier + 1;
    } else {
      // Length and first bytes, hashed to one bit of a 64-bit filter, tell almost every new key
      // apart from the earlier ones; only a set bit needs the texts compared.
      std::uint32_t head = 0;
      if (key.size() >= 4) {
        std::memcpy(&head, key.data(), 4);
      } else {
        for (std::size_t c = 0; c < key.size(); ++c) {
          head |= static_cast<std::uint32_t>(static_cast<unsigned char>(key[c])) << (8 * c);
        }
      }
      const std::uint64_t signature = (std::uint64_t{head} << 32) | key.size();
      const std::uint64_t bit = std::uint64_t{1} << ((signature * 0x9E3779B97F4A7C15u) >> 58);
      if (frame.seen & bit) {
        for (std::uint32_t p = 0; p < frame.next; ++p) {
          if (keyAt(p) == key) return first + 2 * p + 1;
        }
      }
      frame.seen |= bit;
    }
    const std::uint32_t position = frame.next++;
    Node& node = nodes_[first + 2 * position];
    const std::uint64_t header = keyHeader(key);
    std::memcpy(&node, &header, sizeof header);
    node.value = appendText(key);
    if (indexed) indexes_[frame.index].insert(position, keyAt);
    return first + 2 * position + 1;
  }

  void close() {
    Frame& frame = frames_.back();
    if (frame.object) {
      nodes_[frame.node].size = frame.next;  // distinct keys
      if (frame.index >= 0) {
        if (frame.next > KeyIndex::threshold) {
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
  static constexpr std::size_t shortText = 16;
  Node* nodes_ = nullptr;
  char* strings_ = nullptr;
  std::vector<Frame>& frames_;
  std::vector<KeyIndex>& indexes_;
  std::size_t nodeCount_ = 0;
  std::size_t stringsUsed_ = 0;
  const std::uint64_t* tape_ = nullptr;
  const std::uint8_t* stringBuffer_ = nullptr;
};

std::shared_ptr<const ParsedDocument> ParsedDocument::parse(std::string_view bytes) {
  simdjson::dom::parser& parser = threadParser();
  simdjson::dom::element root;
  auto error = parser.parse(bytes.data(), bytes.size(), true).get(root);
  std::string widened;
  if (error == simdjson::NUMBER_ERROR && widenLongIntegers(bytes, widened)) {
    error = parser.parse(widened.data(), widened.size(), true).get(root);
  }
  if (error) throw JSONParseError(simdjson::error_message(error));
  auto document = std::make_shared<ParsedDocument>();
  Builder(*document).build(parser.doc, bytes.size() + widened.size());
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
      return Number(static_cast<std::int64_t>(node.value));
    case Node::Kind::uint64:
      return Number(node.value);
    case Node::Kind::float64:
      return Number(std::bit_cast<double>(node.value));
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
