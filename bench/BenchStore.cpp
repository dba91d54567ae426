// bench_store: the store at scale. Saving and loading one configuration
// through the session while many others are stored, against the store's own
// registry calls made directly; the report of a configuration with 100
// additional options; export and import of 1,000 configurations; apply of
// 100 configurations already in their state; import of one configuration
// with 100,000 options; logs --prune over 10,000 log files; and import at 1,000 to 100,000 configurations on the
// in-memory registry, 10,000 on the real one. The registry, the files and the table of listening ports are the
// system's; processes and services are stand-ins, so no program runs: net stop and the wrapper cost what those programs
// cost.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "app/DesiredState.h"
#include "app/Program.h"
#include "config/ConfigurationDocument.h"
#include "config/ConfigurationTransfer.h"
#include "config/Encodings.h"
#include "config/NameList.h"
#include "config/StoreLayout.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"
#include "support/RecordingFrontEnd.h"

using namespace velmora;
using namespace velmora::bench;

namespace {

const char* verdict(bool holds) { return holds ? "holds" : "missed"; }

std::string numbered(const std::string& prefix, int i) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06d", i);
    return prefix + digits;
}

// Many copies of one configuration under numbered names.
std::vector<Configuration> copiesOf(Configuration c, const std::string& prefix, int count) {
    std::vector<Configuration> copies;
    copies.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        c.serviceName = numbered(prefix, i);
        copies.push_back(c);
    }
    return copies;
}

// Deletes the numbered keys and empties the list.
void clearStore(Registry& registry, const std::vector<std::string>& names) {
    for (const auto& name : names) (void)registry.deleteKey(kLocalMachine, store::configurationKey(name));
    (void)registry.write(kLocalMachine, store::kStoreKey, {RegistryWrite::listValue(store::kListValue, {})});
}

struct Bench {
    Win32Registry registry;
    Win32Files files;
    MemoryServices services;
    MemoryEnvironment environment;
    MemoryFiles programs;  // no program runs: the services are not the system's
    MemoryProcesses processes{programs, services, environment.systemFolder()};
    MemoryAccounts accounts;
    MemoryClock clock;
    MemoryEventLog events;
    Win32Network network;
    MemoryCommandLock commandLock;
    Platform platform{registry, processes, files, services, environment, accounts, clock, events, network, commandLock};
    testing::RecordingFrontEnd frontEnd;
    DebugLog debugLog{files};
    Program program{platform, frontEnd, debugLog, SetterChecks::OnceStored};
    Session& session = program.session;
    Editing& editing = program.editing;
    ConfigurationStore& store = program.store;
    std::vector<std::string> stored;

    Bench() {
        environment.variables["JAVA_HOME"] = "C:\\jdk";
        // A folder that a check finds missing is not made for it.
        for (QuestionKind kind :
             {QuestionKind::CreateMissingFolder, QuestionKind::MoveWithHome, QuestionKind::MoveWithBase})
            frontEnd.answers[kind] = Answer::No;
    }

    // Stored with the writes of a save, without the session around them.
    void storeUpTo(std::size_t count) {
        session.newConfiguration();
        Configuration c = session.configuration();
        while (stored.size() < count) {
            c.serviceName = numbered("cfg", static_cast<int>(stored.size()));
            (void)store.save(c, false, {});
            stored.push_back(c.serviceName);
        }
    }

    // The registry calls of one save made directly: the list read, every
    // value written, the list written with the name last.
    void directSave(const Configuration& c) {
        const auto names = storedList(registry.read(kLocalMachine, store::kStoreKey, store::kListValue));
        (void)registry.write(kLocalMachine, store::configurationKey(c.serviceName), storeWrites(c, false, {}));
        (void)registry.write(kLocalMachine, store::kStoreKey,
                             {RegistryWrite::listValue(store::kListValue, NameList(names).withLast(c.serviceName))});
    }

    struct Figures {
        double save, load, direct;
    };

    Figures measureAt(std::size_t count) {
        storeUpTo(count);
        session.newConfiguration();
        editing.edit(Field::ServiceName, "bench");
        std::vector<double> save, load, direct;
        for (int i = 0; i < 15; ++i) {
            save.push_back(millisecondsOf([&] { session.save(); }));
            load.push_back(millisecondsOf([&] { session.open("bench"); }));
            direct.push_back(millisecondsOf([&] { directSave(session.configuration()); }));
        }
        (void)store.remove("bench");
        return {median(save), median(load), median(direct)};
    }

    double reportWithOptions(int options) {
        session.newConfiguration();
        editing.edit(Field::ServiceName, "bench");
        std::vector<std::string> list;
        for (int i = 0; i < options; ++i) list.push_back("-Dbench.option" + std::to_string(i) + "=value");
        editing.replaceList(Field::AdditionalOptions, list);
        // Written to the temporary folder, not beside the program.
        const std::string report = Win32Environment().variable("TEMP") + "\\velmora-bench-report.html";
        std::vector<double> runs;
        for (int i = 0; i < 15; ++i)
            runs.push_back(millisecondsOf([&] { session.checkConfiguration(ReportOpening::Never, report); }));
        (void)files.deleteFile(report);
        return median(runs);
    }

