// Builds the windows of the interface files compiled into the binary and connects their outlets.
#include "platform/gtk/GtkInterfaceLoader.h"

#include <dlfcn.h>
#include <gmodule.h>
#include <gtkmm/box.h>
#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/combobox.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/switch.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Translation.h"
#include "platform/gtk/GtkButtonAdapter.h"
#include "platform/gtk/GtkLabelCell.h"
#include "platform/gtk/GtkPopUpButtonAdapter.h"
#include "platform/gtk/GtkScrollViewAdapter.h"
#include "platform/gtk/GtkSearchFieldAdapter.h"
#include "platform/gtk/GtkSegmentedControlAdapter.h"
#include "platform/gtk/GtkSwitchAdapter.h"
#include "platform/gtk/GtkTextFieldAdapter.h"
#include "platform/gtk/GtkTextViewAdapter.h"
#include "platform/gtk/GtkViewAdapter.h"
#include "platform/gtk/GtkWindowAdapter.h"
#include "platform/gtk/GuardedAction.h"
#include "platform/gtk/MapModule.h"

// Generated from data/ui/stratovane.gresource.xml; the resource registers itself when linked.
extern "C" GResource* stratovane_get_resource(void);

namespace stratovane::gtk {

namespace {

void fail(const std::string& name, const std::string& what) {
  std::fprintf(stderr, tr("stratovane: interface file %s %s\n"), name.c_str(), what.c_str());
}

// Checked with the C type system first: gtkmm's lookup reports a miss as a critical warning.
template <class T>
T* find(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& id) {
  GObject* object = gtk_builder_get_object(builder->gobj(), id.c_str());
  if (object == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(object, T::get_type())) return nullptr;
  T* widget = nullptr;
  builder->get_widget(id, widget);
  return widget;
}

// Toplevel windows outlive the builder; a file that fails to load must not leave them behind.
void destroyToplevels(const Glib::RefPtr<Gtk::Builder>& builder) {
  GSList* objects = gtk_builder_get_objects(builder->gobj());
  for (GSList* entry = objects; entry != nullptr; entry = entry->next) {
    if (GTK_IS_WINDOW(entry->data)) gtk_widget_destroy(GTK_WIDGET(entry->data));
  }
  g_slist_free(objects);
}

// Pairs the widget of each id in `wanted` with what the id came with; false, after saying which
// one is missing, on a miss.
template <class Widget, class Target>
bool findAll(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name,
             const std::vector<std::pair<std::string, Target>>& wanted, const char* kind,
             std::vector<std::pair<Widget*, Target>>& found) {
  for (const auto& [id, target] : wanted) {
    Widget* widget = find<Widget>(builder, id);
    if (widget == nullptr) {
      fail(name, fillIn(tr("has no %s \"%s\""), {kind, id}));
      return false;
    }
    found.emplace_back(widget, target);
  }
  return true;
}

// Finds the widget of every outlet and adds the filling of each to `fills`; false on a miss.
template <class Widget, class Adapter, class Port>
bool lookUp(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name,
            const std::shared_ptr<Gtk::Window>& window,
            const std::vector<Connections::Outlet<Port>>& outlets, const char* kind,
            std::vector<std::function<void()>>& fills) {
  std::vector<std::pair<Widget*, std::shared_ptr<Port>*>> found;
  if (!findAll(builder, name, outlets, kind, found)) return false;
  for (const auto& [widget, outlet] : found) {
    fills.emplace_back(
        [window, widget, outlet] { *outlet = std::make_shared<Adapter>(window, *widget); });
  }
  return true;
}

// The map module's entry, loaded on first use from the folder of the module running this code and
// kept for the rest of the run: the toolkit types it registers cannot be unloaded.
MapViewFactory mapModuleFactory() {
  static MapViewFactory factory = nullptr;
  if (factory != nullptr) return factory;
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&mapModuleFactory), &self) == 0 || self.dli_fname == nullptr) {
    std::fputs(tr("stratovane: cannot find the folder of the map module\n"), stderr);
    return nullptr;
  }
  const std::filesystem::path path =
      std::filesystem::path(self.dli_fname).parent_path() / kMapModuleName;
  GModule* module = g_module_open(path.c_str(), G_MODULE_BIND_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, tr("stratovane: cannot load the map: %s\n"), g_module_error());
    return nullptr;
  }
  gpointer symbol = nullptr;
  if (!g_module_symbol(module, kMapViewFactory, &symbol) || symbol == nullptr) {
    std::fprintf(stderr, tr("stratovane: %s is not a Stratovane map module\n"), path.c_str());
    g_module_close(module);
    return nullptr;
  }
  g_module_make_resident(module);
  factory = reinterpret_cast<MapViewFactory>(symbol);
  return factory;
}

std::shared_ptr<MapView> moduleMap(Gtk::Container& container) {
  const MapViewFactory factory = mapModuleFactory();
  if (factory == nullptr) return nullptr;
  std::unique_ptr<MapView> map(factory(container.gobj()));
  if (!map) std::fputs(tr("stratovane: the map cannot be made\n"), stderr);
  return map;
}

}  // namespace

