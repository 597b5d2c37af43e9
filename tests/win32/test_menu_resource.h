#pragma once
// The menu made for the bitmap menu's tests: the product's menus have neither a submenu nor a grayed item.
#define IDR_TEST_MENU 900
#define IDM_TEST_ALPHA 100
#define IDM_TEST_BRAVO 101
#define IDM_TEST_GRAYED 102
#define IDM_TEST_BINGO 103
#define IDM_TEST_CHARLIE 110
#define IDM_TEST_DELTA 111
