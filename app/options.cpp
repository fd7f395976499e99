#include "app/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "app/host/setting_names.h"

namespace {

enum Use : unsigned { kApply = 1, kMake = 2, kGallery = 4, kAbout = 8 };

struct OptionSpec {
  const char* name;
  const char* alias;  // another spelling, or null
  bool takesValue;
  unsigned use;       // the commands that accept it
};

const OptionSpec kOptions[] = {
    {"--output", "-o", true, kApply | kGallery},     {"--set", nullptr, true, kApply | kMake},
    {"--glue", nullptr, true, kApply | kMake}, {"--colour", "--color", true, kApply | kMake},
    {"--seed", nullptr, true, kApply | kMake}, {"--centre", "--center", true, kApply | kMake},
    {"--last", nullptr, false, kApply | kMake}, {"--preset", nullptr, true, kApply | kMake},
    {"--action", nullptr, true, kApply | kMake}, {"--record", nullptr, true, kApply},
    {"--mask", nullptr, true, kApply},    {"--depth", nullptr, true, kApply},
    {"--quality", nullptr, true, kApply}, {"--quiet", "-q", false, kApply},
    {"--progress", nullptr, false, kApply}, {"--module", nullptr, true, kApply | kAbout},
    {"--thumbnail", nullptr, true, kMake}, {"--open", nullptr, false, kGallery},
    {"--lossless", nullptr, false, kApply}, {"--strip", nullptr, false, kApply},
    {"--no-auto-orient", nullptr, false, kApply}, {"--output-dir", "-d", true, kApply},
    {"--format", nullptr, true, kApply}, {"--suffix", nullptr, true, kApply},
    {"--jobs", "-j", true, kApply},       {"--overwrite", nullptr, false, kApply},
    {"--threads", nullptr, true, kApply},
    {"--dialog", nullptr, false, kApply},
};

// The formats a batch can write.
const char* const kBatchFormats[] = {"png", "jpg", "jpeg", "tif", "tiff", "webp", "psd"};

bool parseNumber(const std::string& text, int& value) {
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  return problem == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool setOnce(std::string& field, const std::string& value, const char* option, std::string& error) {
  if (!field.empty()) {
    error = std::string(option) + " is given twice";
    return false;
  }
  field = value;
  return true;
}

bool takeOption(const OptionSpec& known, const std::string& value, Options& o, std::string& error) {
  const std::string name = known.name;
  SettingsChoice& s = o.settings;
  if (name == "--output") return setOnce(o.output, value, known.name, error);
  if (name == "--set") return parseSetting(value, s.changes, error);
  if (name == "--glue") return parseGlue(value, s.changes, error);
  if (name == "--colour") return parseColour(value, s.changes, error);
  if (name == "--seed") return parseSeed(value, s.changes, error);
  if (name == "--centre") return parseCentre(value, s.changes, error);
  if (name == "--last") {
    s.last = true;
    return true;
  }
  if (name == "--dialog") {
    o.dialog = true;
    return true;
  }
  if (name == "--preset") return setOnce(s.preset, value, known.name, error);
  if (name == "--action") return setOnce(s.action, value, known.name, error);
  if (name == "--record") return setOnce(o.record, value, known.name, error);
  if (name == "--mask") return setOnce(o.mask, value, known.name, error);
  if (name == "--module") return setOnce(o.module, value, known.name, error);
  if (name == "--thumbnail") return setOnce(o.thumbnail, value, known.name, error);
  if (name == "--open") {
    o.openPage = true;
    return true;
  }
  if (name == "--depth") {
    if (!parseNumber(value, o.depth) || (o.depth != 8 && o.depth != 16 && o.depth != 32)) {
      error = "--depth is 8, 16 or 32, not \"" + value + "\"";
      return false;
    }
    return true;
  }
  if (name == "--quality") {
    if (!parseNumber(value, o.quality) || o.quality < 1 || o.quality > 100) {
      error = "--quality is a whole number from 1 to 100, not \"" + value + "\"";
      return false;
    }
    return true;
  }
  if (name == "--jobs") {
    if (!parseNumber(value, o.jobs) || o.jobs < 1 || o.jobs > 1024) {
      error = "-j is the number of files at once, from 1 to 1024, not \"" + value + "\"";
      return false;
    }
    return true;
  }
  if (name == "--threads") {
    if (!parseNumber(value, o.threads) || o.threads < 1 || o.threads > 256) {
      error = "--threads is a whole number from 1 to 256, not \"" + value + "\"";
      return false;
    }
    return true;
  }
  if (name == "--output-dir") return setOnce(o.folder, value, known.name, error);
  if (name == "--suffix") {
    if (value.find('/') != std::string::npos) {
      error = "--suffix is added to file names and cannot hold a /";
      return false;
    }
    return setOnce(o.suffix, value, known.name, error);
  }
  if (name == "--format") {
    std::string lower = value;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (std::find(std::begin(kBatchFormats), std::end(kBatchFormats), lower) == std::end(kBatchFormats)) {
      error = "--format is png, jpg, tif, webp or psd, not \"" + value + "\"";
      return false;
    }
    return setOnce(o.format, lower, known.name, error);
  }
  if (name == "--lossless" || name == "--strip" || name == "--no-auto-orient" || name == "--overwrite") {
    (name == "--lossless" ? o.lossless : name == "--strip" ? o.strip : name == "--overwrite" ? o.overwrite : o.autoOrient) =
        name != "--no-auto-orient";
    return true;
  }
  const Feedback wanted = name == "--quiet" ? Feedback::quiet : Feedback::progress;
  if (o.feedback != Feedback::automatic && o.feedback != wanted) {
    error = "--quiet and --progress contradict each other";
    return false;
  }
  o.feedback = wanted;
  return true;
}

const OptionSpec* findOption(const std::string& word) {
  for (const OptionSpec& known : kOptions)
    if (word == known.name || (known.alias && word == known.alias)) return &known;
  return nullptr;
}

bool isHelp(const std::string& word) { return word == "--help" || word == "-h"; }

// The words after the command: options (with "--name value" or "--name=value") and
// positional arguments; "--" makes everything after it positional.
bool parseCommandWords(const std::vector<std::string>& words, unsigned use, const char* command, Options& o,
                       std::vector<std::string>& positional, std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    std::string value;
    bool valueAttached = false;
    if (const size_t equals = word.find('='); word.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = word.substr(equals + 1);
      word = word.substr(0, equals);
      valueAttached = true;
    }
    const OptionSpec* known = findOption(word);
    if (!known || !(known->use & use)) {
      error = std::string(command) + ": unknown option " + word + " (tarve " + command + " --help lists the options)";
      return false;
    }
    if (known->takesValue && !valueAttached) {
      if (i + 1 >= words.size()) {
        error = word + " needs a value";
        return false;
      }
      value = words[++i];
    } else if (!known->takesValue && valueAttached) {
      error = word + " takes no value";
      return false;
    }
    if (!takeOption(*known, value, o, error)) return false;
  }
  const SettingsChoice& s = o.settings;
  if (int(s.last) + int(!s.preset.empty()) + int(!s.action.empty()) > 1) {
    error = "--last, --preset and --action each choose the settings: give only one of them";
    return false;
  }
  return true;
}

// How a command that reads one thing and writes another names them in its messages.
struct InputAndOutput {
  const char* command;
  const char* input;        // what the input is
  const char* inputWord;    // and its word in the usage line
  const char* onlyOne;      // when more than one is given
  const char* output;       // what -o gives
  const char* outputWord;
};

bool takeInputAndOutput(const InputAndOutput& w, const std::vector<std::string>& positional, Options& o,
                        std::string& error) {
  const std::string command = w.command;
  if (positional.size() != 1) {
    error = positional.empty() ? command + ": which " + w.input + "? tarve " + command + " " + w.inputWord + " -o " +
                                     w.outputWord
                               : command + ": " + w.onlyOne + ", got \"" + positional[1] + "\" as well";
    return false;
  }
  if (o.output.empty()) {
    error = command + ": where to? give " + w.output + " with -o " + w.outputWord;
    return false;
  }
  o.input = positional[0];
  return true;
}

bool checkApply(Options& o, const std::vector<std::string>& positional, std::string& error) {
  if (positional.empty()) {
    error = "apply: which image? tarve apply INPUT -o OUTPUT, or tarve apply INPUT... -d FOLDER";
    return false;
  }
  if (!o.output.empty() && !o.folder.empty()) {
    error = "apply: -o names one output file, -d a folder for many: give only one of them";
    return false;
  }
  if (o.folder.empty()) {
    const char* batchOnly = !o.format.empty() ? "--format"
                            : !o.suffix.empty() ? "--suffix"
                            : o.jobs != 0       ? "-j"
                            : o.overwrite       ? "--overwrite"
                                                : nullptr;
    if (batchOnly) {
      error = std::string("apply: ") + batchOnly + " is for batches with -d FOLDER (with -o the name says it all)";
      return false;
    }
    const InputAndOutput names{"apply", "image", "INPUT", "one input image only (several go into a folder with -d)",
                               "the output file", "OUTPUT"};
    return takeInputAndOutput(names, positional, o, error);
  }
  if (!o.record.empty()) {
    error = "apply: --record writes one action file; record it from a single image with -o";
    return false;
  }
  if (o.dialog) {
    error = "apply: --dialog shows one image; open it with -o OUTPUT";
    return false;
  }
  o.inputs = positional;
  return true;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, Options& o, std::string& error) {
  o = {};
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty() || isHelp(words[0])) {
    o.command = Command::help;
    return true;
  }
  if (words[0] == "--version") {
    o.command = Command::version;
    return true;
  }
  if (words[0] == "help") {
    o.command = Command::help;
    o.helpTopic = words.size() > 1 ? words[1] : "";
    return true;
  }
  std::string command = words[0];
  words.erase(words.begin());
  if (command == "preset") {
    if (words.empty() || isHelp(words[0])) {
      o.helpTopic = "preset";
      return true;
    }
    command += " " + words[0];
    words.erase(words.begin());
  }
  for (const std::string& w : words)
    if (isHelp(w)) {
      o.command = Command::help;
      o.helpTopic = command.rfind("preset", 0) == 0 ? "preset" : command;
      return true;
    }

