// A view of an interface file (a window's content or a popover) as the application's View.
#include "platform/gtk/GtkViewAdapter.h"

#include <gtk/gtk.h>

namespace stratovane::gtk {

void GtkViewAdapter::dismiss() {
  if (GTK_IS_POPOVER(widget_.gobj())) {
    gtk_popover_popdown(GTK_POPOVER(widget_.gobj()));
  } else {
    owner_->hide();
  }
}

}  // namespace stratovane::gtk
