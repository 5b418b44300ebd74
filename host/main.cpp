// balance-host: the page host of the balance web components.
//   balance-host serve ...    HTTP host (serve_command.h)
//   balance-host render ...   one request without a network (render_command.h)
#include <malloc.h>

#include <cstdlib>
#include <iostream>

#include "ado/ado.h"
#include "password_object.h"
#include "registration.h"
#include "render_command.h"
#include "scripting/registration.h"
#include "serve_command.h"

namespace {

// The code page of ANSI text files (Scripting.FileSystemObject), as the upload receiver reads
// posted names: BALANCE_ANSI_CODEPAGE, 936 by default.
int ansiCodePage() {
  const char* setting = std::getenv("BALANCE_ANSI_CODEPAGE");
  if (!setting || !*setting) return 936;
  char* end = nullptr;
  long value = std::strtol(setting, &end, 10);
  return *end == '\0' && value > 0 && value < 65536 ? static_cast<int>(value) : 936;
}

// Request bodies and replies of a megabyte or more come and go all the time. glibc raises its
// mmap threshold after the first such buffer is freed, and later ones then land in the heaps of
// the threads, which keep them: resident memory would swing and creep with the load. A fixed
// threshold sends every large buffer straight back to the system when it is freed.
void returnLargeBuffersToTheSystem() { mallopt(M_MMAP_THRESHOLD, 256 * 1024); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || (args[0] != "serve" && args[0] != "render")) {
    std::cerr << "usage: balance-host serve [--root DIR] [--port 8080] [--bind 127.0.0.1] ...\n"
                 "         (balance-host serve --help lists every option)\n"
                 "       balance-host render [--root DIR] [--url URL] [--query QS] [--form QS]\n"
                 "                           [--body FILE --content-type TYPE] [--session FILE]\n"
                 "                           [--headers] PAGE\n"
                 "  both: [--data DIR] [--default-language vbscript] [--error-page PAGE]\n"
                 "        [--script-timeout SECONDS] [--session-timeout MINUTES]\n";
    return host::kExitUsage;
  }
  automation::ClassRegistry registry;
  balance::registerBalanceClasses(registry);
  ado::registerClasses(registry);
  host::registerPasswordClass(registry);
  scripting::registerClasses(registry, ansiCodePage());
  std::string command = args[0];
  args.erase(args.begin());
  if (command == "serve") {
    returnLargeBuffersToTheSystem();
    return host::runServe(args, registry, std::cout, std::cerr);
  }
  return host::runRender(args, registry, std::cout, std::cerr);
}
