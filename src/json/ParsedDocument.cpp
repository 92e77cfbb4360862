// Parsing bytes with simdjson into the flat tree of a document.
#include "json/ParsedDocument.h"

#include <simdjson.h>

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

class ParsedDocument::Builder {
 public:
  Builder(ParsedDocument& document, std::size_t inputSize) : document_(document) {
    document_.strings_.reserve(inputSize);
    document_.nodes_.reserve(inputSize / 8 + 16);
  }

  void build(simdjson::dom::element root) {
    document_.nodes_.emplace_back();
    place(root, 0, 1);
    for (std::size_t head = 0; head < pending_.size(); ++head) {
      const Pending item = pending_[head];
      const Node& node = document_.nodes_[item.node];
      // A later duplicate key may have replaced this container before it was expanded.
      if (node.value != item.ticket ||
          (node.kind != Node::Kind::array && node.kind != Node::Kind::object)) {
        continue;
      }
      if (item.depth > maxDepth) throw JSONParseError("Containers nested deeper than 1024 levels");
      if (node.kind == Node::Kind::array) {
        expandArray(item);
      } else {
        expandObject(item);
      }
    }
  }

 private:
  struct Pending {
    simdjson::dom::element element;
    std::uint32_t node;
    std::uint32_t depth;
    std::uint64_t ticket;
  };

  std::uint64_t appendText(std::string_view text) {
    const std::uint64_t offset = document_.strings_.size();
    document_.strings_.append(text);
    return offset;
  }

  // Fills node `index` from a value; containers are queued and expanded later, so that the
  // children of each container get contiguous nodes.
  void place(simdjson::dom::element element, std::uint32_t index, std::uint32_t depth) {
    Node node;
    switch (element.type()) {
      case simdjson::dom::element_type::ARRAY:
      case simdjson::dom::element_type::OBJECT:
        node.kind = element.type() == simdjson::dom::element_type::ARRAY ? Node::Kind::array
                                                                         : Node::Kind::object;
        node.value = pending_.size();
        pending_.push_back({element, index, depth, node.value});
        break;
      case simdjson::dom::element_type::STRING: {
        const std::string_view text = element.get_string().value_unsafe();
        node.kind = Node::Kind::string;
        node.size = static_cast<std::uint32_t>(text.size());
        node.value = appendText(text);
        break;
      }
      case simdjson::dom::element_type::INT64:
        node.kind = Node::Kind::int64;
        node.value = static_cast<std::uint64_t>(element.get_int64().value_unsafe());
        break;
      case simdjson::dom::element_type::UINT64:
        node.kind = Node::Kind::uint64;
        node.value = element.get_uint64().value_unsafe();
        break;
      case simdjson::dom::element_type::DOUBLE:
        node.kind = Node::Kind::float64;
        node.value = std::bit_cast<std::uint64_t>(element.get_double().value_unsafe());
        break;
      case simdjson::dom::element_type::BOOL:
        node.kind = Node::Kind::boolean;
        node.value = element.get_bool().value_unsafe() ? 1 : 0;
        break;
      case simdjson::dom::element_type::NULL_VALUE:
        break;
    }
    document_.nodes_[index] = node;
  }

  std::uint32_t reserveChildren(std::size_t count) {
    const std::size_t first = document_.nodes_.size();
    if (first + count > UINT32_MAX) throw JSONParseError("Document too large");
    document_.nodes_.resize(first + count);
    return static_cast<std::uint32_t>(first);
  }

  static std::size_t countOf(std::size_t saturated, auto container) {
    if (saturated < 0xFFFFFF) return saturated;
    std::size_t count = 0;
    for (auto it = container.begin(); it != container.end(); ++it) ++count;
    return count;
  }

  void expandArray(const Pending& item) {
    const simdjson::dom::array array = item.element.get_array().value_unsafe();
    const std::size_t count = countOf(array.size(), array);
    const std::uint32_t first = reserveChildren(count);
    std::uint32_t next = first;
    for (simdjson::dom::element child : array) place(child, next++, item.depth + 1);
    Node& node = document_.nodes_[item.node];
    node.size = static_cast<std::uint32_t>(count);
    node.value = first;
  }

  void expandObject(const Pending& item) {
    const simdjson::dom::object object = item.element.get_object().value_unsafe();
    const std::size_t count = countOf(object.size(), object);
    const bool indexed = count > KeyIndex::threshold;
    const std::uint32_t first = reserveChildren(2 * count + (indexed ? 1 : 0));
    const auto keyAt = [&](std::uint32_t p) {
      return document_.text(document_.nodes_[first + 2 * p]);
    };
    KeyIndex index;
    if (indexed) index.reset(count);
    signatures_.clear();
    std::uint32_t unique = 0;
    for (simdjson::dom::key_value_pair entry : object) {
      const std::string_view key = entry.key;
      std::optional<std::uint32_t> earlier;
      if (indexed) {
        earlier = index.find(key, keyAt);
      } else {
        // Length and first bytes tell almost all keys apart without comparing texts.
        std::uint64_t signature = key.size();
        std::memcpy(reinterpret_cast<char*>(&signature) + 4, key.data(),
                    std::min<std::size_t>(key.size(), 4));
        for (std::uint32_t p = 0; p < unique; ++p) {
          if (signatures_[p] == signature && keyAt(p) == key) {
            earlier = p;
            break;
          }
        }
        if (!earlier) signatures_.push_back(signature);
      }
      if (earlier) {
        place(entry.value, first + 2 * *earlier + 1, item.depth + 1);
        continue;
      }
      Node& keyNode = document_.nodes_[first + 2 * unique];
      keyNode.kind = Node::Kind::string;
      keyNode.size = static_cast<std::uint32_t>(key.size());
      keyNode.value = appendText(key);
      place(entry.value, first + 2 * unique + 1, item.depth + 1);
      if (indexed) index.insert(unique, keyAt);
      ++unique;
    }
    if (unique > KeyIndex::threshold) {
      document_.nodes_[first + 2 * unique].value = document_.indexes_.size();
      document_.indexes_.push_back(std::move(index));
    }
    Node& node = document_.nodes_[item.node];
    node.size = unique;
    node.value = first;
  }

  ParsedDocument& document_;
  std::vector<Pending> pending_;
  std::vector<std::uint64_t> signatures_;
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
  Builder(*document, bytes.size() + widened.size()).build(root);
  return document;
}

Object ParsedDocument::objectAt(const std::shared_ptr<const ParsedDocument>& document,
                                std::uint32_t index) {
  const Node& node = document->nodes_[index];
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
      return std::string(document->text(node));
    case Node::Kind::array:
      return PayloadAccess::arrayView(document, index);
    case Node::Kind::object:
      return PayloadAccess::dictionaryView(document, index);
  }
  return Null{};
}

}  // namespace stratovane::detail
