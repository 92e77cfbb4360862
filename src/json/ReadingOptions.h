// Options of the JSON reader.
#pragma once

namespace stratovane {

// A set of reader options. Only the empty set exists: the reader is always strict RFC 8259
// and accepts scalars at the top level.
enum class ReadingOptions : unsigned { none = 0 };

}  // namespace stratovane
