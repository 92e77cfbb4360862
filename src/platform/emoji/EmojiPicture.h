// An emoji drawn in colour into a square PNG, with Pango and Cairo.
#pragma once

#include <string>

namespace stratovane {

// The PNG file's bytes; throws std::runtime_error when the emoji has no ink (no font draws it).
// Centred by its ink, with a small margin, as icons have: hosts that fill their height with it
// match the label better.
std::string drawEmojiPng(const std::string& emoji, int size);

}  // namespace stratovane
