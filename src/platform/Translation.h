// Texts of our own in the user's language, through the C library's gettext.
#pragma once

#include <libintl.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace stratovane {

inline constexpr const char* kTextDomain = "stratovane";

// The English text itself when no catalogue has it. The format attributes let the compiler check
// printf arguments against the English text; catalogues are checked against it when built.
[[gnu::format_arg(1)]] inline const char* tr(const char* text) {
  return dgettext(kTextDomain, text);
}

// The form for `count` in the user's language: English has `singular` for 1, else `plural`.
[[gnu::format_arg(1), gnu::format_arg(2)]] inline const char* trPlural(const char* singular,
                                                                       const char* plural,
                                                                       unsigned long count) {
  return dngettext(kTextDomain, singular, plural, count);
}

// Marks a text for the catalogues where it is defined, to be translated with tr() where it is
// shown; code and tests keep comparing the English text.
constexpr const char* trLater(const char* text) {
  return text;
}

// Puts `arguments` into a (translated) text in place of "%s", taken in turn, or "%1$s", "%2$s",
// ... by position; "%%" is a percent sign. Anything else, a position without an argument
// included, stays as written: a faulty catalogue can never make it read past its arguments.
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> arguments);

}  // namespace stratovane
