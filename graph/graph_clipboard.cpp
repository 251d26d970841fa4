// The graph's picture on the clipboard, as a device-independent bitmap to paste into a ticket.
#include "graph/graph.h"
#include "graph/graph_settings.h"
#include <cstring>

void CopyGraphPicture(const void* bits, int width, int height) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    size_t pixels = static_cast<size_t>(width) * height * 4;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof header + pixels);
    if (!memory)
        return;
    char* data = static_cast<char*>(GlobalLock(memory));
    if (!data) {
        GlobalFree(memory);
        return;
    }
    memcpy(data, &header, sizeof header);
    memcpy(data + sizeof header, bits, pixels);
    GlobalUnlock(memory);
    if (!OpenClipboard(GraphWindow)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_DIB, memory))
        GlobalFree(memory);
    CloseClipboard();
}
