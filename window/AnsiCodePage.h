#pragma once

#include <string>

// A disk's text for the ANSI functions (window titles, tooltips): a UTF-8 text (see TextEncoding)
// is converted to the ANSI code page, its characters that the code page lacks as the system
// replaces them; any other text is in that code page already and comes back as it is. Null gives
// the empty text.
std::string InAnsiCodePage(const char* text);
