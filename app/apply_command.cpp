#include "app/apply_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/action_file.h"
#include "app/atomic_output.h"
#include "app/batch_command.h"
#include "app/filter_run.h"
#include "app/host/setting_names.h"
#include "app/host/utf8_paths.h"
#include "app/image_files.h"
#include "app/interrupt.h"
#include "app/orientation.h"
#include "app/psd_file.h"
#include "app/sample_depth.h"
#include "app/selection.h"
#include "app/settings_choice.h"
#include "app/system.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "tarve: %s\n", message.c_str());
  return kExitError;
}

bool readMask(const std::string& path, const HostImage& image, std::vector<uint8_t>& selection, std::string& error) {
  HostImage mask;
  if (!readImageFile(path, mask, error)) return false;
  if (mask.colourPlanes != 1 || mask.transparency) {
    error = "the mask " + path + " must be a grey image without alpha";
    return false;
  }
  if (mask.width != image.width || mask.height != image.height) {
    error = "the mask " + path + " is " + std::to_string(mask.width) + " x " + std::to_string(mask.height) +
            " pixels, the image " + std::to_string(image.width) + " x " + std::to_string(image.height);
    return false;
  }
  selection = greyAsSelection(mask);
  return true;
}

// The dialog runs in the module's own temporary folder, where its memory dots, undo levels
// and last-used settings stay for the next run, so the settings reach it the way a host
// replaying an action with the dialog shown hands them over. The last-used settings as they
// are need no descriptor: the module reads them itself, at full precision.
std::optional<Descriptor> dialogSettings(const SettingsChoice& choice, const ChosenSettings& chosen) {
  if (chosen.descriptor) return chosen.descriptor;
  if (choice.last && choice.changes.empty()) return std::nullopt;
  return descriptorOf(chosen.settings);
}

bool writeText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  return bool(file);
}

bool fileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(pathFromUtf8(path), ignored));
}

}  // namespace

int applyCommand(const Options& o) {
  // The module takes its thread count from its environment, as it does under any host; a
  // batch's processes inherit it.
  if (o.threads) setEnvironment("TARVE_THREADS", std::to_string(o.threads).c_str());
  if (!o.inputs.empty()) return batchCommand(o);
  return applyFile(o, {o.input, o.output, false});
}

int applyFile(const Options& o, const ApplyJob& job) {
  // A batch's lines name the file they are about; a single run's lines name it where it
  // matters.
  const std::string about = job.batch ? job.input + ": " : "";
  auto fail = [&](const std::string& message) { return ::fail(about + message); };
  auto note = [&](const std::string& message) { std::fprintf(stderr, "tarve: %s: %s\n", job.input.c_str(), message.c_str()); };

  std::string error;
  FilterRun run;
  ImageFormat format;
  if (!outputFormatFor(job.output, format, error)) return fail(error);
  if (o.lossless && format != ImageFormat::webp)
    return fail(std::string("--lossless is for WebP output; ") + formatName(format) + " files are " +
                (format == ImageFormat::jpeg ? "always lossy" : "always lossless"));
  if (job.batch && !o.overwrite && fileExists(job.output))
    return fail(job.output + " exists already: add --overwrite to replace it");
  ImageMetadata metadata;
  std::vector<std::string> notes;
  if (!readImageWithMetadata(job.input, run.image, metadata, notes, error)) return ::fail(error);
  const bool turnUp = o.autoOrient && metadata.orientation != 1;
  if (turnUp) run.image = turnUpright(run.image, metadata.orientation);
  if (o.depth) run.image = convertDepth(run.image, o.depth);
  if (!formatHolds(format, run.image, error)) return fail("cannot write " + job.output + ": " + error);
  if (!o.mask.empty() && !readMask(o.mask, run.image, run.selection, error)) return fail(error);
  run.iccProfile = metadata.iccProfile;

  ChosenSettings chosen;
  if (!chooseSettings(o.settings, chosen, error)) return fail(error);
  run.dialog = o.dialog;
  run.play = o.dialog ? dialogSettings(o.settings, chosen) : chosen.descriptor;

  FilterModule module;
  if (!openModule(modulePath(o.module), module, error)) return fail(error);

  // From here on Ctrl-C goes through the module's abort, and the temporary files below go
  // with the run.
  installInterruptHandler();
  // The outputs are claimed before the render, so that an unwritable folder is known now.
  AtomicOutput output, record;
  if (!beginAtomicOutput(job.output, output, error)) return fail(error);
  output.replace = !job.batch || o.overwrite;
  if (!o.record.empty() && !beginAtomicOutput(o.record, record, error)) {
    abandonAtomicOutput(output);
    return fail(error);
  }
  auto giveUp = [&](const std::string& message) {
    abandonAtomicOutput(output);
    abandonAtomicOutput(record);
    return fail(message);
  };

  if (!o.strip) metadataForFormat(format, metadata, run.image, turnUp, notes);
  const ImageMetadata* kept = o.strip ? nullptr : &metadata;
  const Compression compression{o.quality, o.lossless};
  // The file is encoded while the rows are rendered; should that fail or be spoiled, it is
  // written again from the finished picture below, which also names any error.
  if (!o.dialog && run.selection.empty() && rowsAsTheyCome(format))
    run.writeAlongside = [&](const HostImage& layout, const RowSource& rows) {
      std::string ignored;
      return writeImageFile(output.temporary, format, layout, compression, kept, ignored, &rows);
    };

  SettingsFolder folder;
  if (!o.dialog && !chosen.descriptor && !openSettingsFolder(settingsOf(chosen), folder, error)) return giveUp(error);
  const bool showProgress = o.feedback == Feedback::progress || (o.feedback == Feedback::automatic && errorsGoToTerminal());
  ProgressBar bar{showProgress ? stderr : nullptr};
  run.bar = &bar;
  const bool ran = runFilter(module, run, error);
  progressBarEnd(bar, ran);
  closeSettingsFolder(folder);
  closeModule(module);
  if (!ran) {
    giveUp(error);
    return run.interrupted ? kExitInterrupted : run.cancelled ? kExitCancelled : kExitError;
  }

  const bool written =
      run.writtenAlongside ||
      (format == ImageFormat::psd
           ? writePsdPicture(output.temporary, run.image, o.strip ? std::vector<uint8_t>{} : metadata.iccProfile,
                             glueOfRun(run.recorded), error)
           : writeImageFile(output.temporary, format, run.image, compression, kept, error));
  if (!written) return giveUp("cannot write " + job.output + ": " + error);
  if (!o.record.empty()) {
    if (!run.recorded) return giveUp("the filter handed back no values to record");
    if (!writeText(record.temporary, formatAction(*run.recorded))) return giveUp("cannot write " + o.record);
  }
  if (gInterrupted) {
    giveUp("interrupted: nothing was written");
    return kExitInterrupted;
  }
  if (!commitAtomicOutput(output, error)) return giveUp(error);
  if (!o.record.empty() && !commitAtomicOutput(record, error)) return fail(error);
  for (const std::string& line : notes) note(line);
  return 0;
}
