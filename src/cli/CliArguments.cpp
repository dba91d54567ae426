#include "cli/CliArguments.h"

#include "config/ConfigurationFields.h"
#include "platform/Numbers.h"

#include <algorithm>

namespace velmora::cli {

namespace {

struct CommandForm {
    const char* name;
    const char* usage;
    int minOperands;
    int maxOperands;  // -1: any number
    std::vector<std::string> options;
    bool changes;  // writes the store or acts on a service
    const char* help;
};

const std::vector<CommandForm>& commands() {
    static const std::vector<CommandForm> forms = {
        {"list",
         "list [--status]",
         0,
         0,
         {"--status"},
         false,
         "Prints the stored configurations in the store's order; --status adds each one's service state."},
        {"show",
         "show NAME [--service]",
         1,
         1,
         {"--service"},
         false,
         "Prints every field of a stored configuration as FIELD = VALUE, one option per line. --service prints\n"
         "what the installed service holds instead (the service manager's record and what its wrapper keeps)\n"
         "in the same fields, and marks every field in which it differs from the stored configuration."},
        {"set",
         "set NAME [FIELD=VALUE...] [--yes] [--restart] [--force] [--grant-rights] [--password-stdin]",
         1,
         -1,
         {"--yes", "--restart", "--force", "--grant-rights", "--password-stdin"},
         true,
         "Changes fields through the same setters as the window, then saves. A name not stored yet starts\n"
         "from the defaults of a new configuration, so set also creates. FIELD is a store value name:\n"
         "  tomcat.home catalina.base system.out system.err tomcat.config description\n"
         "  java.security.manager (0/1) java.security.policy jvm (server/client) java.home java.class.path\n"
         "  java.io.tmpdir init.heap.size max.heap.size thread.stack.size (1..32767, empty: none)\n"
         "  reduce.os.signals (0/1) additional.jvm.options (once per option; empty: no options)\n"
         "  service.startup (auto/delayed/manual/disabled) service.account (LocalSystem, LocalService,\n"
         "  NetworkService, virtual, DOMAIN\\name, .\\name for a local account or DOMAIN\\name$ for a managed\n"
         "  service account) service.depends.on (once per service)\n"
         "  service.stop.timeout service.recovery.first service.recovery.second service.recovery.later\n"
         "  service.recovery.reset (seconds; a recovery of 0: none) service.recovery.on.error.exit (0/1)\n"
         "  service.display.name service.environment (NAME=VALUE, once per variable)\n"
         "  service.ready.url (http://localhost:PORT/PATH) service.start.timeout (seconds; 0: done once it runs)\n"
         "  logs.keep.days logs.max.mb (1..32767, empty: no bound)\n"
         "Every field given is checked; a warning stores nothing unless --force is given, and paths that a\n"
         "new home or base would move are moved only with --yes (without it nothing is stored).\n"
         "An installed service is changed where it stands, as little as the change takes; only another Catalina\n"
         "home or wrapper reinstalls it. A running service is restarted for a change that needs it only with\n"
         "--restart or --yes; otherwise the change takes effect at its next start."},
        {"check",
         "check NAME [--open] [--report FILE] [--yes]",
         1,
         1,
         {"--open", "--report", "--yes"},
         true,
         "Runs every check, prints the failed ones and writes the diagnostic report beside the program,\n"
         "or to FILE; --open opens it. Exit code 4 when a check failed."},
        {"install",
         "install NAME [--yes] [--grant-rights] [--password-stdin]",
         1,
         1,
         {"--yes", "--grant-rights", "--password-stdin"},
         true,
         "Saves the configuration, checks it and installs its service. --grant-rights gives the service's\n"
         "account the rights it lacks on its folders (and a named account the right to log on as a service);\n"
         "--password-stdin reads a named account's password from the standard input."},
        {"uninstall",
         "uninstall NAME [--yes]",
         1,
         1,
         {"--yes"},
         true,
         "Stops and removes the configuration's service; a running one only with --yes."},
        {"start",
         "start NAME",
         1,
         1,
         {"--yes"},
         true,
         "Starts the installed service and returns once Tomcat answers on every connector port of its\n"
         "server.xml (and on service.ready.url when set), within service.start.timeout seconds."},
        {"stop",
         "stop NAME",
         1,
         1,
         {"--yes"},
         true,
         "Stops the installed service, and says whether Tomcat stopped gracefully or was ended."},
        {"restart",
         "restart NAME",
         1,
         1,
         {"--yes"},
         true,
         "Stops the installed service, then starts it as start does."},
        {"status",
         "status NAME",
         1,
         1,
         {},
         false,
         "Prints the service state, its process and how long it has run. Exit code 0 running and\n"
         "answering, 5 stopped, 6 not installed (or removed outside Velmora), 7 unknown, 11 starting,\n"
         "stopping, pausing or continuing, 12 paused, 13 running but a port or the URL does not answer."},
        {"delete",
         "delete NAME [--yes]",
         1,
         1,
         {"--yes"},
         true,
         "Deletes the stored configuration and removes its service; an installed one needs --yes."},
        {"export",
         "export (NAME...|--all) [--out FILE]",
         0,
         -1,
         {"--all", "--out"},
         false,
         "Writes the configurations as one JSON document to FILE, or to the standard output."},
        {"import",
         "import FILE [--replace]",
         1,
         1,
         {"--replace"},
         true,
         "Stores the configurations of an exported document and lists them; never installs. The whole file\n"
         "is checked first, and any problem refuses all of it. A name already stored is refused unless\n"
         "--replace is given; an installed configuration is never replaced. UTF-8 and UTF-16 with a\n"
         "byte-order mark are read."},
        {"repoint",
         "repoint NAME [--jdk PATH] [--check] [--yes] [--restart]",
         1,
         1,
         {"--jdk", "--check", "--yes", "--restart"},
         true,
         "Moves the configuration and its installed service to another JDK without a reinstall: the one\n"
         "given (a full path), or the newest registered JDK of the same version when its own folder is gone (a\n"
         "JDK update removes the folder of the one before). Only the JDK's paths change. The JDK is checked\n"
         "first (its machine type against the wrapper's, its bin\\java.exe with the configuration's options);\n"
         "--check runs only that: exit code 4 with problems, 0 without. A running service is restarted on the\n"
         "new JDK only with --yes or --restart."},
        {"upgrade",
         "upgrade NAME --home NEWHOME [--jdk PATH] [--check] [--yes]",
         1,
         1,
         {"--home", "--jdk", "--check", "--yes"},
         true,
         "Moves the installed service to another Catalina home (a newer Tomcat), and to another JDK with\n"
         "--jdk. Checked first, before anything stops: the new home's layout and version, its Java baseline\n"
         "against the JDK, the machine types, what the JDK's java.exe says of the options (--check runs only\n"
         "that: exit code 4 with problems, 0 without). Then, with --yes: stop, the configuration moved to\n"
         "the new home (the base and every other field stay), the service installed from it, and, when it\n"
         "ran, a start until Tomcat answers. When it does not come up, the service is put back as it was and\n"
         "started again; both are told, with how long Tomcat was down."},
        {"import-setenv",
         "import-setenv NAME [--yes] [--restart]",
         1,
         1,
         {"--yes", "--restart"},
         true,
         "Takes the options that the home's or base's bin\\setenv.bat sets in CATALINA_OPTS or JAVA_OPTS\n"
         "(which the service never reads) into the configuration: heap and stack sizes to their fields, the\n"
         "rest to the additional options. Prints what it would change; changes it only with --yes."},
        {"apply",
         "apply FILE [--check] [--set FIELD=VALUE]... [--yes] [--restart] [--grant-rights] [--password-stdin]",
         1,
         1,
         {"--check", "--set", "--yes", "--restart", "--grant-rights", "--password-stdin"},
         true,
         "Brings every configuration the file names to the state it asks for, changing only what differs.\n"
         "FILE is an export whose entries may each give a \"state\": absent (not stored), stored (the\n"
         "default: values stored, an installed service kept in step), installed, running or stopped.\n"
         "Values that match write nothing; a service's settings change in place where the service\n"
         "manager allows, and only other changed values reinstall it (a running one starts again).\n"
         "Configurations the file does not name are left alone. --set overrides a field for this server\n"
         "before comparing (a new tomcat.home moves the paths below it, with --yes); --check changes nothing\n"
         "and says what it would do. Exit code 0: everything was in its state; 10: something changed (or,\n"
         "with --check, would change); 1: a configuration failed (the others are still reported)."},
        {"logs",
         "logs (NAME|--all) [--tail N] [--file FILE] [--prune [--check]]",
         0,
         1,
         {"--all", "--tail", "--file", "--prune", "--check"},
         false,
         "Lists the log files of the configuration, newest first, with size and date: System.out and\n"
         "System.err, the wrapper's own log and Tomcat's logs in the base's logs folder; never another\n"
         "configuration's files. --tail N prints the last N lines of the newest System.err, or of the file\n"
         "--file names (one of the list). --prune deletes the oldest files beyond logs.keep.days or\n"
         "logs.max.mb, never one that is open for writing, of each name given; --all prunes every stored\n"
         "configuration; --check says what it would delete and deletes nothing. Exit code 10: files were\n"
         "(or would be) deleted; 0: none were beyond the bounds."},
        {"adopt",
         "adopt (NAME [--yes] [--replace] | --list)",
         0,
         1,
         {"--list", "--yes", "--replace"},
         true,
         "Takes over a Tomcat service made elsewhere (Tomcat's installer, its service.bat, an older Velmora)\n"
         "without changing it. --list lists the services of this computer that run a Tomcat service wrapper\n"
         "of a Catalina home and are not Velmora's, and why each is not. With NAME it prints the configuration\n"
         "it would store and what the service holds that no configuration keeps, then asks: with --yes the\n"
         "configuration is stored under the service's name with the record of what the service runs, and the\n"
         "service keeps running as it was. A stored configuration of that name is replaced only with --replace.\n"
         "From then on every command works on it as on a service Velmora installed."},
        {"help", "help [COMMAND]", 0, 1, {}, false, "Prints the commands, or the help of one."},
        {"version", "--version", 0, 0, {}, false, "Prints the program's name and version."},
    };
    return forms;
}

// Taken by every command: -h/--help, --json, -q/--quiet, --verbose.
const std::vector<std::string> kEveryCommand = {"--json", "--quiet", "--verbose"};
// Options followed by a value, as "--out FILE" or "--out=FILE".
const std::vector<std::string> kWithValue = {"--out", "--report", "--jdk", "--home", "--tail", "--file"};

const CommandForm* findCommand(const std::string& name) {
    for (const auto& form : commands())
        if (name == form.name) return &form;
    return nullptr;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

ParsedArguments usage(Invocation invocation, const std::string& error) { return {std::move(invocation), error}; }

// Whether --json stands as an option of its own, looked for before the line is read so that a usage
// error found on the way is answered in JSON too: an option's value or anything after "--" is no option.
bool asksForJson(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--") return false;
        if (a == "--json") return true;
        if (a == "--set" || contains(kWithValue, a)) ++i;
    }
    return false;
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string>& given) {
    Invocation inv;
    // Even a command line that is wrong answers in JSON when asked to.
    inv.json = asksForJson(given);
    // What every command takes may come before the command too: it is read as though it came after.
    std::vector<std::string> arguments = given;
    const auto command = std::find_if(arguments.begin(), arguments.end(),
                                      [](const std::string& a) { return a != "-q" && !contains(kEveryCommand, a); });
    if (command == arguments.end()) return usage(inv, "no command given.");
    std::rotate(arguments.begin(), command, command + 1);
    inv.command = arguments[0];
    if (inv.command == "--help" || inv.command == "-h" || inv.command == "/?") inv.command = "help";
    if (inv.command == "--version") inv.command = "version";
    const CommandForm* form = findCommand(inv.command);
    if (!form) return usage(inv, "unknown command \"" + inv.command + "\".");

    std::vector<std::string> valuesGiven;  // an option's second value would silently win over its first
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string a = arguments[i];
        if (a == "-h" || a == "--help" || a == "/?") {
            inv.help = true;
            continue;
        }
        if (a == "-q") a = "--quiet";
        // "--" ends the options: what follows is taken as it stands, a name starting with "--" too.
        if (a == "--") {
            inv.operands.insert(inv.operands.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                arguments.end());
            break;
        }
        // An option typed with one dash would otherwise be taken for a name.
        if (a.size() > 1 && a[0] == '-' && a[1] != '-' &&
            (contains(form->options, "-" + a.substr(0, a.find('='))) ||
             contains(kEveryCommand, "-" + a.substr(0, a.find('=')))))
            return usage(inv, a + " is not an option: did you mean -" + a +
                                  "? (A name that starts with \"-\" goes after \"--\".)");
        if (a.rfind("--", 0) != 0) {
            inv.operands.push_back(a);
            continue;
        }
        std::string value;
        const auto equals = a.find('=');
        const bool inline_ = equals != std::string::npos;
        if (inline_) {
            value = a.substr(equals + 1);
            a = a.substr(0, equals);
        }
        if (!contains(form->options, a) && !contains(kEveryCommand, a))
            return usage(inv, inv.command + " does not take " + a + ".");
        if (a == "--set") {
            if (!inline_) {
                if (i + 1 == arguments.size()) return usage(inv, "--set needs FIELD=VALUE.");
                value = arguments[++i];
            }
            if (value.find('=') == std::string::npos)
                return usage(inv, "--set needs FIELD=VALUE, not \"" + value + "\".");
            inv.sets.push_back(value);
            continue;
        }
        if (contains(kWithValue, a)) {
            if (contains(valuesGiven, a)) return usage(inv, a + " is given twice.");
            valuesGiven.push_back(a);
            const std::string what = a == "--jdk" || a == "--home" ? " needs a folder."
                                     : a == "--tail"               ? " needs a number of lines from 1 to 100000."
                                                                   : " needs a file.";
            if (!inline_) {
                if (i + 1 == arguments.size()) return usage(inv, a + what);
                value = arguments[++i];
            }
            if (value.empty()) return usage(inv, a + what);
            if (a == "--tail") {
                const unsigned long lines = wholeNumber<unsigned long>(value).value_or(0);
                if (lines < 1 || lines > 100000) return usage(inv, a + what);
                inv.tail = lines;
                continue;
            }
            (a == "--out"    ? inv.outFile
             : a == "--jdk"  ? inv.jdk
             : a == "--home" ? inv.home
             : a == "--file" ? inv.file
                             : inv.reportFile) = value;
            continue;
        }
        if (inline_) return usage(inv, a + " takes no value.");
        if (a == "--json") inv.json = true;
        if (a == "--quiet") inv.quiet = true;
        if (a == "--verbose") inv.verbose = true;
        if (a == "--yes") inv.yes = true;
        if (a == "--force") inv.force = true;
        if (a == "--all") inv.all = true;
        if (a == "--status") inv.status = true;
        if (a == "--open") inv.open = true;
        if (a == "--replace") inv.replace = true;
        if (a == "--grant-rights") inv.grantRights = true;
        if (a == "--password-stdin") inv.passwordStdin = true;
        if (a == "--check") inv.check = true;
        if (a == "--restart") inv.restart = true;
        if (a == "--prune") inv.prune = true;
        if (a == "--list") inv.list = true;
        if (a == "--service") inv.service = true;
    }
    if (inv.help) return {inv, {}};

