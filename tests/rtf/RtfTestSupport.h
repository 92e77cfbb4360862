// Shared helpers of the RTF reader tests: the plain text of documents.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "rtf/RtfReader.h"

namespace stratovane {

inline std::string textOf(std::string_view rtf) {
  const auto read = readRTF(rtf);
  EXPECT_TRUE(read.has_value()) << rtf;
  return read ? read->string : std::string("<not RTF>");
}

struct RtfCase {
  const char* rtf;
  const char* text;
};

inline void expectTexts(std::initializer_list<RtfCase> cases) {
  for (const auto& [rtf, text] : cases) EXPECT_EQ(textOf(rtf), text) << rtf;
}

}  // namespace stratovane
