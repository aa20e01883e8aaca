/* A window with one button that offers the URIs on its command line as one text/uri-list
 * drag, as a file manager would: an X client of another toolkit. */
#include <gtk/gtk.h>

static void OnDragDataGet(GtkWidget *button, GdkDragContext *context, GtkSelectionData *data, guint info,
                          guint time, gpointer uris)
{
    gtk_selection_data_set_uris(data, uris);  /* fails only for another target, and none is offered */
}

int main(int argc, char **argv)
{
    static const GtkTargetEntry kUriList = {"text/uri-list", 0, 0};
    gtk_init(&argc, &argv);
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL), *button = gtk_button_new_with_label("drag me");
    gtk_window_set_title(GTK_WINDOW(window), "Lumora drag source");
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 100);
    gtk_container_add(GTK_CONTAINER(window), button);
    gtk_drag_source_set(button, GDK_BUTTON1_MASK, &kUriList, 1, GDK_ACTION_COPY);
    /* gtk_init leaves argv ending in NULL, as a URI list must. */
    g_signal_connect(button, "drag-data-get", G_CALLBACK(OnDragDataGet), argv + 1);
    gtk_widget_show_all(window);
    gtk_main();  /* until the script ends it */
}
