#pragma once
// The files of the program are 8-bit text in the Central European code page
// (Windows-1250); inside the program every text is UTF-8. These two functions
// are the only crossing between the two.
//
// Reading never fails and never loses a byte: every byte has its own character,
// so reading a file and writing it back gives the same bytes. The five bytes the
// code page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) read as the control
// characters of the same number (U+0081, U+0083, ...), which no other byte of
// the code page uses, and are written back as those bytes.
#include <string>
#include <string_view>

// Windows-1250 bytes to UTF-8.
std::string Cp1250ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1250 bytes. A character the code page cannot hold, and every
// byte of a malformed UTF-8 sequence, is written as '?'.
std::string Utf8ToCp1250(std::string_view utf8);
