// Shows views of interface files in their windows: transient at the pointer, or ordinary.
#include "platform/gtk/GtkViewPresenter.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>
#include <utility>

#include "platform/Translation.h"
#include "platform/gtk/GtkViewAdapter.h"
#include "platform/gtk/GuardedAction.h"

// Xlib's macros clash with gtkmm's names: last.
#include <gdk/gdkx.h>

namespace stratovane::gtk {

namespace {

constexpr const char* kTitle = trLater("Stratovane Settings");
constexpr const char* kTransientClass = "stratovane-transient";
// An undecorated window needs an edge of its own to stand out from what lies below.
constexpr const char* kTransientStyle =
    "window.stratovane-transient { border: 1px solid alpha(black, 0.35); }";

bool anyWindowOfOursActive() {
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (window->get_visible() && window->is_active()) return true;
  }
  // An open combo box list or menu holds a grab and may hold the focus with it.
  return gtk_grab_get_current() != nullptr;
}

}  // namespace

struct GtkViewPresenter::Showing {
  std::shared_ptr<View> view;
  Gtk::Window* window = nullptr;
  ViewLifeCycle lifeCycle;
  std::vector<sigc::connection> connections;
  sigc::connection focusCheck;
  bool hasBeenActive = false;
  bool closed = false;

  void disconnect() {
    focusCheck.disconnect();
    for (sigc::connection& connection : connections) connection.disconnect();
  }
};

GtkViewPresenter::GtkViewPresenter() = default;

// At the first showing: the presenter is made before the toolkit is initialised.
void GtkViewPresenter::installStyle() {
  if (styleInstalled_) return;
  styleInstalled_ = true;
  const auto screen = Gdk::Screen::get_default();
  if (!screen) return;
  auto css = Gtk::CssProvider::create();
  try {
    css->load_from_data(kTransientStyle);
    Gtk::StyleContext::add_provider_for_screen(screen, css,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  } catch (const Glib::Error&) {
    // Only the edge is missing then.
  }
}

GtkViewPresenter::~GtkViewPresenter() {
  for (const auto& showing : showings_) showing->disconnect();
}

void GtkViewPresenter::present(std::shared_ptr<View> view, PresentationStyle style,
                               ViewLifeCycle lifeCycle) {
  auto* adapter = dynamic_cast<GtkViewAdapter*>(view.get());
  if (adapter == nullptr) return;
  installStyle();
  auto showing = std::make_unique<Showing>();
  Showing* current = showing.get();
  current->view = std::move(view);
  current->window = &adapter->window();
  current->lifeCycle = std::move(lifeCycle);
  Gtk::Window& window = *current->window;

  window.set_title(tr(kTitle));
  window.set_icon_name("stratovane");
  window.set_resizable(false);
  window.set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  if (style == PresentationStyle::transient) {
    window.set_decorated(false);
    window.set_skip_taskbar_hint(true);
    window.set_skip_pager_hint(true);
    window.set_keep_above(true);
    window.get_style_context()->add_class(kTransientClass);
    // Only X11 lets a client place its window; elsewhere the desktop centres it.
    const bool placeable = GDK_IS_X11_DISPLAY(window.get_display()->gobj());
    window.set_position(placeable ? Gtk::WIN_POS_MOUSE : Gtk::WIN_POS_CENTER);
  } else {
    window.set_position(Gtk::WIN_POS_CENTER);
  }

  // Closing by any means hides the window; the hide is the view's disappearance.
  current->connections.push_back(window.signal_delete_event().connect([&window](GdkEventAny*) {
    window.hide();
    return true;
  }));
  // After the focused widget had its turn: Escape in an open list or popover closes only that.
  current->connections.push_back(window.signal_key_press_event().connect(
      [&window](GdkEventKey* event) {
        if (event->keyval != GDK_KEY_Escape) return false;
        window.hide();
        return true;
      },
      true));
  if (style == PresentationStyle::transient) {
    current->connections.push_back(
        window.property_is_active().signal_changed().connect([current, &window] {
          if (window.is_active()) {
            current->hasBeenActive = true;
            current->focusCheck.disconnect();
            return;
          }
          if (!current->hasBeenActive || current->focusCheck.connected()) return;
          current->focusCheck = Glib::signal_timeout().connect(
              [&window] {
                if (window.get_visible() && !anyWindowOfOursActive()) window.hide();
                return false;
              },
              kFocusGraceMilliseconds);
        }));
  }
  current->connections.push_back(window.signal_hide().connect([this, current] {
    if (current->closed) return;
    current->closed = true;
    current->disconnect();
    const ViewLifeCycle lifeCycle = std::move(current->lifeCycle);
    current->lifeCycle = {};
    runGuarded(lifeCycle.viewDidDisappear);
    // The window goes once its signal handlers have returned.
    Glib::signal_idle().connect_once([this, current] {
      const auto found = std::find_if(showings_.begin(), showings_.end(),
                                      [current](const auto& s) { return s.get() == current; });
      if (found != showings_.end()) showings_.erase(found);
    });
  }));
  // The map takes the focus when the window opens, so no text is selected for typing over.
  current->connections.push_back(window.signal_map_event().connect([&window](GdkEventAny*) {
    window.present();
    return false;
  }));

  showings_.push_back(std::move(showing));
  runGuarded(current->lifeCycle.viewWillAppear);
  window.present();
}

void GtkViewPresenter::bringToFront(View& view) {
  auto* adapter = dynamic_cast<GtkViewAdapter*>(&view);
  if (adapter != nullptr) adapter->window().present();
}

}  // namespace stratovane::gtk
