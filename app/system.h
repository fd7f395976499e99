// What the tarve program asks of the operating system besides files: app/system.cpp answers
// on POSIX systems, app/windows/system.cpp on Windows.
#pragma once

#include <string>

// The environment variable that names the temporary folder the module keeps its files in.
extern const char* const kTemporaryFolderVariable;

// Sets a variable of the program's environment, which the module shares; null removes it.
void setEnvironment(const char* name, const char* value);

// Whether standard error is a terminal that a progress bar can redraw.
bool errorsGoToTerminal();

int coreCount();

// Makes a new folder no one else has, named `prefix` and some letters, inside `parent` (which
// ends in a separator); its path in `made`. False with errno set when it cannot be made.
bool makeUniqueFolder(const std::string& parent, const char* prefix, std::string& made);
