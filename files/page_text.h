// Text on the gallery pages. Names come from the file system, which speaks UTF-8, while
// the pages declare ISO-8859-1; everything that is not plain ASCII therefore leaves here as
// an entity or a character reference, and nothing from a name can become markup.
#pragma once

#include <string>

// For captions, alt texts and the heading. A valid UTF-8 sequence is one character, any
// other byte stands for itself; then: the four markup characters as their entities, codes
// 123 to 159 as "&#" + three digits + ";", 160 to 255 as the named entities, anything
// above as a decimal character reference, the rest unchanged.
std::string escapePageText(const char* text);

// A thumbnail's name made safe as a file name, byte by byte: controls become spaces, bytes
// above 127 fold into the printable range ("." from that fold becomes "_"), and "\", "/"
// and ":" become "_".
std::string cleanFileName(const char* name);

// For src attributes: ASCII letters and digits as they are, every other byte as "%xx".
std::string escapeLink(const std::string& name);
