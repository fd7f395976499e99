// A dialog for the layer's tests: its procedure records every message and hands it to a
// handler the test writes, then runs it headless with the actions given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/headless/headless.h"
#include "ui/window.h"

struct TestDialog {
  std::vector<UiEvent> messages;
  std::function<bool(UiDialog*, const UiEvent&)> handler;

  static bool proc(UiDialog* dialog, const UiEvent& event, void* context) {
    auto& self = *static_cast<TestDialog*>(context);
    self.messages.push_back(event);
    return self.handler ? self.handler(dialog, event) : false;
  }

  int32_t run(const DialogTemplate& dialogTemplate, const std::string& actions, intptr_t owner = 0) {
    headlessQueue(actions);
    return uiRunModal(dialogTemplate, proc, this, owner);
  }

  std::vector<UiEvent> of(UiMessage message) const {
    std::vector<UiEvent> found;
    for (const UiEvent& e : messages) {
      if (e.message == message) found.push_back(e);
    }
    return found;
  }
};
