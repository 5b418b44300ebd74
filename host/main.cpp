// balance-host: the page host of the balance web components.
//   balance-host serve ...    HTTP host (serve_command.h)
//   balance-host render ...   one request without a network (render_command.h)
#include <iostream>

#include "ado/ado.h"
#include "password_object.h"
#include "registration.h"
#include "render_command.h"
#include "serve_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || (args[0] != "serve" && args[0] != "render")) {
    std::cerr << "usage: balance-host serve [--root DIR] [--port 8080] [--bind 127.0.0.1] ...\n"
                 "       balance-host render [--root DIR] [--url URL] [--query QS] [--form QS]\n"
                 "                           [--body FILE --content-type TYPE] [--session FILE]\n"
                 "                           [--headers] PAGE\n"
                 "  both: [--data DIR] [--default-language jscript] [--error-page PAGE]\n"
                 "        [--script-timeout SECONDS] [--session-timeout MINUTES]\n";
    return host::kExitUsage;
  }
  automation::ClassRegistry registry;
  balance::registerBalanceClasses(registry);
  ado::registerClasses(registry);
  host::registerPasswordClass(registry);
  std::string command = args[0];
  args.erase(args.begin());
  if (command == "serve") return host::runServe(args, registry, std::cerr);
  return host::runRender(args, registry, std::cout, std::cerr);
}