    // Export of every stored configuration, then, with the store emptied,
    // import of the document: the path File > Export/Import and the command line take.
    void transferEverything() {
        ConfigurationTransfer transfer(store, files, environment);
        ConfigurationTransfer::Result exported, imported;
        const double exportMs = millisecondsOf([&] { exported = transfer.exportAll(); });
        clearStore(registry, exported.names);
        const double importMs = millisecondsOf([&] { imported = transfer.importDocument(exported.document, false); });
        const bool complete = imported.error.empty() && imported.names == exported.names;
        std::printf(
            "transfer: export of %zu configurations %.0f ms, import %.0f ms%s (target under 2000 ms each: %s)\n",
            exported.names.size(), exportMs, importMs, complete ? "" : " INCOMPLETE",
            verdict(exportMs < 2000 && importMs < 2000 && complete));
        clearStore(registry, exported.names);
        stored.clear();
    }

    // velmora-cli apply of a document whose configurations are all stored as
    // it gives them already: the second run, document read and decoded included.
    void applyUnchanged(int count) {
        session.newConfiguration();
        const std::string document = encodeConfigurations(copiesOf(session.configuration(), "apply", count));
        DesiredState desired(program);
        std::vector<std::string> names;
        for (const auto& entry : decodeConfigurations(document, DocumentUse::Apply).entries) {
            (void)desired.bringTo(entry, {}, false);
            names.push_back(entry.values.serviceName);
        }
        const std::size_t runsBefore = processes.ran.size();
        int changed = 0;
        const double ms = millisecondsOf([&] {
            for (const auto& entry : decodeConfigurations(document, DocumentUse::Apply).entries)
                changed += desired.bringTo(entry, {}, false).changed ? 1 : 0;
        });
        const std::size_t started = processes.ran.size() - runsBefore;
        std::printf(
            "apply: %d configurations already in their state %.0f ms, %d changed, %zu programs started "
            "(target under 2000 ms and none: %s)\n",
            count, ms, changed, started, verdict(ms < 2000 && started == 0 && changed == 0));
        clearStore(registry, names);
    }

    // velmora-cli logs --prune of a base whose logs folder holds that many of
    // Tomcat's dated files, 1 KB each, half of them beyond a size bound: the
    // listing, the sorting and the deleting, on the real files.
    void pruneLogs(int count) {
        session.newConfiguration();
        Configuration c = session.configuration();
        c.serviceName = "benchlogs";
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        c.catalinaBase = narrow(temp) + "velmora-bench-logs";
        c.systemOut = c.systemErr = c.catalinaBase + "\\logs";
        (void)files.createFolders(c.systemOut);
        for (const auto& left : files.listFiles(c.systemOut, "*")) (void)files.deleteFile(left.path);
        const std::string kilobyte(1024, 'x');
        for (int i = 0; i < count; ++i)
            (void)files.writeText(c.systemOut + "\\catalina." +
                                      isoUtcText(clock.now() - FileTime(i) * kTicksPerDay).substr(0, 10) + ".log",
                                  kilobyte);
        c.logsMaxMb = static_cast<std::uint16_t>(count / 2048);
        PruneRun run;
        const double ms = millisecondsOf([&] { run = program.logs.prune(c, false); });
        const std::size_t left = files.listFiles(c.systemOut, "*").size();
        std::printf("logs --prune: %d files, %zu deleted, %zu left, %.0f ms (target under 2000 ms: %s)\n", count,
                    run.deleted.size(), left, ms,
                    verdict(ms < 2000 && left + run.deleted.size() == std::size_t(count)));
        for (const auto& file : files.listFiles(c.systemOut, "*")) (void)files.deleteFile(file.path);
    }

    struct Transferred {
        double importMs = -1, exportMs = -1;
    };

    // Import of that many configurations into an empty store, then the
    // export of them all; a time < 0 when not all came through.
    static Transferred transferAt(Registry& target, Files& files, const Configuration& c, int count, bool exportToo) {
        ConfigurationStore targetStore(target);
        Win32Environment environment;
        ConfigurationTransfer transfer(targetStore, files, environment);
        const std::string document = encodeConfigurations(copiesOf(c, "imp", count));
        ConfigurationTransfer::Result imported, exported;
        Transferred ms;
        ms.importMs = millisecondsOf([&] { imported = transfer.importDocument(document, false); });
        if (!imported.error.empty()) std::printf("import: %s\n", imported.error.c_str());
        if (!imported.error.empty() || imported.names.size() != static_cast<std::size_t>(count) ||
            targetStore.names().size() != static_cast<std::size_t>(count))
            ms.importMs = -1;
        if (exportToo) {
            ms.exportMs = millisecondsOf([&] { exported = transfer.exportAll(); });
            if (exported.names.size() != static_cast<std::size_t>(count)) ms.exportMs = -1;
        }
        return ms;
    }

