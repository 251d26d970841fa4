// The mapping service's TXT answers on any bytes: a well-formed origin answer has exactly four
// separators and a name answer at least four; every field read is terminated inside its record
// and printable; the first origin is the number shown; the texts made of them fit their buffers.
#include "asn/as_answer.h"
#include "fuzz_check.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

static void CheckField(const char* field, size_t size) {
    size_t length = strnlen(field, size);
    FUZZ_CHECK(length < size);
    for (size_t i = 0; i < length; i++)
        FUZZ_CHECK(field[i] >= 0x20 && field[i] < 0x7f);
}

static void CheckCountry(const char* country) {
    size_t length = strlen(country);
    FUZZ_CHECK(length == 0 || length == 2);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    size_t cellSize = data[0] % 64 + 1;
    // The answer in a block of its own exact size, so that a read past it is caught.
    size_t length = size - 1;
    std::unique_ptr<char[]> text(new char[length ? length : 1]);
    memcpy(text.get(), data + 1, length);
    size_t separators = 0;
    for (size_t i = 0; i < length; i++)
        separators += text[i] == '|';

    AsOrigin origin;
    if (ParseOriginAnswer(text.get(), length, origin)) {
        FUZZ_CHECK(separators == 4);
        FUZZ_CHECK(origin.Asn > 0);
        CheckField(origin.Origins, sizeof origin.Origins);
        CheckField(origin.Prefix, sizeof origin.Prefix);
        CheckField(origin.Country, sizeof origin.Country);
        CheckField(origin.Registry, sizeof origin.Registry);
        CheckField(origin.Date, sizeof origin.Date);
        CheckCountry(origin.Country);
        FUZZ_CHECK(strchr(origin.Prefix, '/') != nullptr);
        if (origin.Origins[0]) // the first origin kept is the one shown
            FUZZ_CHECK(strtoull(origin.Origins, nullptr, 10) == origin.Asn);
        char whole[512];
        FormatAsAnswer(whole, sizeof whole, origin, nullptr);
        FUZZ_CHECK(strnlen(whole, sizeof whole) < sizeof whole);
    }

    AsName name;
    if (ParseAsNameAnswer(text.get(), length, name)) {
        FUZZ_CHECK(separators >= 4);
        FUZZ_CHECK(name.Asn > 0 && name.Name[0] != '\0');
        CheckField(name.Name, sizeof name.Name);
        CheckField(name.Country, sizeof name.Country);
        CheckField(name.Registry, sizeof name.Registry);
        CheckField(name.Date, sizeof name.Date);
        CheckCountry(name.Country);
        std::unique_ptr<char[]> cell(new char[cellSize]);
        FormatAsCell(cell.get(), cellSize, name.Asn, &name);
        std::string shown = cell.get();
        FUZZ_CHECK(shown.size() < cellSize);
        std::string number = "AS" + std::to_string(name.Asn);
        FUZZ_CHECK(number.compare(0, shown.size(), shown, 0, std::min(shown.size(), number.size())) == 0);
        FUZZ_CHECK(shown.find(',') == std::string::npos); // the short form ends before a comma
    }
    return 0;
}
