// Writes the manual page tarve.1 from the program's own help texts, so that `man tarve`
// says what `tarve --help` says. Usage: write_manual OUT.1
#include <cstdio>
#include <string>

#include "app/help_texts.h"

namespace {

// The help texts are laid out by hand: they go into the page unfilled, with what roff would
// take for a request or an escape made harmless.
std::string asRoff(const std::string& text) {
  std::string out = ".nf\n";
  size_t start = 0;
  for (size_t end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    for (size_t at = 0; (at = line.find('\\', at)) != std::string::npos; at += 2) line.replace(at, 1, "\\e");
    if (!line.empty() && (line[0] == '.' || line[0] == '\'')) line = "\\&" + line;
    for (size_t at = 0; (at = line.find('-', at)) != std::string::npos; at += 2) line.replace(at, 1, "\\-");
    out += line + "\n";
  }
  return out + ".fi\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_manual OUT.1\n");
    return 2;
  }
  std::string page = ".TH TARVE 1 \"\" \"Tarve\" \"User Commands\"\n"
                     ".SH NAME\ntarve \\- draws lying water below a horizontal water line in a picture\n"
                     ".SH SYNOPSIS\n";
  std::string text;
  helpText("", text);
  page += asRoff(text);
  for (const char* topic : {"apply", "glues", "preset", "gallery", "about"}) {
    if (!helpText(topic, text)) continue;
    page += std::string(".SH \"TARVE ") + topic + "\"\n" + asRoff(text);
  }
  page += ".SH FILES\n.nf\nPREFIX/lib/tarve/Tarve.8bf   the filter module\nPREFIX/lib/tarve/Tarve.pipl  its property list\n"
          "PREFIX/lib/tarve/Tarve.aete  its scripting terminology\n.fi\n";
  FILE* out = std::fopen(argv[1], "w");
  const bool written = out && std::fputs(page.c_str(), out) >= 0;
  if (out && std::fclose(out) != 0) return 1;
  return written ? 0 : 1;
}
