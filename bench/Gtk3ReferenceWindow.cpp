// The other yardstick of the editor's start-up bench: a GTK3 window of the
// editor's size holding the same field grid, eight framed panels of five
// label and spin-button rows, then waits to be ended.
#include <gtk/gtk.h>

#include <string>

namespace {

constexpr int kPanels = 8;
constexpr int kRows = 5;
constexpr int kColumns = 4;

GtkWidget* MakePanel(int index)
{
    GtkWidget* frame = gtk_frame_new(("PANEL " + std::to_string(index + 1)).c_str());
    GtkWidget* rows = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(rows), 4);
    gtk_grid_set_column_spacing(GTK_GRID(rows), 8);
    gtk_container_set_border_width(GTK_CONTAINER(rows), 8);
    for (int row = 0; row < kRows; ++row) {
        GtkWidget* label = gtk_label_new(("VALUE " + std::to_string(row + 1)).c_str());
        gtk_widget_set_halign(label, GTK_ALIGN_START);
        GtkWidget* spin = gtk_spin_button_new_with_range(0, 127, 1);
        gtk_spin_button_set_value(GTK_SPIN_BUTTON(spin), row * 10);
        gtk_grid_attach(GTK_GRID(rows), label, 0, row, 1, 1);
        gtk_grid_attach(GTK_GRID(rows), spin, 1, row, 1, 1);
    }
    gtk_container_add(GTK_CONTAINER(frame), rows);
    return frame;
}

}  // namespace

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "GTK3 reference window");
    gtk_window_set_default_size(GTK_WINDOW(window), 1000, 720);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* panels = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(panels), 8);
    gtk_grid_set_column_spacing(GTK_GRID(panels), 8);
    gtk_container_set_border_width(GTK_CONTAINER(panels), 8);
    for (int i = 0; i < kPanels; ++i) gtk_grid_attach(GTK_GRID(panels), MakePanel(i), i % kColumns, i / kColumns, 1, 1);
    gtk_container_add(GTK_CONTAINER(window), panels);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
