// bench_store: saving and loading one configuration while many others are
// stored, against the same registry calls made directly; and the report for
// a configuration with 100 additional options. External commands of the
// save (net stop, the wrapper) are left out: they cost what the programs cost.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "config/ConfigurationTransfer.h"
#include "config/DoConfig.h"
#include "config/Encodings.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Platform.h"
#include "support/RecordingWindow.h"

using namespace velmora;
using namespace velmora::bench;

namespace {

const std::string kStore = "SOFTWARE\\velmoraconfigs";

struct Bench {
    Win32Registry registry;
    Win32Files files;
    MemoryServices services;
    MemoryEnvironment environment;
    MemoryFiles programs;  // no program runs: the services are not the system's
    MemoryProcesses processes{programs, services, environment.systemFolder()};
    MemoryMessageBoxes boxes;
    Platform platform{registry, processes, files, services, environment, boxes};
    testing::RecordingWindow window;
    DoConfig dc{platform, window};
    int stored = 0;

    void storeUpTo(int count) {
        for (; stored < count; ++stored) {
            dc.newConfiguration();
            dc.setServiceName("cfg" + std::to_string(stored));
            dc.saveConfiguration(false);
        }
    }

    // The registry calls of one save, made without the program around them.
    void directSave(const Configuration& c) {
        const std::string key = kStore + "\\" + c.serviceName;
        const RootKey hklm = HKEY_LOCAL_MACHINE_ROOT;
        registry.setDwordValue(hklm, key, "installedaservice", 0);
        registry.deleteKey(hklm, "SYSTEM\\CurrentControlSet\\Services\\" + c.serviceName);
        auto names = decodeMultiString(registry.queryStringValue(hklm, kStore, "services").value_or(""));
        std::erase(names, c.serviceName);
        registry.setMultiStringValue(hklm, kStore, "services", encodeMultiString(names));
        registry.deleteKey(hklm, key);
        registry.createKey(hklm, key);
        for (const char* name : {"tomcat.home", "system.out", "system.err", "tomcat.config", "catalina.base"})
            registry.setStringValue(hklm, key, name, c.catalinaHome);
        registry.setDwordValue(hklm, key, "java.security.manager", 0);
        for (const char* name : {"java.security.policy", "jvm", "java.home", "java.class.path", "java.io.tmpdir"})
            registry.setStringValue(hklm, key, name, c.classPath);
        registry.setDwordValue(hklm, key, "init.heap.size", 0);
        registry.setDwordValue(hklm, key, "max.heap.size", 0);
        registry.setStringValue(hklm, key, "description", c.description);
        registry.setDwordValue(hklm, key, "reduce.os.signals", 1);
        registry.setDwordValue(hklm, key, "thread.stack.size", 0);
        names = decodeMultiString(registry.queryStringValue(hklm, kStore, "services").value_or(""));
        names.push_back(c.serviceName);
        registry.setMultiStringValue(hklm, kStore, "services", encodeMultiString(names));
        registry.setDwordValue(hklm, key, "installedaservice", 0);
        registry.setMultiStringValue(hklm, key, "additional.jvm.options", "");
    }

    struct Figures {
        double save, load, direct;
    };

    Figures measureAt(int count) {
        storeUpTo(count);
        dc.newConfiguration();
        dc.setServiceName("bench");
        std::vector<double> save, load, direct;
        for (int i = 0; i < 15; ++i) {
            save.push_back(millisecondsOf([&] { dc.saveConfiguration(false); }));
            load.push_back(millisecondsOf([&] { dc.loadConfiguration("bench"); }));
            direct.push_back(millisecondsOf([&] { directSave(dc.configuration()); }));
        }
        return {median(save), median(load), median(direct)};
    }

    double reportWithOptions(int options) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        environment.folder = std::string(temp) + "velmora-bench";
        CreateDirectoryA(environment.folder.c_str(), nullptr);
        dc.newConfiguration();
        dc.setServiceName("bench");
        window.clearList1();
        for (int i = 0; i < options; ++i) window.addToList1("-Dbench.option" + std::to_string(i) + "=value");
        dc.collectJvmOptions();
        std::vector<double> runs;
        for (int i = 0; i < 15; ++i) runs.push_back(millisecondsOf([&] { dc.writeDiagnosticReport(ReportMode::OnProblems); }));
        DeleteFileA(dc.reportFilePath().c_str());
        RemoveDirectoryA(environment.folder.c_str());
        return median(runs);
    }

    // Export of every stored configuration, then, with the store emptied,
    // import of the document: the path File > Export/Import and the command line take.
    void transferEverything() {
        ConfigurationTransfer transfer(registry, TextConversion{ansiToUtf8, utf8ToAnsi});
        ConfigurationTransfer::Result exported, imported;
        const double exportMs = millisecondsOf([&] { exported = transfer.exportAll(); });
        for (const auto& name : exported.names) registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, kStore + "\\" + name);
        registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, kStore, "services", "");
        const double importMs = millisecondsOf([&] { imported = transfer.importDocument(exported.document, false); });
        const bool complete = imported.error.empty() && imported.names == exported.names;
        std::printf("transfer: export of %zu configurations %.0f ms, import %.0f ms%s (target under 2000 ms each: %s)\n",
                    exported.names.size(), exportMs, importMs, complete ? "" : " INCOMPLETE",
                    exportMs < 2000 && importMs < 2000 && complete ? "holds" : "missed");
    }
};

}  // namespace

int main() {
    Bench bench;
    const auto small = bench.measureAt(100);
    const auto large = bench.measureAt(1000);
    const double growth = large.save / small.save;
    std::printf("store, 100 stored: save %.2f ms, load %.2f ms, same registry calls directly %.2f ms\n", small.save,
                small.load, small.direct);
    std::printf("store, 1000 stored: save %.2f ms, load %.2f ms, same registry calls directly %.2f ms\n", large.save,
                large.load, large.direct);
    std::printf("store: save cost grows %.2fx from 100 to 1000 stored (target at most 10x, linear: %s); "
                "save at 1000 under 50 ms: %s\n",
                growth, growth <= 10 ? "holds" : "missed", large.save < 50 ? "holds" : "missed");
    std::printf("report: writeDiagnosticReport with 100 additional options %.2f ms\n", bench.reportWithOptions(100));
    bench.dc.setServiceName("bench");
    bench.dc.deleteConfiguration(true);
    bench.transferEverything();
    for (int i = 0; i < bench.stored; ++i) {
        bench.dc.setServiceName("cfg" + std::to_string(i));
        bench.dc.deleteConfiguration(true);
    }
    bench.dc.setServiceName("bench");
    bench.dc.deleteConfiguration(true);
    return 0;
}
