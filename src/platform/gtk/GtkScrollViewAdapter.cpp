// A scrolled window of an interface file as the application's ScrollView.
#include "platform/gtk/GtkScrollViewAdapter.h"

#include "platform/gtk/GtkTextViewAdapter.h"

namespace stratovane::gtk {

std::shared_ptr<TextView> GtkScrollViewAdapter::documentView() {
  auto* view = dynamic_cast<Gtk::TextView*>(scrolled_.get_child());
  if (view == nullptr) return nullptr;
  return std::make_shared<GtkTextViewAdapter>(owner_, *view);
}

}  // namespace stratovane::gtk
