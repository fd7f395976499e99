#include "app/gallery_command.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/apply_command.h"
#include "files/paths.h"
#include "files/shell_open.h"
#include "host/presets_gallery.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "tarve: %s\n", message.c_str());
  return kExitError;
}

std::string reason() { return std::strerror(errno ? errno : EIO); }

// The page as an absolute path, so that its folder is known whatever the current folder is.
bool absolutePage(const std::string& page, std::string& absolute) {
  const size_t slash = page.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : page.substr(0, slash + 1);
  char* real = realpath(folder.c_str(), nullptr);
  if (!real) return false;
  absolute = std::string(real) + "/" + page.substr(slash == std::string::npos ? 0 : slash + 1);
  std::free(real);
  return true;
}

}  // namespace

int galleryCommand(const Options& o) {
  errno = 0;
  DIR* listing = opendir(o.input.c_str());
  if (!listing) return fail("cannot read the folder " + o.input + ": " + reason());
  closedir(listing);
  char* real = realpath(o.input.c_str(), nullptr);
  if (!real) return fail("cannot read the folder " + o.input + ": " + reason());
  const std::string folder = std::string(real) + "/";
  std::free(real);

  std::string page;
  if (o.output.back() == '/') return fail("cannot write " + o.output + ": it names a folder, not a page");
  errno = 0;
  if (!absolutePage(o.output, page)) return fail("cannot write " + o.output + ": " + reason());
  for (const std::string& path : {folder, page})
    if (path.size() > size_t(kMaxPathChars))
      return fail(path + " is longer than the " + std::to_string(kMaxPathChars) + " characters a gallery path may have");

  errno = 0;
  if (writePresetsPage(folder.c_str(), page.c_str()) != noErr) return fail("cannot write " + o.output + ": " + reason());
  std::printf("%s\n", page.c_str());
  if (o.openPage && openWithDefaultHandler(page.c_str()) != noErr)
    return fail("the page is written, but no browser could be started for it (xdg-open)");
  return 0;
}
