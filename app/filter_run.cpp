#include "app/filter_run.h"

#include <thread>

#include "app/host/desktop_services.h"
#include "app/interrupt.h"
#include "app/selection.h"

bool runFilter(const FilterModule& module, FilterRun& run, std::string& error) {
  Host host;
  host.interrupted = &gInterrupted;
  host.onProgress = progressBarUpdate;
  host.progressContext = run.bar;
  host.iccProfile = run.iccProfile;
  // A selection keeps the original where it is not selected, so only then is a copy needed.
  host.outputInPlace = run.selection.empty();
  hostOpen(host, module.loaded.entry, std::move(run.image), std::move(run.selection));
  error = modeRefusal(module.properties, host.record.imageMode);
  if (!error.empty()) {
    run.image = std::move(host.source);
    hostClose(host);
    return false;
  }
  if (run.play) {
    host.actions.play = run.play;
    host.actions.playInfo = run.dialog ? plugInDialogDisplay : plugInDialogSilent;
  }
  if (run.dialog) offerDesktopServices(host);
  // A file is encoded as the rows come when the module renders them in order, straight into
  // the one image; the dialog's previews would only spoil it.
  FinishedRows finished;
  std::thread writer;
  bool written = false;
  if (run.writeAlongside && host.outputInPlace && !run.dialog) {
    host.finishedRows = &finished;
    const HostImage& output = hostOutputImage(host);
    writer = std::thread([&run, &finished, &output, &written] {
      written = run.writeAlongside(output, [&](int32_t row) { return takeFinishedRow(finished, output, row); });
    });
  }
  // Parameters before Start is how a host asks for the dialog.
  run.result = hostRunFilter(host, run.dialog);
  if (writer.joinable()) {
    endFinishedRows(finished);
    writer.join();
    host.finishedRows = nullptr;
  }
  run.writtenAlongside = written && !finished.spoiled && run.result == noErr;
  run.interrupted = gInterrupted != 0;
  run.recorded = host.actions.recorded;
  run.image = std::move(hostOutputImage(host));
  if (!host.selection.empty()) applySelection(host.source, host.selection, run.image);
  const std::string errorText = hostErrorText(host);
  hostClose(host);
  if (run.interrupted) {
    error = "interrupted: nothing was written";
    return false;
  }
  run.cancelled = run.dialog && run.result == userCanceledErr;
  if (run.cancelled) {
    error = "cancelled";
    return false;
  }
  if (run.result == errReportString) {
    error = errorText.empty() ? describeResult(run.result) : errorText;
    return false;
  }
  if (run.result != noErr) {
    error = describeResult(run.result);
    return false;
  }
  return true;
}
