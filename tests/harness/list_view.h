// Reading a list view from a test: rows, cells, images and column headers.
#pragma once
#include <windows.h>
#include <string>

int ListViewRowCount(HWND listView);
int ListViewColumnCount(HWND listView);
std::string ListViewCell(HWND listView, int row, int subItem);
std::string ListViewColumnTitle(HWND listView, int index);
int ListViewColumnWidth(HWND listView, int index);
int ListViewRowImage(HWND listView, int row);
LPARAM ListViewRowData(HWND listView, int row);
// All visible cells of a row joined with '|', for compact assertions.
std::string ListViewRow(HWND listView, int row);