  std::vector<std::string> positional;
  if (command == "apply") {
    o.command = Command::apply;
    if (!parseCommandWords(words, kApply, "apply", o, positional, error)) return false;
    return checkApply(o, positional, error);
  }
  if (command == "glues") {
    o.command = Command::glues;
    if (!words.empty()) {
      error = "glues takes no arguments";
      return false;
    }
    return true;
  }
  if (command == "preset info" || command == "preset make") {
    const bool make = command == "preset make";
    o.command = make ? Command::presetMake : Command::presetInfo;
    if (!parseCommandWords(words, make ? unsigned(kMake) : 0u, command.c_str(), o, positional, error)) return false;
    if (positional.size() != 1) {
      error = command + " needs exactly one settings file, such as water.q8r";
      return false;
    }
    o.input = positional[0];
    return true;
  }
  if (command == "about") {
    o.command = Command::about;
    if (!parseCommandWords(words, kAbout, "about", o, positional, error)) return false;
    if (!positional.empty()) {
      error = "about takes no arguments";
      return false;
    }
    return true;
  }
  if (command == "gallery") {
    o.command = Command::gallery;
    const InputAndOutput names{"gallery", "folder", "FOLDER", "one folder only", "the page", "PAGE.html"};
    return parseCommandWords(words, kGallery, "gallery", o, positional, error) &&
           takeInputAndOutput(names, positional, o, error);
  }
  error = "unknown command \"" + command +
          "\"; the commands are apply, glues, preset info, preset make, gallery and about (tarve --help)";
  return false;
}
