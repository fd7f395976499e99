// Built into every program of a sanitizer build. The leak checker is told of system
// libraries that keep memory for the life of the process by design: fontconfig its matched
// fonts, GLib its type system and caches, D-Bus the connection GTK's accessibility opens,
// babl its pixel format tables (even after babl_exit).
// Nothing of ours is named here. The sanitizer runtime looks the function up by name, so it
// is exported.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libdbus-1.so\n"
         "leak:libbabl-0.1.so\n";
}
