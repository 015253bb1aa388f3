// Resource identifiers of the program's icon and artwork, shared by the .rc file and the C++ code.
#ifndef VSS_RESOURCE_H
#define VSS_RESOURCE_H

// Icon of the program (16 x 16 and 32 x 32 images).
#define IDI_APP 1

// Pictures. Every bitmap is 24 bits per pixel; pixels of VSS_ART_KEY_COLOR are transparent.
#define IDB_VORNA_FRAMES   101  // prairie dog animation: VSS_VORNA_FRAME_COUNT frames side by side
#define IDB_APP_PICTURE    102  // the 32 x 32 icon image as a bitmap (about and progress windows)
#define IDB_TITLE          103  // title art, VSS_TITLE_WIDTH x VSS_TITLE_HEIGHT

// Glyphs of the flat buttons, VSS_GLYPH_SIZE square.
#define IDB_GLYPH_LISTVIEW 110  // show the file list window
#define IDB_GLYPH_SELECT   111  // choose files or a folder
#define IDB_GLYPH_DATE     112  // enter a creation or update time (both date buttons)
#define IDB_GLYPH_SAVE     113  // file list window: save the list
#define IDB_GLYPH_CBCOPY   114  // file list window: copy the list to the clipboard
#define IDB_GLYPH_CLEAR    115  // file list window: clear the list
#define IDB_GLYPH_STOP     116  // progress window: stop reading names

// Glyphs of the selection menu entries, VSS_GLYPH_SIZE square.
#define IDB_MENU_FOLDER    120  // folder selection
#define IDB_MENU_FILE      121  // file selection
#define IDB_MENU_CANCEL    122  // cancel

// Images of the help window's contents tree, VSS_GLYPH_SIZE square, side by side: closed book, open
// book, page.
#define IDB_HELP_TREE      130

// Every bitmap above also at 150 % and 200 % display scale, under its identifier plus these
// (ui::LoadArtBitmap picks the one for a window's DPI).
#define VSS_ART_150 1000
#define VSS_ART_200 2000

// Transparent colour of every bitmap above, as a COLORREF (magenta, red 255, green 0, blue 255).
#define VSS_ART_KEY_COLOR 0x00FF00FF

#define VSS_VORNA_FRAME_WIDTH  32
#define VSS_VORNA_FRAME_HEIGHT 24
#define VSS_VORNA_FRAME_COUNT  26
#define VSS_GLYPH_SIZE         16
#define VSS_TITLE_WIDTH        128
#define VSS_TITLE_HEIGHT       32

#endif
