#include "app/atomic_output.h"

#include "app/interrupt.h"
#include "files/file_system.h"

bool beginAtomicOutput(const std::string& path, AtomicOutput& output, std::string& error) {
  output = {};
  FileReplacement replacement;
  FileHandle file = kNoFile;
  const ReplacementStart start = beginReplacement(path.c_str(), replacement, file);
  if (start == ReplacementStart::notAFile) {
    error = "cannot write " + path + ": it is a folder or a device, not a file";
    return false;
  }
  if (start != ReplacementStart::started) {
    error = "cannot write " + path + ": " + lastSystemError();
    return false;
  }
  // The writers of each format open the file again by its name.
  closeFile(file);
  output.path = replacement.destination;
  output.temporary = replacement.temporary;
  removeOnInterrupt(output.temporary.c_str());
  return true;
}

bool commitAtomicOutput(AtomicOutput& output, std::string& error) {
  FileReplacement replacement{output.path, output.temporary};
  forgetOnInterrupt(output.temporary.c_str());
  output.temporary.clear();
  if (!finishReplacement(replacement, output.replace)) {
    error = "cannot write " + output.path + ": " + lastSystemError();
    return false;
  }
  return true;
}

void abandonAtomicOutput(AtomicOutput& output) {
  if (output.temporary.empty()) return;
  forgetOnInterrupt(output.temporary.c_str());
  FileReplacement replacement{output.path, output.temporary};
  abandonReplacement(replacement);
  output.temporary.clear();
}
