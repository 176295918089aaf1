// The menu's show_command and panel_click, installed as the menu hooks.
#pragma once

// Selects a page (below 10) or keeps it (SHOW_REDRAW), draws it and, for a row not shown
// last, runs its action or opens its panel.
void menu_show_command(int page_or_redraw);
// Clicks on the menu column and the right panel.
void menu_panel_click(int x, int y);
// The pointer at (x, y) this frame: reaching another menu row speaks that row.
void menu_hover(int x, int y);
void menu_hooks_install();
