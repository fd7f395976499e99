// Replacing a file whole or not at all, as the exports and the tarve program's outputs do.
#include "files/file_system.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/files/scratch_folder.h"

namespace {

// Writes `text` through a replacement of `path`; what beginReplacement said.
ReplacementStart replaceWith(const std::string& path, const std::string& text, FileReplacement& replacement) {
  FileHandle file = kNoFile;
  const ReplacementStart start = beginReplacement(path.c_str(), replacement, file);
  if (start != ReplacementStart::started) return start;
  EXPECT_EQ(writeRaw(file, text.data(), text.size()), noErr);
  EXPECT_EQ(closeFile(file), noErr);
  return start;
}

std::string textOf(const std::string& path) {
  const std::vector<uint8_t> bytes = readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

size_t entriesIn(const std::string& folder) {
  return size_t(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

}  // namespace

TEST(FileReplacement, TheDestinationChangesOnlyWhenFinished) {
  ScratchFolder scratch;
  const std::string path = scratch.file("out.psd");
  writeWholeFile(path, std::vector<uint8_t>{'o', 'l', 'd'});
  chmod(path.c_str(), 0640);
  FileReplacement replacement;
  ASSERT_EQ(replaceWith(path, "new and longer", replacement), ReplacementStart::started);
  EXPECT_EQ(textOf(path), "old");
  EXPECT_EQ(entriesIn(scratch.path), 2u);
  ASSERT_TRUE(finishReplacement(replacement, true));
  EXPECT_EQ(textOf(path), "new and longer");
  EXPECT_EQ(entriesIn(scratch.path), 1u);
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);  // the permissions of the file it replaced
}

TEST(FileReplacement, AbandonedOrRefusedLeavesNothingBehind) {
  ScratchFolder scratch;
  const std::string path = scratch.file("out.psd");
  FileReplacement replacement;
  ASSERT_EQ(replaceWith(path, "half", replacement), ReplacementStart::started);
  abandonReplacement(replacement);
  EXPECT_EQ(entriesIn(scratch.path), 0u);

  // Without replacing, a file that appeared meanwhile is kept and the new one dropped.
  ASSERT_EQ(replaceWith(path, "mine", replacement), ReplacementStart::started);
  writeWholeFile(path, std::vector<uint8_t>{'t', 'h', 'e', 'i', 'r', 's'});
  EXPECT_FALSE(finishReplacement(replacement, false));
  EXPECT_EQ(textOf(path), "theirs");
  EXPECT_EQ(entriesIn(scratch.path), 1u);

  std::filesystem::create_directory(scratch.file("folder.psd"));
  EXPECT_EQ(replaceWith(scratch.file("folder.psd"), "x", replacement), ReplacementStart::notAFile);
  EXPECT_EQ(replaceWith(scratch.file("no/such/out.psd"), "x", replacement), ReplacementStart::cannotCreate);
  EXPECT_EQ(lastSystemError(), "No such file or directory");
}

TEST(FileReplacement, ALinkKeepsPointingAtTheReplacedFile) {
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.file("real"));
  const std::string target = scratch.file("real/out.psd"), link = scratch.file("out.psd");
  writeWholeFile(target, std::vector<uint8_t>{'o', 'l', 'd'});
  std::filesystem::create_symlink(target, link);
  FileReplacement replacement;
  ASSERT_EQ(replaceWith(link, "new", replacement), ReplacementStart::started);
  ASSERT_TRUE(finishReplacement(replacement, true));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(textOf(target), "new");
}
