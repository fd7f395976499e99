#include "files/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/files/scratch_folder.h"

namespace {

std::vector<uint8_t> written(const std::string& path, void (*write)(FileHandle)) {
  FileHandle file = kNoFile;
  EXPECT_EQ(openFile(path.c_str(), FileAccess::writing, file), noErr);
  write(file);
  EXPECT_EQ(setEndOfFile(file), noErr);
  closeFile(file);
  return readWholeFile(path);
}

}  // namespace

TEST(FileIo, TypedWritesAreBigEndian) {
  ScratchFolder scratch;
  const std::string path = scratch.file("typed");
  EXPECT_EQ(written(path, [](FileHandle f) { writeInt32(f, 0x11223344); }), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeInt32(f, -2); }), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFE}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeInt16(f, -32768); }), (std::vector<uint8_t>{0x80, 0x00}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeByte(f, 0xAB); }), (std::vector<uint8_t>{0xAB}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeText(f, "8BPS"); }), (std::vector<uint8_t>{'8', 'B', 'P', 'S'}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeZeros(f, 3); }), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeZeros(f, 300); }).size(), 300u);
  EXPECT_EQ(written(path, [](FileHandle f) { writeRaw(f, "\x01\x02", 2); }), (std::vector<uint8_t>{1, 2}));
}

TEST(FileIo, EmptyAndMissingArguments) {
  ScratchFolder scratch;
  const std::string path = scratch.file("empty");
  EXPECT_TRUE(written(path, [](FileHandle f) {
                EXPECT_EQ(writeZeros(f, 0), noErr);
                EXPECT_EQ(writeZeros(f, -5), noErr);
                EXPECT_EQ(writeText(f, nullptr), kErrCannotOpen);
              }).empty());
}

TEST(FileIo, WritingKeepsAnExistingFileUntilItIsCut) {
  ScratchFolder scratch;
  const std::string path = scratch.file("kept");
  writeWholeFile(path, {9, 9, 9, 9, 9, 9});
  FileHandle file = kNoFile;
  ASSERT_EQ(openFile(path.c_str(), FileAccess::writing, file), noErr);
  writeInt16(file, 0x0102);
  closeFile(file);
  EXPECT_EQ(readWholeFile(path), (std::vector<uint8_t>{1, 2, 9, 9, 9, 9}));
  EXPECT_EQ(written(path, [](FileHandle f) { writeByte(f, 7); }), (std::vector<uint8_t>{7}));
}

TEST(FileIo, TypedReads) {
  ScratchFolder scratch;
  const std::string path = scratch.file("reads");
  std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0x9C, 0x42, 0x07};
  for (int i = 0; i < 600; ++i) bytes.push_back(uint8_t(i));
  bytes.push_back(0xEE);
  writeWholeFile(path, bytes);

  FileHandle file = kNoFile;
  ASSERT_EQ(openFile(path.c_str(), FileAccess::reading, file), noErr);
  int32_t value = 0;
  EXPECT_EQ(readInt32(file, value), noErr);
  EXPECT_EQ(value, -100);
  uint8_t byte = 0;
  EXPECT_EQ(readByte(file, byte), noErr);
  EXPECT_EQ(byte, 0x42);
  EXPECT_EQ(readByteOrEnd(file), 0x07);
  EXPECT_EQ(skipBytes(file, 600), noErr);  // two pieces of 256, then one at a time
  EXPECT_EQ(readByteOrEnd(file), 0xEE);
  EXPECT_EQ(readByteOrEnd(file), -1);
  value = 1234;
  EXPECT_EQ(readInt32(file, value), readErr);
  EXPECT_EQ(value, 1234);  // a failed read leaves the destination alone
  EXPECT_EQ(skipBytes(file, 0x7FFFFFFF), readErr);
  EXPECT_EQ(skipBytes(file, -3), noErr);
  closeFile(file);
  EXPECT_EQ(file, kNoFile);
}

TEST(FileIo, ShortReadFails) {
  ScratchFolder scratch;
  const std::string path = scratch.file("short");
  writeWholeFile(path, {1, 2, 3});
  FileHandle file = kNoFile;
  ASSERT_EQ(openFile(path.c_str(), FileAccess::reading, file), noErr);
  int32_t value = 5;
  EXPECT_EQ(readInt32(file, value), readErr);
  EXPECT_EQ(value, 5);
  closeFile(file);
}

TEST(FileIo, OpenRefusesWhatIsNotARegularFile) {
  ScratchFolder scratch;
  const std::string fifo = scratch.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    FileAccess access;
  } cases[] = {
      {scratch.file("missing"), FileAccess::reading},
      {scratch.path, FileAccess::reading},  // a folder
      {scratch.path, FileAccess::writing},
      {fifo, FileAccess::reading},  // would block a plain open
      {fifo, FileAccess::writing},
      {scratch.file("no/such/folder"), FileAccess::writing},
      {"", FileAccess::reading},
  };
  for (const Case& c : cases) {
    FileHandle file = 12345;
    EXPECT_EQ(openFile(c.path.c_str(), c.access, file), kErrCannotOpen) << c.path;
    EXPECT_EQ(file, 12345) << "the handle is left as it was";
  }
  FileHandle file = 12345;
  EXPECT_EQ(openFile(nullptr, FileAccess::reading, file), kErrCannotOpen);
}

TEST(FileIo, WritesToAFileOpenedForReadingFail) {
  ScratchFolder scratch;
  const std::string path = scratch.file("readonly");
  writeWholeFile(path, {1});
  FileHandle file = kNoFile;
  ASSERT_EQ(openFile(path.c_str(), FileAccess::reading, file), noErr);
  EXPECT_EQ(writeInt32(file, 1), writErr);
  EXPECT_EQ(writeZeros(file, 4), writErr);
  closeFile(file);
}
