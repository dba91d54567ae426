#include "cli/CliArguments.h"

#include <algorithm>

namespace velmora::cli {

namespace {

struct CommandForm {
    const char* name;
    const char* usage;
    int minOperands;
    int maxOperands;  // -1: any number
    std::vector<std::string> options;
    const char* help;
};

const std::vector<CommandForm>& commands() {
    static const std::vector<CommandForm> forms = {
        {"list", "list [--status] [--json]", 0, 0, {"--status", "--json"},
         "Prints the stored configurations in the store's order; --status adds each one's service state."},
        {"show", "show NAME [--json]", 1, 1, {"--json"},
         "Prints every field of a stored configuration as FIELD = VALUE, one option per line."},
        {"set", "set NAME FIELD=VALUE... [--yes]", 2, -1, {"--yes"},
         "Changes fields through the same setters as the window, then saves. A name not stored yet starts\n"
         "from the defaults of a new configuration, so set also creates. FIELD is a store value name:\n"
         "  tomcat.home catalina.base system.out system.err tomcat.config description\n"
         "  java.security.manager (0/1) java.security.policy jvm (server/client) java.home java.class.path\n"
         "  java.io.tmpdir init.heap.size max.heap.size thread.stack.size (1..32767, empty: none)\n"
         "  reduce.os.signals (0/1) additional.jvm.options (once per option; empty: no options)\n"
         "Saving an installed configuration reinstalls its service, as the window does."},
        {"check", "check NAME [--open] [--json] [--yes]", 1, 1, {"--open", "--json", "--yes"},
         "Runs every check, prints the failed ones and writes the diagnostic report beside the program;\n"
         "--open opens it. Exit code 4 when a check failed."},
        {"install", "install NAME [--yes]", 1, 1, {"--yes"},
         "Saves the configuration, checks it and installs its service."},
        {"uninstall", "uninstall NAME [--yes]", 1, 1, {"--yes"}, "Stops and removes the configuration's service."},
        {"start", "start NAME", 1, 1, {"--yes"}, "Starts the installed service."},
        {"stop", "stop NAME", 1, 1, {"--yes"}, "Stops the installed service."},
        {"status", "status NAME [--json]", 1, 1, {"--json"},
         "Prints the service state. Exit code 0 running, 5 installed and not running, 6 not installed,\n"
         "7 unknown."},
        {"delete", "delete NAME [--yes]", 1, 1, {"--yes"},
         "Deletes the stored configuration and removes its service; an installed one needs --yes."},
        {"export", "export (NAME...|--all) [--out FILE]", 0, -1, {"--all", "--out"},
         "Writes the configurations as one JSON document to FILE, or to the standard output."},
        {"import", "import FILE [--replace]", 1, 1, {"--replace"},
         "Stores the configurations of an exported document and lists them; never installs. The whole file\n"
         "is checked first, and any problem refuses all of it. A name already stored is refused unless\n"
         "--replace is given; an installed configuration is never replaced."},
        {"help", "help [COMMAND]", 0, 1, {}, "Prints the commands, or the help of one."},
        {"version", "--version", 0, 0, {}, "Prints the program's name and version."},
    };
    return forms;
}

const CommandForm* findCommand(const std::string& name) {
    for (const auto& form : commands())
        if (name == form.name) return &form;
    return nullptr;
}

bool takes(const CommandForm& form, const std::string& option) {
    return std::find(form.options.begin(), form.options.end(), option) != form.options.end();
}

ParsedArguments usage(Invocation invocation, const std::string& error) { return {std::move(invocation), error}; }

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string>& arguments) {
    Invocation inv;
    if (arguments.empty()) return usage(inv, "no command given.");
    inv.command = arguments[0];
    if (inv.command == "--help" || inv.command == "-h" || inv.command == "/?") inv.command = "help";
    if (inv.command == "--version") inv.command = "version";
    const CommandForm* form = findCommand(inv.command);
    if (!form) return usage(inv, "unknown command \"" + inv.command + "\".");

    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind("--", 0) != 0) {
            inv.operands.push_back(a);
            continue;
        }
        if (a == "--help") {
            inv.help = true;
            continue;
        }
        if (!takes(*form, a)) return usage(inv, inv.command + " does not take " + a + ".");
        if (a == "--json") inv.json = true;
        if (a == "--yes") inv.yes = true;
        if (a == "--all") inv.all = true;
        if (a == "--status") inv.status = true;
        if (a == "--open") inv.open = true;
        if (a == "--replace") inv.replace = true;
        if (a == "--out") {
            if (i + 1 == arguments.size()) return usage(inv, "--out needs a file.");
            inv.outFile = arguments[++i];
        }
    }
    if (inv.help) return {inv, {}};

    const int count = static_cast<int>(inv.operands.size());
    if (inv.command == "export") {
        if (inv.all == (count > 0)) return usage(inv, "export takes either names or --all.");
        return {inv, {}};
    }
    if (count < form->minOperands || (form->maxOperands >= 0 && count > form->maxOperands))
        return usage(inv, "usage: velmora-cli " + std::string(form->usage));
    if (inv.command == "set")
        for (std::size_t i = 1; i < inv.operands.size(); ++i)
            if (inv.operands[i].find('=') == std::string::npos)
                return usage(inv, "\"" + inv.operands[i] + "\" is not FIELD=VALUE.");
    if (inv.command == "help" && count == 1 && !findCommand(inv.operands[0]))
        return usage(inv, "unknown command \"" + inv.operands[0] + "\".");
    return {inv, {}};
}

std::string overviewHelp() {
    std::string text =
        "velmora-cli: the stored Tomcat service configurations of this machine, from a command prompt.\n\n"
        "Commands:\n";
    for (const auto& form : commands()) text += "  velmora-cli " + std::string(form.usage) + "\n";
    text +=
        "\nvelmora-cli COMMAND --help tells more. Questions the window would ask (\"Confirm\") are answered\n"
        "No, and the command is refused, unless --yes is given.\n\n"
        "Exit codes: 0 success, 1 failure, 2 usage error, 3 refused (nothing changed),\n"
        "4 check found problems; status: 0 running, 5 installed and not running, 6 not installed, 7 unknown.\n";
    return text;
}

std::string commandHelp(const std::string& command) {
    const CommandForm* form = findCommand(command);
    if (!form) return overviewHelp();
    return "usage: velmora-cli " + std::string(form->usage) + "\n\n" + form->help + "\n";
}

}  // namespace velmora::cli
