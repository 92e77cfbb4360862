// Keys of the option map of the text serialiser.
#pragma once

#include <any>
#include <map>

namespace stratovane {

// Expected value types: jsonSerialization a WritingOptions, castNilToNSNull a bool,
// maxObjextDepth an int (long and long long are accepted too), encoding an Encoding.
// An entry of another type counts as absent.
enum class writingOptionsKeys { jsonSerialization, castNilToNSNull, maxObjextDepth, encoding };

using WritingOptionsMap = std::map<writingOptionsKeys, std::any>;

}  // namespace stratovane
