#include "app/gallery_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/apply_command.h"
#include "app/host/utf8_paths.h"
#include "files/paths.h"
#include "files/shell_open.h"
#include "host/presets_gallery.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "tarve: %s\n", message.c_str());
  return kExitError;
}

// What hands the page to the user's browser.
#ifdef _WIN32
constexpr const char* kPageOpener = "the shell's open";
#else
constexpr const char* kPageOpener = "xdg-open";
#endif

// The folder as an absolute path without links, with a separator at its end.
bool realFolder(const std::string& folder, std::string& real, std::error_code& problem) {
  const std::filesystem::path found = std::filesystem::canonical(pathFromUtf8(folder), problem);
  if (problem) return false;
  real = utf8FromPath(found);
  if (real.empty() || !std::strchr(kNativeSeparators, real.back())) real += kNativeSeparators[0];
  return true;
}

// The page as an absolute path, so that its folder is known whatever the current folder is.
bool absolutePage(const std::string& page, std::string& absolute, std::error_code& problem) {
  const size_t slash = page.find_last_of(kNativeSeparators);
  if (!realFolder(slash == std::string::npos ? "." : page.substr(0, slash + 1), absolute, problem)) return false;
  absolute += page.substr(slash == std::string::npos ? 0 : slash + 1);
  return true;
}

}  // namespace

int galleryCommand(const Options& o) {
  std::error_code problem;
  std::string folder;
  if (!std::filesystem::is_directory(pathFromUtf8(o.input), problem) && !problem) problem = std::make_error_code(std::errc::not_a_directory);
  if (problem || !realFolder(o.input, folder, problem))
    return fail("cannot read the folder " + o.input + ": " + problem.message());

  std::string page;
  if (std::strchr(kNativeSeparators, o.output.back())) return fail("cannot write " + o.output + ": it names a folder, not a page");
  if (!absolutePage(o.output, page, problem)) return fail("cannot write " + o.output + ": " + problem.message());
  for (const std::string& path : {folder, page})
    if (path.size() > size_t(kMaxPathChars))
      return fail(path + " is longer than the " + std::to_string(kMaxPathChars) + " characters a gallery path may have");

  errno = 0;
  if (writePresetsPage(folder.c_str(), page.c_str()) != noErr)
    return fail("cannot write " + o.output + ": " + std::strerror(errno ? errno : EIO));
  std::printf("%s\n", page.c_str());
  if (o.openPage && openWithDefaultHandler(page.c_str()) != noErr)
    return fail(std::string("the page is written, but no browser could be started for it (") + kPageOpener + ")");
  return 0;
}
