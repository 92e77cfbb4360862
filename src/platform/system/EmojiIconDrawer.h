// Draws the panel icons of emoji in a helper process, so that the panel item never loads fonts.
#pragma once

#include <glib.h>

#include <functional>
#include <string>

#include "platform/system/GSourcePtr.h"

namespace stratovane {

// An icon is drawn once into its folder and found there afterwards, by this run and later ones of
// the same session. One helper runs at a time; a request made meanwhile waits for it, and only
// the latest waits.
class EmojiIconDrawer {
 public:
  static constexpr int kSize = 64;  // pixels; hosts scale it to their height
  static constexpr const char* kHelperName = "stratovane-emoji";

  // `helper` is the drawing program, `folder` where icons go. `drawn` is called on the main loop
  // with the emoji and its icon's full path, or an empty path when it cannot be drawn (after one
  // line on standard error).
  EmojiIconDrawer(std::string helper, std::string folder,
                  std::function<void(const std::string& emoji, const std::string& icon)> drawn);
  ~EmojiIconDrawer();  // a running helper is killed; nothing is called any more
  EmojiIconDrawer(const EmojiIconDrawer&) = delete;
  EmojiIconDrawer& operator=(const EmojiIconDrawer&) = delete;

  // The icon's full path when it has been drawn already; empty otherwise.
  std::string existingIcon(const std::string& emoji) const;
  // Asks for the icon; `drawn` follows, never from inside this call.
  void request(const std::string& emoji);
  // The helper beside the running program.
  static std::string defaultHelper();

  // Longest a helper may take before it is killed.
  static constexpr unsigned kTimeoutSeconds = 10;

 private:
  static void onExit(GPid pid, gint status, gpointer self);
  void start(const std::string& emoji);
  void finish(bool succeeded);

  std::string helper_;
  std::string folder_;
  std::function<void(const std::string&, const std::string&)> drawn_;
  bool cannotStart_ = false;
  GPid running_ = 0;
  std::string drawing_;  // the emoji of the running helper
  std::string waiting_;  // the latest request made while it runs
  guint childWatch_ = 0;
  AttachedSource timeout_;
  AttachedSource reply_;  // a cached icon's answer, given on the main loop
};

}  // namespace stratovane
