// Runs the built tarve program as a user would, and makes and inspects image files for it.
#pragma once

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/host/host.h"
#include "app/image_files.h"
#include "app/sample_depth.h"
#include "tests/files/scratch_folder.h"
#include "tests/isolated_temp.h"

extern char** environ;

// The program is built beside the module.
inline std::string tarveProgram() {
  const std::string module = TARVE_MODULE_PATH;
  return module.substr(0, module.find_last_of('/') + 1) + "tarve";
}

struct ProgramRun {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out, err;
};

inline std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
  close(fd);
  return text;
}

// Starts the program with its standard output and error on pipes; the caller reads them.
inline pid_t startTarve(const std::vector<std::string>& args, int& outFd, int& errFd) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  const std::string program = tarveProgram();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  outFd = out[0];
  errFd = err[0];
  return pid;
}

inline int waitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline ProgramRun runTarve(const std::vector<std::string>& args) {
  ProgramRun run;
  int outFd = -1, errFd = -1;
  const pid_t pid = startTarve(args, outFd, errFd);
  if (pid < 0) {
    ADD_FAILURE() << "cannot start " << tarveProgram();
    return run;
  }
  // Standard error is small; read it after standard output so neither pipe fills up.
  run.out = drain(outFd);
  run.err = drain(errFd);
  run.status = waitStatus(pid);
  return run;
}

// A bright sky above a dark ground, each a smooth slope across the width (different per
// plane), so that resampling leaves the sky nearly as it is and a reflection changes the
// ground. Alpha is a slope too.
inline HostImage sceneImage(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes, bool alpha) {
  HostImage image = makeHostImage(width, height, depth, colourPlanes, alpha);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t p = 0; p < image.planes(); ++p) {
        const bool isAlpha = p == colourPlanes;
        const float slope = float(x) / float(width) * (0.2f + 0.05f * float(p));
        const float v = isAlpha ? 1.0f - slope : (y < height / 2 ? 0.95f : 0.35f) - slope;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = uint8_t(v * 255 + 0.5f);
        if (depth == 16) {
          const uint16_t w = uint16_t(v * 32768 + 0.5f);
          std::memcpy(s, &w, 2);
        }
        if (depth == 32) std::memcpy(s, &v, 4);
      }
  return image;
}

inline void writeImage(const std::string& path, const HostImage& image) {
  ImageFormat format;
  std::string error;
  ASSERT_TRUE(outputFormatFor(path, format, error)) << error;
  ASSERT_TRUE(writeImageFile(path, format, image, {95, false}, nullptr, error)) << error;
}

inline HostImage readImage(const std::string& path) {
  HostImage image;
  std::string error;
  EXPECT_TRUE(readImageFile(path, image, error)) << error;
  return image;
}

inline bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The names in a folder, hidden ones included, for spotting leftovers.
inline std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A failure as the user must meet it: status 2 and one line on standard error that says
// what went wrong.
inline void expectOneLineFailure(const ProgramRun& run, const std::string& fragment) {
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_EQ(run.err.rfind("tarve: ", 0), 0u) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(fragment), std::string::npos) << "expected \"" << fragment << "\" in: " << run.err;
}

// The largest and the mean difference of the samples in rows [first, last) of two images
// of the same layout, in 8-bit levels.
struct Difference {
  int largest = 0;
  double mean = 0;
};

inline Difference differenceOf(const HostImage& a, const HostImage& b, int32_t first, int32_t last) {
  const HostImage a8 = convertDepth(a, 8), b8 = convertDepth(b, 8);
  Difference d;
  const size_t from = size_t(first) * a8.rowBytes(), to = size_t(last) * a8.rowBytes();
  if (b8.samples.size() < to || a8.samples.size() < to) return {999, 999};
  for (size_t i = from; i < to; ++i) {
    const int diff = std::abs(int(a8.samples[i]) - int(b8.samples[i]));
    d.largest = std::max(d.largest, diff);
    d.mean += diff;
  }
  d.mean /= double(to - from);
  return d;
}
