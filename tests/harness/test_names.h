// Readable names for the rows of table-driven tests.
#pragma once
#include <cctype>
#include <string>

// "timeout 8000 is the upper bound" -> "Timeout8000IsTheUpperBound" (a valid test name).
inline std::string CaseName(const std::string& text) {
    std::string name;
    bool upper = true;
    for (char c : text) {
        if (isalnum(static_cast<unsigned char>(c))) {
            name += upper ? static_cast<char>(toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name.empty() ? "Empty" : name;
}