Glib::RefPtr<Gtk::Builder> GtkInterfaceLoader::build(const std::string& name) {
  // Referencing the resource links it in from the static library.
  static_cast<void>(stratovane_get_resource());
  const Glib::RefPtr<Gtk::Builder> builder = Gtk::Builder::create();
  builder->set_translation_domain(kTextDomain);
  try {
    builder->add_from_resource(kResourcePrefix + name + ".ui");
  } catch (const Glib::Error& error) {
    fail(name, fillIn(tr("cannot be loaded: %s"), {error.what().raw()}));
    destroyToplevels(builder);
    return {};
  }
  return builder;
}

bool GtkInterfaceLoader::connect(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name,
                                 const std::shared_ptr<Gtk::Window>& window,
                                 const Connections& connections) {
  // Everything is looked up before any outlet is filled, so a failure leaves them all untouched.
  std::vector<std::function<void()>> fills;
  const bool complete =
      lookUp<Gtk::Label, GtkLabelCell>(builder, name, window, connections.textFieldCells,
                                       "GtkLabel", fills) &&
      lookUp<Gtk::TextView, GtkTextViewAdapter>(builder, name, window, connections.textViews,
                                                "GtkTextView", fills) &&
      lookUp<Gtk::ScrolledWindow, GtkScrollViewAdapter>(
          builder, name, window, connections.scrollViews, "GtkScrolledWindow", fills) &&
      lookUp<Gtk::Entry, GtkTextFieldAdapter>(builder, name, window, connections.textFields,
                                              "GtkEntry", fills) &&
      lookUp<Gtk::ComboBox, GtkPopUpButtonAdapter>(builder, name, window, connections.popUpButtons,
                                                   "GtkComboBox", fills) &&
      lookUp<Gtk::Box, GtkSegmentedControlAdapter>(
          builder, name, window, connections.segmentedControls, "GtkBox", fills) &&
      lookUp<Gtk::Popover, GtkViewAdapter>(builder, name, window, connections.views, "GtkPopover",
                                           fills) &&
      lookUp<Gtk::Switch, GtkSwitchAdapter>(builder, name, window, connections.switches,
                                            "GtkSwitch", fills) &&
      lookUp<Gtk::Entry, GtkSearchFieldAdapter>(builder, name, window, connections.searchFields,
                                                "GtkEntry", fills) &&
      lookUp<Gtk::Button, GtkButtonAdapter>(builder, name, window, connections.buttons, "GtkButton",
                                            fills);
  std::vector<std::pair<Gtk::Box*, std::shared_ptr<MapView>*>> maps;
  std::vector<std::pair<Gtk::Button*, std::function<void()>>> buttons;
  if (!complete || !findAll(builder, name, connections.mapViews, "GtkBox", maps) ||
      !findAll(builder, name, connections.actions, "GtkButton", buttons)) {
    return false;
  }
  // Maps are made last of all: making one may fail too, when its module is missing.
  for (const auto& [container, outlet] : maps) {
    std::shared_ptr<MapView> map = mapFactory_ ? mapFactory_(*container) : moduleMap(*container);
    if (!map) return false;  // the factory has said why
    fills.emplace_back([outlet, map = std::move(map)] { *outlet = map; });
  }

  for (const std::function<void()>& fill : fills) fill();
  for (auto& [button, action] : buttons) {
    button->signal_clicked().connect([action = std::move(action)] { runGuarded(action); });
  }
  return true;
}

std::shared_ptr<Window> GtkInterfaceLoader::loadWindow(const std::string& name,
                                                       const Connections& connections) {
  const Glib::RefPtr<Gtk::Builder> builder = build(name);
  if (!builder) return nullptr;
  Gtk::Window* toplevel = find<Gtk::Window>(builder, "window");
  if (toplevel == nullptr) {
    fail(name, fillIn(tr("has no %s \"%s\""), {"GtkWindow", "window"}));
    destroyToplevels(builder);
    return nullptr;
  }
  // The builder hands toplevel windows over to the caller.
  const std::shared_ptr<Gtk::Window> window(toplevel);
  if (!connect(builder, name, window, connections)) return nullptr;
  return std::make_shared<GtkWindowAdapter>(window);
}

std::shared_ptr<View> GtkInterfaceLoader::loadView(const std::string& name,
                                                   const std::string& identifier,
                                                   const Connections& connections) {
  const Glib::RefPtr<Gtk::Builder> builder = build(name);
  if (!builder) return nullptr;
  GObject* object = gtk_builder_get_object(builder->gobj(), identifier.c_str());
  Gtk::Widget* root = object != nullptr && GTK_IS_WIDGET(object) && !GTK_IS_WINDOW(object)
                          ? Glib::wrap(GTK_WIDGET(object))
                          : nullptr;
  if (root == nullptr || root->get_parent() != nullptr) {
    fail(name, fillIn(tr("has no view \"%s\""), {identifier}));
    destroyToplevels(builder);
    return nullptr;
  }
  // The view's window outlives the builder and holds the view from here on.
  const auto window = std::make_shared<Gtk::Window>();
  window->add(*root);
  if (!connect(builder, name, window, connections)) return nullptr;
  return std::make_shared<GtkViewAdapter>(window, *root);
}

}  // namespace stratovane::gtk
