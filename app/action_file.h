// Actions as files: the values a run handed back to the host (tarve apply --record FILE),
// to be played to the module again (--action FILE). Plain text, one value a line:
//
//   # anything after a hash sign is a comment
//   KEY long INTEGER          0004 long 33
//   KEY doub NUMBER           0017 doub 0.5
//   KEY enum TYPE:VALUE       GLUE enum GLty:GL13
//
// KEY, TYPE and VALUE are four-character codes. Numbers are written so that they read back
// exactly. The recorder adds each key's name as a comment.
#pragma once

#include <string>

#include "app/host/host.h"

std::string formatAction(const Descriptor& descriptor);
// False with a message naming the line for anything else.
bool parseAction(const std::string& text, Descriptor& descriptor, std::string& error);
