// Positions of list entries, grid cells and buttons worked out from the layout tables.
#include "sequencer/shell/screen_layout.h"

int menu_row_at(int y) {
    if (y < MENU_COLUMN.top || y > MENU_COLUMN.bottom) {
        return -1;
    }
    return (y - MENU_FIRST_ROW * CELL_HEIGHT) / CELL_HEIGHT;
}

ScreenPoint menu_row_point(int row) {
    return {270, (MENU_FIRST_ROW + row) * CELL_HEIGHT + 8};
}

int list_label_column(const ListLayout& list, int entry) {
    return list.label_column + (entry / list.rows) * list.column_cells;
}

int list_text_column(const ListLayout& list, int entry) {
    return list.text_column + (entry / list.rows) * list.column_cells;
}

int list_text_row(const ListLayout& list, int entry) {
    return LIST_FIRST_ROW + entry % list.rows;
}

int list_row_at(int y, int count) {
    int top = LIST_FIRST_ROW * CELL_HEIGHT;
    if (y <= top || y >= top + LIST_ROWS * CELL_HEIGHT) {
        return -1;
    }
    int row = (y - top) / CELL_HEIGHT;
    return row < count ? row : -1;
}

namespace {

// The entry on row y whose cells first(entry) .. first(entry) + cells - 1 take x, or -1.
int list_cells_at(const ListLayout& list, int x, int y, int (*first_of)(const ListLayout&, int),
                  int cells) {
    int row = list_row_at(y, list.rows);
    if (row < 0) {
        return -1;
    }
    int cell = x / CELL_WIDTH;
    for (int column = 0; column * list.rows < list.entries; column++) {
        int first = first_of(list, column * list.rows);
        if (cell >= first && cell < first + cells) {
            return column * list.rows + row;
        }
    }
    return -1;
}

} // namespace

int list_label_at(const ListLayout& list, int x, int y) {
    return list_cells_at(list, x, y, list_label_column, list.label_cells);
}

int list_text_at(const ListLayout& list, int x, int y, int cells) {
    return list_cells_at(list, x, y, list_text_column, cells);
}

int grid_cell_at(const ListLayout& grid, int x, int y) {
    int row = list_row_at(y, grid.rows);
    int left = grid.label_column * CELL_WIDTH - CELL_WIDTH / 2;
    int column_width = grid.column_cells * CELL_WIDTH;
    int columns = grid.entries / grid.rows;
    if (row < 0 || x <= left || x >= left + columns * column_width) {
        return -1;
    }
    return ((x - left) / column_width) * grid.rows + row;
}

ScreenPoint list_entry_point(const ListLayout& list, int entry) {
    return {list.pointer_x + (entry / list.rows) * list.column_cells * CELL_WIDTH,
            (LIST_FIRST_ROW + entry % list.rows) * CELL_HEIGHT + 10};
}

int button_at(const ButtonRow& buttons, int x, int y) {
    if (!rect_contains(buttons.area, x, y)) {
        return -1;
    }
    return (x - buttons.area.left + 1) / buttons.pitch;
}

ScreenRect button_face(const ButtonRow& buttons, int button) {
    int left = buttons.face_left + buttons.pitch * button;
    return {left, buttons.face_top, left + buttons.face_width, buttons.face_bottom};
}

ScreenPoint button_point(const ButtonRow& buttons, int button) {
    ScreenRect face = button_face(buttons, button);
    return {(face.left + face.right) / 2, (buttons.area.top + buttons.area.bottom) / 2};
}

ScreenPoint event_list_point(int item) {
    const EventListLayout& l = EVENT_LIST;
    int fields = 3 * l.lines;
    if (item < fields) {
        return {l.pointer_line_x + l.pointer_field_pitch * (item / l.lines),
                l.pointer_line_y + CELL_HEIGHT * (item % l.lines)};
    }
    if (item < fields + 2) {
        return {l.pointer_key_x + l.key_pitch * (item - fields), l.pointer_key_y};
    }
    return {l.pointer_button_x + l.button_pitch * (item - fields - 2), l.pointer_button_y};
}
