// Shared helper of the RTF reader tests: the plain text of a document.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "rtf/RtfReader.h"

namespace stratovane {

inline std::string textOf(std::string_view rtf) {
  const auto read = readRTF(rtf);
  EXPECT_TRUE(read.has_value()) << rtf;
  return read ? read->string : std::string("<not RTF>");
}

}  // namespace stratovane
