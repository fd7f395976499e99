#include "files/paths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "files/file_io.h"
#include "tests/files/scratch_folder.h"

TEST(Paths, JoinPutsOneSeparatorBetween) {
  struct Case {
    const char *folder, *name, *expected;
  } cases[] = {
      {"C:\\a", "b.txt", "C:\\a/b.txt"},  // the separator added is the native one
      {"C:\\a\\", "b.txt", "C:\\a\\b.txt"},
      {"C:/a/", "b.txt", "C:/a/b.txt"},
      {"/home/x", "b.txt", "/home/x/b.txt"},
      {"", "b.txt", "b.txt"},
  };
  for (const Case& c : cases) EXPECT_STREQ(joinPath(c.folder, c.name).path, c.expected) << c.folder;
}

TEST(Paths, JoinBeyondTheLimitGivesAnEmptyPath) {
  const std::string name(10, 'n');
  EXPECT_STREQ(joinPath(std::string(250, 'f').c_str(), name.c_str()).path, "");
  // 249 + 1 + 10 is exactly 260 characters: still a path.
  EXPECT_EQ(std::string(joinPath(std::string(249, 'f').c_str(), name.c_str()).path).size(), 260u);
  EXPECT_STREQ(makeFileSpec(std::string(261, 'x').c_str()).path, "");
}

TEST(Paths, TakingPathsApart) {
  struct Case {
    const char *path, *folder, *name;
  } cases[] = {
      {"/a/b/c.q8r", "/a/b/", "c.q8r"},
      {"C:\\x\\y.q8r", "C:\\x\\", "y.q8r"},
      {"mixed\\a/b", "mixed\\a/", "b"},
      {"plain.q8r", "plain.q8r", "plain.q8r"},
      {"/a/b/", "/a/b/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(folderPart(c.path).path, c.folder) << c.path;
    EXPECT_STREQ(fileNamePart(c.path).path, c.name) << c.path;
  }
}

TEST(Paths, Extensions) {
  struct Case {
    const char *text, *extension, *stripped;
  } cases[] = {
      {"x.tar.gz", ".gz", "x.tar"}, {"x", "", "x"}, {".", "", ""},
      {"Sea.Q8R", ".Q8R", "Sea"},   {"noext", "", "noext"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(extensionOf(c.text), c.extension) << c.text;
    std::string copy = c.text;
    stripExtension(copy.data());
    EXPECT_STREQ(copy.c_str(), c.stripped) << c.text;
  }
  EXPECT_STREQ(extensionOf(nullptr), "");
}

TEST(Paths, TemporaryFolderComesFromTmpdir) {
  ScratchFolder scratch(true);
  const std::string folder = scratch.path.substr(0, scratch.path.size() - 1);  // without '/'
  setenv("TMPDIR", folder.c_str(), 1);
  EXPECT_EQ(std::string(temporaryFolder().path), scratch.path);
  EXPECT_EQ(std::string(temporaryFile("Tarve undo 0").path), scratch.path + "Tarve undo 0");
  unsetenv("TMPDIR");
  EXPECT_STREQ(temporaryFolder().path, "/tmp/");
  setenv("TMPDIR", "", 1);
  EXPECT_STREQ(temporaryFolder().path, "/tmp/");
  setenv("TMPDIR", ("/" + std::string(270, 'd')).c_str(), 1);
  EXPECT_STREQ(temporaryFolder().path, "/tmp/");
  setenv("TMPDIR", ("/" + std::string(250, 'd') + "/").c_str(), 1);
  EXPECT_STREQ(temporaryFile("a name far too long for it").path, "");
}

TEST(Paths, MakeSubfolder) {
  ScratchFolder scratch;
  FileSpec made;
  ASSERT_EQ(makeSubfolder(scratch.path.c_str(), "web_images", made), noErr);
  EXPECT_EQ(std::string(made.path), scratch.path + "web_images/");
  struct stat info;
  ASSERT_EQ(stat(made.path, &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  // Again: an existing folder is fine.
  EXPECT_EQ(makeSubfolder(scratch.path.c_str(), "web_images", made), noErr);
  // A file in the way is not a folder.
  writeWholeFile(scratch.file("taken"), {1});
  EXPECT_EQ(makeSubfolder(scratch.path.c_str(), "taken", made), kErrCannotOpen);
  EXPECT_EQ(makeSubfolder((scratch.path + "missing/deeper").c_str(), "x", made), kErrCannotOpen);
  EXPECT_EQ(makeSubfolder(std::string(258, 'f').c_str(), "x", made), kErrCannotOpen);
  EXPECT_STREQ(made.path, "");
}

// A remembered folder is the chosen file's folder, or nothing: a folder cut to fit the field
// would send the next dialog somewhere else.
TEST(Paths, CopyFolderPartKeepsWholeFoldersOnly) {
  char field[16] = "old";
  copyFolderPart("/a/b/c.psd", field, sizeof field);
  EXPECT_STREQ(field, "/a/b/");
  copyFolderPart("/fifteen/chars/x.psd", field, sizeof field);  // "/fifteen/chars/" needs 16 bytes
  EXPECT_STREQ(field, "/fifteen/chars/");
  copyFolderPart("/sixteen/chars!/x.psd", field, sizeof field);
  EXPECT_STREQ(field, "");
}
