// Text in the ANSI code page (1252) without any Windows header, for the parsers that are also built
// and fuzzed natively.
#pragma once

#include <string>

// Without the characters of codes up to 32 (blanks and controls) at either end.
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);
std::string Trim(const std::string& S);
// Lower case as Windows makes it in code page 1252: A-Z, the accented capitals from 0xC0 to 0xDE
// (not 0xD7, the multiplication sign), and the four capitals of 0x8A, 0x8C, 0x8E and 0x9F.
std::string LowerCase1252(const std::string& S);
char LowerCase1252(char C);
// A name Windows takes for a device whatever the folder: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9
// and LPT1-9 (also with the superscript digits of code page 1252), in any letter case, and also with
// an extension or blanks after it ("nul .txt").
bool IsDeviceName(const std::string& Name);
