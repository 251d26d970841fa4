// The graph's picture on the clipboard, as a device-independent bitmap to paste into a ticket.
#include "graph/graph_view.h"
#include <cstdint>
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
    // The back buffer's fourth bytes are 0, which a program that reads them as alpha would paste
    // as a wholly transparent picture: each pixel goes onto the clipboard opaque.
    const uint32_t* from = static_cast<const uint32_t*>(bits);
    uint32_t* to = reinterpret_cast<uint32_t*>(data + sizeof header);
    for (size_t i = 0; i < pixels / 4; i++)
        to[i] = from[i] | 0xFF000000u;
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
