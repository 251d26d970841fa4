// FormatHopCell of any column for any hop numbers, into a buffer of any size: the text fits the
// buffer and is the whole text cut to fit; unknown columns read "Dunno", the host name is the
// hop's own text, a placeholder shows "---", and every number reads back as the hop's own.
#include "fuzz_check.h"
#include "hoptable/cell_format.h"
#include "hoptable/columns.h"
#include "hoptable/loss_rule.h"
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>

// The number a cell shows before its unit ("ms", "%"), which must follow it and end the text.
static long long CellNumber(const char* text, const char* unit) {
    char* end;
    long long number = strtoll(text, &end, 10);
    FUZZ_CHECK(end != text && strcmp(end, unit) == 0);
    return number;
}

static void CheckWholeText(int column, const HopCellNumbers& hop, const char* text) {
    if (column < 0 || column >= kColumnTotal) {
        FUZZ_CHECK(strcmp(text, "Dunno") == 0);
        return;
    }
    if (column == kColumnHop) {
        FUZZ_CHECK(CellNumber(text, "") == hop.Row + (hop.IgnoreFirst & 1) + 1);
        return;
    }
    if (column == kColumnHostName) {
        FUZZ_CHECK(text == hop.HostText);
        return;
    }
    if (column == kColumnAs) { // the lookups' own text, or none
        FUZZ_CHECK(hop.AsText ? text == hop.AsText : strcmp(text, "") == 0);
        return;
    }
    if (hop.NoResponse) {
        FUZZ_CHECK(strcmp(text, "---") == 0);
        return;
    }
    const int rtts[] = {static_cast<int>(hop.LastRtt), static_cast<int>(hop.AverageRtt),
                        static_cast<int>(hop.MinRtt), static_cast<int>(hop.MaxRtt)};
    switch (column) {
    case kColumnAddress:
        FUZZ_CHECK(strlen(text) >= 7 && strlen(text) <= 15);
        break;
    case kColumnSent:
        FUZZ_CHECK(CellNumber(text, "") == hop.Sent);
        break;
    case kColumnReceived:
        FUZZ_CHECK(CellNumber(text, "") == hop.Received);
        break;
    case kColumnLoss:
        FUZZ_CHECK(CellNumber(text, "%") == LossPercent(hop.Sent, hop.Received));
        break;
    default: // the four round-trip times, signed as the program shows them
        FUZZ_CHECK(CellNumber(text, "ms") == rtts[column - kColumnRtt]);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int column = input.ConsumeIntegralInRange(-2, kColumnTotal + 1);
    const size_t textSize = input.ConsumeIntegralInRange<size_t>(1, 256); // the program's: 256
    HopCellNumbers hop;
    hop.Row = input.ConsumeIntegralInRange(0, 39);
    hop.IgnoreFirst = input.ConsumeIntegral<int>();
    hop.NoResponse = input.ConsumeBool();
    hop.Address = input.ConsumeIntegral<uint32_t>();
    hop.Sent = input.ConsumeIntegral<int>();
    hop.Received = input.ConsumeIntegral<int>();
    hop.LastRtt = input.ConsumeIntegral<uint32_t>();
    hop.AverageRtt = input.ConsumeIntegral<uint32_t>();
    hop.MinRtt = input.ConsumeIntegral<uint32_t>();
    hop.MaxRtt = input.ConsumeIntegral<uint32_t>();
    const std::string host = input.ConsumeRemainingBytesAsString();
    hop.HostText = host.c_str();
    hop.AsText = hop.Row % 2 ? host.c_str() : nullptr; // either kept text, or none

    char whole[256];
    const char* full = FormatHopCell(column, hop, whole, sizeof whole);
    CheckWholeText(column, hop, full);
    std::string fullText = full; // the address lives in a buffer that the next call rewrites
    std::unique_ptr<char[]> text(new char[textSize]);
    const char* cut = FormatHopCell(column, hop, text.get(), textSize);
    if (cut == text.get()) {
        size_t length = strnlen(cut, textSize);
        FUZZ_CHECK(length < textSize);
        FUZZ_CHECK(fullText.compare(0, length, cut) == 0 &&
                   (length == fullText.size() || length == textSize - 1));
    } else {
        FUZZ_CHECK(fullText == cut); // the host name and the address are not cut
    }
    return 0;
}
