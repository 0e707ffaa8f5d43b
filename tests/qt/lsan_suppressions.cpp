// fontconfig and D-Bus keep their caches until the process ends; Qt loads both.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
