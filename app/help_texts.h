// What tarve --help and tarve COMMAND --help print.
#pragma once

#include <string>

// The help of a topic ("" for the overview, "apply", "glues", "preset", "gallery"); false for an
// unknown topic.
bool helpText(const std::string& topic, std::string& text);
