// The clipboard's text as the program's Copy left it, read inside Wine (outside, Wine turns
// CR LF into LF).
#pragma once
#include <string>

// The CF_TEXT on the clipboard; "<nothing>" when it holds none, "<not opened>" when another
// window holds it open.
std::string ClipboardText();
