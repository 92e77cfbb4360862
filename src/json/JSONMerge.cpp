// Merging of JSON values.
#include <vector>

#include "json/JSON.h"

namespace stratovane {
namespace {

// Both of kind array: the receiver's elements, then the other's.
JSON concatenated(const JSON& receiver, const JSON& other) {
  std::vector<Object> items;
  items.reserve(receiver.count() + other.count());
  for (const JSON& item : receiver.arrayValue()) items.emplace_back(item);
  for (const JSON& item : other.arrayValue()) items.emplace_back(item);
  return JSON(Array(std::move(items)));
}

// Merges two dictionaries key by key. Nested dictionaries are merged through an explicit stack
// of frames instead of recursion, so hand-built values of any depth are safe.
JSON mergedDictionaries(const JSON& receiver, const JSON& other) {
  struct Frame {
    JSON target;
    Dictionary source;
    std::size_t next = 0;
    std::string key;  // where target goes in the frame below
  };
  std::vector<Frame> frames;
  frames.push_back({receiver, other.rawDictionary(), 0, {}});
  for (;;) {
    Frame& frame = frames.back();
    if (frame.next == frame.source.size()) {
      if (frames.size() == 1) return std::move(frame.target);
      Frame done = std::move(frame);
      frames.pop_back();
      frames.back().target.set(done.key, done.target);
      continue;
    }
    const std::size_t position = frame.next++;
    std::string key(frame.source.keyAt(position));
    JSON value(frame.source.valueAt(position));
    JSON temporary = frame.target[key];
    if (temporary.type() == Type::dictionary && value.type() == Type::dictionary) {
      Dictionary source = value.rawDictionary();
      frames.push_back({std::move(temporary), std::move(source), 0, std::move(key)});
      continue;
    }
    if (temporary.type() == Type::array && value.type() == Type::array) {
      temporary = concatenated(temporary, value);
    } else {
      temporary = value;  // other kinds, and kinds that differ below the top, take the other value
    }
    frame.target.set(key, temporary);
  }
}

}  // namespace

void JSON::merge(const JSON& other) {
  if (type_ != other.type_) throw std::system_error(JSONError::wrongType);
  if (type_ == Type::array) {
    *this = concatenated(*this, other);
  } else if (type_ == Type::dictionary) {
    *this = mergedDictionaries(*this, other);
  } else {
    *this = other;
  }
}

JSON JSON::merged(const JSON& other) const {
  JSON copy = *this;
  copy.merge(other);
  return copy;
}

}  // namespace stratovane
