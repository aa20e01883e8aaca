/* A window with one button that offers the files named on its command line as one drag
 * (text/uri-list, in the order given), for the end-to-end tests: an X client of another
 * toolkit, as a file manager would be. Prints "drag-end" on standard output whenever a
 * drag from it has ended, so a script knows when the drop has been answered. */

#include <gtk/gtk.h>

#include <stdio.h>

static const char kTitle[] = "Lumora drag source";

static void OnDragDataGet(GtkWidget *button, GdkDragContext *context, GtkSelectionData *data, guint info,
                          guint time, gpointer uris)
{
    (void)button;
    (void)context;
    (void)info;
    (void)time;
    /* Only fails for a target other than a URI list, and no other one is offered. */
    (void)gtk_selection_data_set_uris(data, uris);
}

static void OnDragEnd(GtkWidget *button, GdkDragContext *context, gpointer unused)
{
    (void)button;
    (void)context;
    (void)unused;
    printf("drag-end\n");
    fflush(stdout);
}

int main(int argc, char **argv)
{
    gtk_init(&argc, &argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE...\n", argv[0]);
        return 2;
    }

    /* The files need not exist: a drop of a missing file is a case worth testing. */
    gchar **uris = g_new0(gchar *, (gsize)argc);
    for (int i = 1; i < argc; ++i) {
        gchar *absolute = g_canonicalize_filename(argv[i], NULL);
        GError *error = NULL;
        uris[i - 1] = g_filename_to_uri(absolute, NULL, &error);
        g_free(absolute);
        if (uris[i - 1] == NULL) {
            fprintf(stderr, "%s: %s\n", argv[i], error->message);
            g_error_free(error);
            g_strfreev(uris);
            return 2;
        }
    }

    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), kTitle);
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 100);
    GtkWidget *button = gtk_button_new_with_label("drag me");
    gtk_container_add(GTK_CONTAINER(window), button);

    static const GtkTargetEntry kTargets[] = {{"text/uri-list", 0, 0}};
    gtk_drag_source_set(button, GDK_BUTTON1_MASK, kTargets, G_N_ELEMENTS(kTargets), GDK_ACTION_COPY);
    g_signal_connect(button, "drag-data-get", G_CALLBACK(OnDragDataGet), uris);
    g_signal_connect(button, "drag-end", G_CALLBACK(OnDragEnd), NULL);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);

    gtk_widget_show_all(window);
    gtk_main();
    g_strfreev(uris);
    return 0;
}