    // One configuration with 100,000 additional options, imported into the real registry.
    void importManyOptions() {
        session.newConfiguration();
        Configuration c = session.configuration();
        c.serviceName = "benchoptions";
        for (int i = 0; i < 100000; ++i) c.additionalJvmOptions.push_back("-Dbench.option" + std::to_string(i) + "=x");
        const std::string document = encodeConfigurations({c});
        ConfigurationTransfer transfer(store, files, environment);
        ConfigurationTransfer::Result imported;
        const double ms = millisecondsOf([&] { imported = transfer.importDocument(document, true); });
        const bool complete =
            imported.error.empty() && store.read("benchoptions").values.additionalJvmOptions.size() == 100000;
        std::printf("import of one configuration with 100,000 options: %.0f ms%s (target under 2000 ms: %s)\n", ms,
                    complete ? "" : " INCOMPLETE", verdict(complete && ms < 2000));
        (void)store.remove("benchoptions");
    }

    void importAtScale() {
        session.newConfiguration();
        const Configuration c = session.configuration();
        std::vector<int> counts{1000, 10000, 100000};
        std::vector<double> ms, exportMs;
        for (int count : counts) {
            MemoryRegistry memory;  // a fresh, empty store for each
            MemoryFiles noFiles;
            // Export is looked at up to 10,000: enough to tell its growth.
            const Transferred t = transferAt(memory, noFiles, c, count, count <= 10000);
            ms.push_back(t.importMs);
            exportMs.push_back(t.exportMs);
        }
        const bool complete = ms[0] > 0 && ms[1] > 0 && ms[2] > 0;
        // Per configuration, from 10,000 to 100,000: flat when linear, ten
        // times when quadratic; a sorted map's lookups add their logarithm
        // (about 1.25x here) and the memory of 100,000 costs its own.
        const double growth = (ms[2] / counts[2]) / (ms[1] / counts[1]);
        std::printf(
            "import, in-memory registry: 1,000 in %.0f ms, 10,000 in %.0f ms, 100,000 in %.0f ms%s "
            "(target 100,000 under 60000 ms: %s)\n",
            ms[0], ms[1], ms[2], complete ? "" : " INCOMPLETE", verdict(complete && ms[2] < 60000));
        std::printf(
            "import, in-memory registry: per configuration %.1f us at 10,000, %.1f us at 100,000, %.2fx "
            "(target at most 2x, linear: %s)\n",
            1000 * ms[1] / counts[1], 1000 * ms[2] / counts[2], growth, verdict(complete && growth <= 2));
        std::printf(
            "export, in-memory registry: 1,000 in %.0f ms, 10,000 in %.0f ms: per configuration %.2fx from "
            "1,000 to 10,000\n",
            exportMs[0], exportMs[1], (exportMs[1] / counts[1]) / (exportMs[0] / counts[0]));

        const int real = 10000;
        const double realMs = transferAt(registry, files, c, real, false).importMs;
        std::vector<std::string> names;
        for (int i = 0; i < real; ++i) names.push_back(numbered("imp", i));
        const double clearMs = millisecondsOf([&] { clearStore(registry, names); });
        std::printf(
            "import, Win32 registry under Wine: 10,000 in %.0f ms%s, %.1f us per configuration "
            "(%.1fx the in-memory figure at 10,000); deleting them again %.0f ms\n",
            realMs, realMs > 0 ? "" : " INCOMPLETE", 1000 * realMs / real, realMs / ms[1], clearMs);
    }
};

}  // namespace

int main() {
    Bench bench;
    // Whatever an earlier, interrupted run left.
    clearStore(bench.registry, bench.store.names());
    const auto small = bench.measureAt(100);
    const auto large = bench.measureAt(1000);
    const double growth = large.save / small.save;
    std::printf("store, 100 stored: save %.2f ms, load %.2f ms, the save's registry calls directly %.2f ms\n",
                small.save, small.load, small.direct);
    std::printf("store, 1000 stored: save %.2f ms, load %.2f ms, the save's registry calls directly %.2f ms\n",
                large.save, large.load, large.direct);
    std::printf(
        "store: save cost grows %.2fx from 100 to 1000 stored (target at most 10x, linear: %s); "
        "save at 1000 under 50 ms: %s\n",
        growth, verdict(growth <= 10), verdict(large.save < 50));
    std::printf("report: the check with 100 additional options %.2f ms\n", bench.reportWithOptions(100));
    (void)bench.store.remove("bench");
    bench.transferEverything();
    bench.applyUnchanged(100);
    bench.pruneLogs(10000);
    bench.importAtScale();
    bench.importManyOptions();
    if (!bench.frontEnd.asked.empty() || !bench.frontEnd.warnings.empty())
        std::printf("store: note: %zu questions and %zu warnings came up on the way\n", bench.frontEnd.asked.size(),
                    bench.frontEnd.warnings.size());
    clearStore(bench.registry, bench.store.names());
    return 0;
}
