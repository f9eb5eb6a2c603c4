#include "interpreter/command_line.h"

#include <tclap/CmdLine.h>

#include <iostream>

#include "platform/process.h"

namespace qv {

StartupOptions parseCommandLine(int argc, const char* const* argv) {
    StartupOptions options;
    try {
        TCLAP::CmdLine line("", ' ', "1081");
        // The library lists options in the reverse order of their creation.
        TCLAP::UnlabeledValueArg<std::string> script("filename", "script to load", false, "",
                                                     "script.txt", line);
        TCLAP::MultiArg<std::string> var("a", "var",
                                         "set value of a variable (set_value/get_value/$name in script)",
                                         false, "name=value", line);
        TCLAP::MultiArg<std::string> cmd("c", "cmd", "execute command", false, "command", line);
        TCLAP::MultiArg<std::string> pscmd("d", "pscmd", "execute command after script is loaded",
                                           false, "command", line);
        TCLAP::SwitchArg exitAfter("e", "exit", "exit after client disconnects", line);
        TCLAP::SwitchArg suppressOk("k", "suppressok", "suppress ok-messages", line);
        TCLAP::SwitchArg compact("m", "compactmsg", "show only single-line solver messages", line);
        TCLAP::SwitchArg echo("o", "echo", "echo commands", line);
        TCLAP::ValueArg<int> port("p", "port", "server port (default 5251)", false, 5251, "port", line);
        TCLAP::SwitchArg color("r", "color", "color text", line);
        TCLAP::ValueArg<std::string> bind("b", "bind",
                                          "server address to listen on (default all IPv4 addresses; "
                                          "127.0.0.1 keeps the server private to this machine)",
                                          false, "", "address", line);
        TCLAP::SwitchArg server("s", "server", "run as a server", line);
        TCLAP::SwitchArg terminate("t", "terminateonerror", "terminate process on error", line);
        TCLAP::SwitchArg verbose("v", "verbose", "show debug information", line);
        // Errors are reported in our own one-line form rather than the library's usage dump.
        line.setExceptionHandling(false);
        line.parse(argc, argv);

        options.verbose = verbose.getValue();
        options.terminateOnError = terminate.getValue();
        options.server = server.getValue();
        options.colorText = color.getValue();
        options.port = port.getValue();
        options.bindAddress = bind.getValue();
        options.echoCommands = echo.getValue();
        options.compactMessages = compact.getValue();
        options.suppressOk = suppressOk.getValue();
        options.exitAfterDisconnect = exitAfter.getValue();
        options.postScriptCommands = pscmd.getValue();
        options.commands = cmd.getValue();
        options.variables = var.getValue();
        options.scriptFile = script.getValue();
    } catch (const TCLAP::ArgException& e) {
        std::cerr << "error: " << e.error() << " for arg " << e.argId() << std::endl;
        endProcess(1);
    } catch (const TCLAP::ExitException& e) {
        endProcess(e.getExitStatus());
    }
    return options;
}

}  // namespace qv
