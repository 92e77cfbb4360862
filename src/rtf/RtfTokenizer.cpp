// Splits RTF bytes into groups, control words, control symbols and text.
#include "rtf/RtfTokenizer.h"

#include <algorithm>

namespace stratovane {
namespace {

constexpr std::int64_t parameterLimit = 999'999'999;

bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

RtfToken RtfTokenizer::next() {
  while (position_ < data_.size() && (data_[position_] == '\r' || data_[position_] == '\n')) {
    ++position_;
  }
  RtfToken token;
  if (position_ >= data_.size()) return token;
  const char c = data_[position_];
  if (c == '{') {
    ++position_;
    token.kind = RtfToken::Kind::groupStart;
  } else if (c == '}') {
    ++position_;
    token.kind = RtfToken::Kind::groupEnd;
  } else if (c == '\\') {
    ++position_;
    return controlWord();
  } else {
    const std::size_t end = data_.find_first_of("{}\\\r\n", position_);
    const std::size_t stop = end == std::string_view::npos ? data_.size() : end;
    token.kind = RtfToken::Kind::text;
    token.text = data_.substr(position_, stop - position_);
    position_ = stop;
  }
  return token;
}

RtfToken RtfTokenizer::controlWord() {
  RtfToken token;
  if (position_ >= data_.size()) return token;  // a lone backslash at the end
  const char first = data_[position_];
  if (!isLetter(first)) {
    ++position_;
    if (first == '\'') {
      std::size_t digits = 0;
      while (digits < 2 && position_ + digits < data_.size() &&
             hexValue(data_[position_ + digits]) >= 0) {
        ++digits;
      }
      position_ += digits;
      if (digits == 2) {
        token.kind = RtfToken::Kind::hexByte;
        token.byte = static_cast<unsigned char>(hexValue(data_[position_ - 2]) * 16 +
                                                hexValue(data_[position_ - 1]));
        return token;
      }
    }
    token.kind = RtfToken::Kind::controlSymbol;
    token.symbol = first;
    return token;
  }
  const std::size_t start = position_;
  while (position_ < data_.size() && isLetter(data_[position_])) ++position_;
  token.kind = RtfToken::Kind::controlWord;
  token.text = data_.substr(start, position_ - start);
  const bool negative =
      position_ + 1 < data_.size() && data_[position_] == '-' && isDigit(data_[position_ + 1]);
  if (negative) ++position_;
  if (position_ < data_.size() && isDigit(data_[position_])) {
    std::int64_t value = 0;
    // Every digit is read, but the value stops growing at the limit.
    for (; position_ < data_.size() && isDigit(data_[position_]); ++position_) {
      value = std::min(value * 10 + (data_[position_] - '0'), parameterLimit);
    }
    token.parameter = static_cast<std::int32_t>(negative ? -value : value);
  }
  if (position_ < data_.size() && data_[position_] == ' ') ++position_;
  return token;
}

void RtfTokenizer::skip(std::size_t count) {
  position_ += std::min(count, data_.size() - position_);
}

}  // namespace stratovane
