#include "app/batch_command.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "app/apply_command.h"
#include "app/host/utf8_paths.h"
#include "app/interrupt.h"
#include "app/system.h"
#include "files/paths.h"

namespace {

std::string nameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kNativeSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool folderWritable(const std::string& folder, std::string& error) {
  std::error_code problem;
  const std::filesystem::file_status status = std::filesystem::status(pathFromUtf8(folder), problem);
  if (problem) {
    error = "cannot write into " + folder + ": " + problem.message();
    return false;
  }
  if (!std::filesystem::is_directory(status)) {
    error = "cannot write into " + folder + ": not a folder";
    return false;
  }
#ifndef _WIN32
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    error = "cannot write into " + folder + ": " + std::strerror(errno);
    return false;
  }
#endif
  return true;
}

#ifndef _WIN32

// A process that died without cleaning up may have left its temporary output beside the
// destination (".NAME.XXXXXX", see atomic_output.h).
void removeLeftovers(const std::string& output) {
  const size_t slash = output.find_last_of('/');
  const std::string folder = output.substr(0, slash + 1);
  const std::string prefix = "." + output.substr(slash + 1) + ".";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) unlink((folder + name).c_str());
  }
  closedir(dir);
}
#endif

struct BatchCount {
  int written = 0, failed = 0;
};

// The name clash that keeps a file out of the batch.
bool outputClashes(const Options& o, const std::vector<std::string>& outputs, int index) {
  if (!outputs[index].empty()) return false;
  std::fprintf(stderr, "tarve: %s: another input of the batch writes the same output name\n", o.inputs[index].c_str());
  return true;
}

#ifdef _WIN32
// Windows has no fork: the files are rendered one after another, each with every core.
void runFiles(const Options& o, const Options& each, const std::vector<std::string>& outputs, int /*jobs*/,
              BatchCount& counted) {
  for (int index = 0; index < int(o.inputs.size()) && !gInterrupted; ++index) {
    const int status = outputClashes(o, outputs, index) ? kExitError : applyFile(each, {o.inputs[index], outputs[index], true});
    if (status == 0)
      ++counted.written;
    else if (status != kExitInterrupted)
      ++counted.failed;
  }
}
#else
// Each file in a process of its own, `jobs` at a time: a file that crashes takes no other
// with it.
void runFiles(const Options& o, const Options& each, const std::vector<std::string>& outputs, int jobs,
              BatchCount& counted) {
  std::map<pid_t, int> running;
  const int count = int(o.inputs.size());
  int next = 0;
  bool forwarded = false;
  while ((next < count && !gInterrupted) || !running.empty()) {
    // A Ctrl-C sent to this process alone goes on to the files.
    if (gInterrupted && !forwarded) {
      for (const auto& [child, index] : running) kill(child, SIGINT);
      forwarded = true;
    }
    while (int(running.size()) < jobs && next < count && !gInterrupted) {
      const int index = next++;
      if (outputClashes(o, outputs, index)) {
        ++counted.failed;
        continue;
      }
      std::fflush(stdout);
      const pid_t pid = fork();
      if (pid == 0) _exit(applyFile(each, {o.inputs[index], outputs[index], true}));
      if (pid < 0) {
        std::fprintf(stderr, "tarve: %s: cannot start a process for it: %s\n", o.inputs[index].c_str(), std::strerror(errno));
        ++counted.failed;
        continue;
      }
      running[pid] = index;
    }
    if (running.empty()) continue;
    int status = 0;
    const pid_t pid = waitpid(-1, &status, 0);
    if (pid < 0) continue;  // a signal came
    const auto found = running.find(pid);
    if (found == running.end()) continue;
    const int index = found->second;
    running.erase(found);
    // A file stopped by Ctrl-C before it set up its own handling ends by the signal itself.
    const bool interrupted = (WIFEXITED(status) && WEXITSTATUS(status) == kExitInterrupted) ||
                             (WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    if (WIFSIGNALED(status)) removeLeftovers(outputs[index]);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      ++counted.written;
    } else if (!interrupted) {
      ++counted.failed;
      if (WIFSIGNALED(status))
        std::fprintf(stderr, "tarve: %s: the run ended with signal %d; nothing was written\n", o.inputs[index].c_str(),
                     WTERMSIG(status));
    }
  }
}
#endif

}  // namespace

std::vector<std::string> batchOutputs(const std::vector<std::string>& inputs, const std::string& folder,
                                      const std::string& format, const std::string& suffix) {
  std::vector<std::string> outputs;
  std::set<std::string> taken;
  const bool endsInSeparator = !folder.empty() && std::strchr(kNativeSeparators, folder.back());
  const std::string base = folder.empty() || endsInSeparator ? folder : folder + kNativeSeparators[0];
  for (const std::string& input : inputs) {
    const std::string name = nameOf(input);
    const size_t dot = name.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = !format.empty() ? "." + format : hasExtension ? name.substr(dot) : "";
    std::string output = base + stem + suffix + extension;
    outputs.push_back(taken.insert(output).second ? output : "");
  }
  return outputs;
}

int batchCommand(const Options& o) {
  std::string error;
  if (!folderWritable(o.folder, error)) {
    std::fprintf(stderr, "tarve: %s\n", error.c_str());
    return kExitError;
  }
  const std::vector<std::string> outputs = batchOutputs(o.inputs, o.folder, o.format, o.suffix);
  const int count = int(o.inputs.size());
#ifdef _WIN32
  const int jobs = 1;  // see runFiles
#else
  const int jobs = std::min(o.jobs ? o.jobs : coreCount(), count);
#endif
  // The render's own threads share the cores with the other files, unless told otherwise.
  if (!std::getenv("TARVE_THREADS"))
    setEnvironment("TARVE_THREADS", std::to_string(std::max(1, coreCount() / jobs)).c_str());

  Options each = o;
  each.feedback = Feedback::quiet;
  // Ctrl-C reaches every process of the terminal's group; the files stop themselves, and
  // this process starts no more and waits for them.
  installInterruptHandler();
  BatchCount counted;
  runFiles(o, each, outputs, jobs, counted);
  const int written = counted.written, failed = counted.failed;
  if (gInterrupted) {
    std::fprintf(stderr, "tarve: interrupted: %d of %d files written, %d failed\n", written, count, failed);
    return kExitInterrupted;
  }
  std::fprintf(stderr, "tarve: %d of %d files written into %s, %d failed\n", written, count, o.folder.c_str(), failed);
  return failed ? kExitError : 0;
}
