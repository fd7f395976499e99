// What every platform shares of running a dialog: the record's life and the last error.
#include "ui/window.h"

#include "ui/dialog_record.h"

namespace {
std::string lastError;
}  // namespace

void setLastError(const std::string& text) { lastError = text; }

const char* uiLastError() { return lastError.c_str(); }

int32_t uiRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t owner) {
  UiDialog dialog{&dialogTemplate, proc, context, &uiBackend()};
  buildDialog(dialog);
  const int32_t code = dialog.backend->run(&dialog, owner);
  releaseDialog(dialog);
  return code;
}