    const int count = static_cast<int>(inv.operands.size());
    if (inv.command == "logs") {
        if (inv.all == (count > 0)) return usage(inv, "logs takes either a name or --all.");
        if (inv.all && !inv.prune) return usage(inv, "logs --all goes with --prune.");
        if (count > 1 && !inv.prune) return usage(inv, "logs takes one name; several go with --prune.");
        if (inv.check && !inv.prune) return usage(inv, "logs --check goes with --prune.");
        if (inv.prune && (inv.tail || !inv.file.empty())) return usage(inv, "logs --prune takes no --tail or --file.");
        if (!inv.file.empty() && !inv.tail) return usage(inv, "logs --file goes with --tail N.");
        return {inv, {}};
    }
    if (inv.command == "export") {
        if (inv.all == (count > 0)) return usage(inv, "export takes either names or --all.");
        return {inv, {}};
    }
    if (inv.command == "adopt" && inv.list == (count > 0)) return usage(inv, "adopt takes either a name or --list.");
    if (count < form->minOperands || (form->maxOperands >= 0 && count > form->maxOperands))
        return usage(inv, "usage: velmora-cli " + std::string(form->usage));
    // A name that came out empty in a script would leave its first value to be taken for the name.
    if (const std::string& first = inv.operands.empty() ? std::string() : inv.operands[0];
        inv.command == "set" && first.find('=') != std::string::npos && storedField(first.substr(0, first.find('='))))
        return usage(inv, "set takes the NAME first; \"" + first + "\" is FIELD=VALUE.");
    if (inv.command == "set")
        for (std::size_t i = 1; i < inv.operands.size(); ++i)
            if (inv.operands[i].find('=') == std::string::npos)
                return usage(inv, "\"" + inv.operands[i] + "\" is not FIELD=VALUE.");
    if (inv.command == "help" && count == 1 && !findCommand(inv.operands[0]))
        return usage(inv, "unknown command \"" + inv.operands[0] + "\".");
    return {inv, {}};
}

bool changesTheSystem(const Invocation& invocation) {
    // logs only reads, unless it deletes; listing what could be taken over only reads.
    if (invocation.command == "logs") return invocation.prune && !invocation.check;
    if (invocation.command == "adopt" && invocation.list) return false;
    // A check before an upgrade or a move to another JDK only reads and asks java.
    if ((invocation.command == "upgrade" || invocation.command == "repoint") && invocation.check) return false;
    const CommandForm* form = findCommand(invocation.command);
    return form && form->changes;
}

std::string overviewHelp() {
    std::string text =
        "velmora-cli: the stored Tomcat service configurations of this machine, from a command prompt.\n\n"
        "Commands:\n";
    for (const auto& form : commands()) text += "  velmora-cli " + std::string(form.usage) + "\n";
    text +=
        "\nEvery command also takes --json (one JSON document on standard output, errors included),\n"
        "-q/--quiet, --verbose and -h/--help, after the command or before it. Questions the window would\n"
        "ask (\"Confirm\") are answered No, and the command is refused, unless --yes is given.\n\n"
        "Exit codes: 0 success, 1 failure or a warning, 2 usage error, 3 refused or declined (nothing\n"
        "changed), 4 check found problems, 8 no such configuration is stored, 9 not run as an\n"
        "administrator, 10 apply or logs --prune changed something; status: 0 running, 5 installed and\n"
        "not running, 6 not installed, 7 unknown, 11 pending, 12 paused, 13 running but not answering.\n"
        "\"--\" ends the options.\n";
    return text;
}

std::string commandHelp(const std::string& command) {
    const CommandForm* form = findCommand(command);
    if (!form) return overviewHelp();
    return "usage: velmora-cli " + std::string(form->usage) + "\n\n" + form->help + "\n";
}

}  // namespace velmora::cli
