// Turns the settings options into what the module is given. The filter's defaults and a
// recorded action travel as a scripting descriptor, played silently. A preset or the
// last-used settings hold more than a descriptor can carry (every field, 16-bit colours),
// so without the dialog they reach the module the one other way it takes settings: as the
// last-used settings file in its temporary folder, which for this run is a private folder
// of ours, so that the user's own last-used settings are neither read by mistake nor
// changed. The dialog works in the real temporary folder (apply_command.cpp).
#pragma once

#include <optional>
#include <string>

#include "app/options.h"
#include "host/settings.h"

struct ChosenSettings {
  std::optional<Descriptor> descriptor;  // defaults or an action, with the changes
  Settings settings{};                    // otherwise: a preset or the last-used settings
};

bool chooseSettings(const SettingsChoice& choice, ChosenSettings& chosen, std::string& error);

// The settings record the choice amounts to, as the module would hold it after Start.
Settings settingsOf(const ChosenSettings& chosen);

// A private temporary folder holding `settings` as the last-used settings file. The
// module looks for it through $TMPDIR (TMP on Windows), which points there while the folder is in use.
struct SettingsFolder {
  std::string path;        // ends in a separator; empty when not made
  std::string savedTmpdir; // the temporary folder's variable ($TMPDIR) before
  bool hadTmpdir = false;
};

bool openSettingsFolder(const Settings& settings, SettingsFolder& folder, std::string& error);
// Restores the variable and removes the folder with whatever the module left in it.
void closeSettingsFolder(SettingsFolder& folder);
