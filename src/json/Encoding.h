// Text encodings the serialiser can produce.
#pragma once

namespace stratovane {

// Serialised text is held in std::string as UTF-8; `ascii` only succeeds when every byte is 7-bit.
enum class Encoding { utf8, ascii };

}  // namespace stratovane
