#include "host/host_services.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A host table that counts its calls, for telling host handles from fallback handles.
int hostHandles = 0;
Handle countingNew(int32_t size) {
  ++hostHandles;
  auto** h = new char*;
  *h = new char[size > 0 ? size : 1]();
  return h;
}
void countingDispose(Handle h) {
  --hostHandles;
  delete[] * h;
  delete h;
}
int32_t zeroSize(Handle) { return 0; }
OSErr okSetSize(Handle, int32_t) { return noErr; }

HandleProcs table(int16_t version, int16_t count) {
  HandleProcs p{};
  p.handleProcsVersion = version;
  p.numHandleProcs = count;
  p.newProc = countingNew;
  p.disposeProc = countingDispose;
  p.getSizeProc = zeroSize;
  p.setSizeProc = okSetSize;
  return p;
}

TEST(HandleServices, TableIsUsedOnlyWhenComplete) {
  const HandleProcs good = table(1, 8);
  HandleProcs missingSetSize = good;
  missingSetSize.setSizeProc = nullptr;
  EXPECT_TRUE(handleProcsUsable(&good));
  EXPECT_FALSE(handleProcsUsable(nullptr));
  EXPECT_FALSE(handleProcsUsable(&missingSetSize));
  const HandleProcs version2 = table(2, 8), seven = table(1, 7);
  EXPECT_FALSE(handleProcsUsable(&version2));
  EXPECT_FALSE(handleProcsUsable(&seven));

  // An unusable table is never called: the fallback serves.
  hostHandles = 0;
  Handle h = newHandle(&version2, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(hostHandles, 0);
  EXPECT_EQ(handleSize(&version2, h), 16);
  disposeHandle(&version2, h);
  h = newHandle(&good, 16);
  EXPECT_EQ(hostHandles, 1);
  disposeHandle(&good, h);
  EXPECT_EQ(hostHandles, 0);
}

TEST(HandleServices, FallbackHandlesAreZeroFilledAndKeepTheirContentWhenResized) {
  Handle h = newHandle(nullptr, 8);
  ASSERT_NE(h, nullptr);
  Ptr p = lockHandle(nullptr, h);
  ASSERT_EQ(p, *h);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], 0);
  std::memcpy(p, "abcdefgh", 8);
  unlockHandle(nullptr, h);
  ASSERT_EQ(setHandleSize(nullptr, h, 12), noErr);
  EXPECT_EQ(handleSize(nullptr, h), 12);
  p = lockHandle(nullptr, h);
  EXPECT_EQ(std::memcmp(p, "abcdefgh\0\0\0\0", 12), 0);
  ASSERT_EQ(setHandleSize(nullptr, h, 3), noErr);
  EXPECT_EQ(std::memcmp(*h, "abc", 3), 0);
  disposeHandle(nullptr, h);
}

TEST(HandleServices, FailedSystemAllocationGivesNoHandle) {
  auto saved = systemAllocate;
  systemAllocate = [](size_t) -> void* { return nullptr; };
  EXPECT_EQ(newHandle(nullptr, 8), nullptr);
  systemAllocate = saved;
}

// ---- buffers --------------------------------------------------------------------------

int hostBuffers = 0;
bool refuse = false;
OSErr allocate(int32_t size, BufferID* id) {
  if (refuse) return memFullErr;
  ++hostBuffers;
  *id = reinterpret_cast<BufferID>(new char[size]);
  return noErr;
}
Ptr lock(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
Ptr lockFails(BufferID, Boolean) { return nullptr; }
void unlock(BufferID) {}
void release(BufferID id) {
  --hostBuffers;
  delete[] reinterpret_cast<char*>(id);
}

TEST(BufferServices, HostFirstThenZeroFilledSystemMemory) {
  BufferProcs procs{};
  procs.allocateProc = allocate;
  procs.lockProc = lock;
  procs.unlockProc = unlock;
  procs.freeProc = release;
  hostBuffers = 0;
  refuse = false;

  HostBuffer b;
  ASSERT_TRUE(allocateBuffer(&procs, 64, b));
  EXPECT_NE(b.id, nullptr);
  EXPECT_EQ(hostBuffers, 1);
  freeBuffer(&procs, b);
  EXPECT_EQ(hostBuffers, 0);
  EXPECT_EQ(b.data, nullptr);

  // Refused allocation, failed lock and a missing table all fall back to system memory.
  refuse = true;
  ASSERT_TRUE(allocateBuffer(&procs, 64, b));
  EXPECT_EQ(b.id, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(static_cast<char*>(b.data)[i], 0);
  freeBuffer(&procs, b);
  refuse = false;
  procs.lockProc = lockFails;
  ASSERT_TRUE(allocateBuffer(&procs, 64, b));
  EXPECT_EQ(b.id, nullptr);
  EXPECT_EQ(hostBuffers, 0) << "the host buffer whose lock failed is given back";
  freeBuffer(&procs, b);
  ASSERT_TRUE(allocateBuffer(nullptr, 64, b));
  freeBuffer(nullptr, b);
}

// ---- named suites ---------------------------------------------------------------------

int acquired = 0, released = 0;
const int someSuite = 0;
SPErr acquireOk(const char*, int32_t, const void** suite) {
  ++acquired;
  *suite = &someSuite;
  return 0;
}
SPErr acquireFails(const char*, int32_t, const void** suite) {
  *suite = nullptr;
  return -1234;
}
SPErr releaseCounts(const char*, int32_t) {
  ++released;
  return 0;
}

TEST(NamedSuites, AcquiredOnceAndFailuresRaiseTheHostCode) {
  SPBasicSuite failing{};
  failing.AcquireSuite = acquireFails;
  try {
    acquireHostSuite(&failing, HostSuite::uiHooks);
    FAIL() << "no error raised";
  } catch (const SuiteAcquisitionError& e) {
    EXPECT_EQ(e.code, -1234);
  }
  try {
    acquireHostSuite(nullptr, HostSuite::uiHooks);
    FAIL() << "no error raised";
  } catch (const SuiteAcquisitionError& e) {
    EXPECT_EQ(e.code, kNoBasicSuiteCode);
  }

  SPBasicSuite basic{};
  basic.AcquireSuite = acquireOk;
  basic.ReleaseSuite = releaseCounts;
  EXPECT_EQ(acquireHostSuite(&basic, HostSuite::handle), &someSuite);
  EXPECT_EQ(acquireHostSuite(&basic, HostSuite::handle), &someSuite);
  EXPECT_EQ(acquired, 1);
  releaseHostSuites();
  EXPECT_EQ(released, 1);
}

}  // namespace
