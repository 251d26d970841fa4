// Paths walked by character, not by byte (platform-free).
#pragma once

// True for a byte that begins a character of two bytes in the program's code page: the byte after
// it is that character's second, which in code pages 932, 936, 949 and 950 may be 0x5C, the `\`
// (表 in 932 is 0x95 0x5C).
typedef bool (*LeadByteTest)(unsigned char byte);
// The lead bytes of the code page the program's ANSI calls use (IsDBCSLeadByte).
bool IsAnsiLeadByte(unsigned char byte);

// The last `\` or `/` of path that is a character of its own, or nullptr when there is none; a
// null isLeadByte walks it byte by byte, as for a code page of single bytes.
const char* LastPathSeparator(const char* path, LeadByteTest isLeadByte);
