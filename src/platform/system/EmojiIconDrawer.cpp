// Draws the panel icons of emoji in a helper process, so that the panel item never loads fonts.
#include "platform/system/EmojiIconDrawer.h"

#include <glib/gstdio.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <utility>

#include "platform/Translation.h"
#include "platform/system/Emoji.h"
#include "platform/system/GuardedCall.h"

namespace stratovane {

EmojiIconDrawer::EmojiIconDrawer(
    std::string helper, std::string folder,
    std::function<void(const std::string& emoji, const std::string& icon)> drawn)
    : helper_(std::move(helper)), folder_(std::move(folder)), drawn_(std::move(drawn)) {}

EmojiIconDrawer::~EmojiIconDrawer() {
  if (childWatch_ != 0) g_source_remove(childWatch_);
  if (running_ != 0) {
    // Reaped here: the watch that would have done it is gone.
    kill(running_, SIGKILL);
    waitpid(running_, nullptr, 0);
    g_spawn_close_pid(running_);
  }
}

std::string EmojiIconDrawer::defaultHelper() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : (program.parent_path() / kHelperName).string();
}

std::string EmojiIconDrawer::existingIcon(const std::string& emoji) const {
  if (emoji.empty() || folder_.empty()) return {};
  const std::string path = folder_ + "/" + emojiIconFileName(emoji);
  // Helpers write whole files renamed into place, so any file there is complete.
  GStatBuf status;
  return g_stat(path.c_str(), &status) == 0 && status.st_size > 0 ? path : std::string();
}

void EmojiIconDrawer::request(const std::string& emoji) {
  if (running_ != 0) {
    if (emoji != drawing_) waiting_ = emoji;
    return;
  }
  start(emoji);
}

void EmojiIconDrawer::start(const std::string& emoji) {
  if (waiting_ == emoji) waiting_.clear();
  drawing_ = emoji;
  const std::string size = std::to_string(kSize);
  const std::string path = folder_ + "/" + emojiIconFileName(emoji);
  gchar* argv[] = {const_cast<gchar*>(helper_.c_str()), const_cast<gchar*>(emoji.c_str()),
                   const_cast<gchar*>(size.c_str()), const_cast<gchar*>(path.c_str()), nullptr};
  GError* error = nullptr;
  // A helper that cannot be started is reported once; every request is answered all the same.
  if (cannotStart_ || folder_.empty() || g_mkdir_with_parents(folder_.c_str(), 0700) != 0 ||
      !g_spawn_async(
          nullptr, argv, nullptr,
          static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL), nullptr,
          nullptr, &running_, &error)) {
    if (!cannotStart_) {
      std::fprintf(stderr, tr("stratovane: cannot draw the panel icons: %s\n"),
                   error != nullptr ? error->message : "no folder for them");
    }
    cannotStart_ = true;
    g_clear_error(&error);
    running_ = 0;
    // Answered on the main loop all the same, as the caller expects.
    reply_ = attachSource(
        g_idle_source_new(),
        [](gpointer self) -> gboolean {
          static_cast<EmojiIconDrawer*>(self)->finish(false);
          return G_SOURCE_REMOVE;
        },
        this);
    return;
  }
  childWatch_ = g_child_watch_add(running_, &EmojiIconDrawer::onExit, this);
  timeout_ = attachSource(
      g_timeout_source_new_seconds(kTimeoutSeconds),
      [](gpointer self) -> gboolean {
        auto* drawer = static_cast<EmojiIconDrawer*>(self);
        std::fputs(tr("stratovane: drawing the panel icon took too long\n"), stderr);
        // The child watch reaps it and reports the failure.
        kill(drawer->running_, SIGKILL);
        return G_SOURCE_REMOVE;
      },
      this);
}

void EmojiIconDrawer::onExit(GPid pid, gint status, gpointer self) {
  auto* drawer = static_cast<EmojiIconDrawer*>(self);
  g_spawn_close_pid(pid);
  drawer->childWatch_ = 0;
  drawer->running_ = 0;
  drawer->timeout_.reset();
  drawer->finish(g_spawn_check_wait_status(status, nullptr));
}

void EmojiIconDrawer::finish(bool succeeded) {
  const std::string emoji = std::exchange(drawing_, {});
  const std::string icon = succeeded ? existingIcon(emoji) : std::string();
  // The helper said why on its standard error, which is ours.
  callGuarded([&] { drawn_(emoji, icon); }, "the panel icon");
  if (!waiting_.empty() && running_ == 0) start(std::exchange(waiting_, {}));
}

}  // namespace stratovane
