#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "WrapperTestSupport.h"

using namespace velmora::wrapper_test;

namespace {

const std::string serviceName = "VelmoraWrapperTest";
const std::string serviceKey = "SYSTEM\\CurrentControlSet\\Services\\" + serviceName;
const std::string parametersKey = serviceKey + "\\Parameters";
const std::string jvmLibrary = "C:\\Program Files\\Java\\jre\\bin\\server\\jvm.dll";
const std::string bootstrap = "org.apache.catalina.startup.BootstrapService";
const std::vector<std::string> jvmOptions{
    "-Dcatalina.home=C:\\Program Files\\Tomcat", "-Dcatalina.base=C:\\Program Files\\Tomcat",
    "-Djava.io.tmpdir=C:\\Program Files\\Tomcat\\temp", "-Djava.endorsed.dirs=C:\\Program Files\\Tomcat\\common\\endorsed",
    "-Djava.class.path=C:\\Program Files\\Java\\lib\\tools.jar;C:\\Program Files\\Tomcat\\bin\\bootstrap.jar",
    "-Djava.home=C:\\Program Files\\Java\\jre", "-Xrs"};

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

// Written the way the installer writes them after -install.
void writeWrapperParameters(const std::string& outFile, const std::string& errFile) {
    setString(parametersKey, "Start Class", bootstrap);
    setString(parametersKey, "Start Method", "main");
    setDword(parametersKey, "Start Param Count", 3);
    setString(parametersKey, "Start Param Number 0", "start");
    setString(parametersKey, "Start Param Number 1", "-config");
    setString(parametersKey, "Start Param Number 2", "C:\\Program Files\\Tomcat\\conf\\server.xml");
    setDword(parametersKey, "Stop Param Count", 1);
    setString(parametersKey, "Stop Method", "main");
    setString(parametersKey, "Stop Class", bootstrap);
    setString(parametersKey, "Stop Param Number 0", "stop");
    setString(parametersKey, "System.out File", outFile);
    setString(parametersKey, "System.err File", errFile);
    for (std::size_t n = 0; n < jvmOptions.size(); ++n)
        setString(parametersKey, "JVM Option Number " + std::to_string(n), jvmOptions[n]);
    // Beyond the count: a wrapper that reads until a gap would show it.
    setString(parametersKey, "JVM Option Number " + std::to_string(jvmOptions.size()), "-Dstale=1");
    setDword(parametersKey, "JVM Option Count", static_cast<DWORD>(jvmOptions.size()));
}

std::vector<std::string> startAccount(const std::string& outFile, const std::string& errFile) {
    std::vector<std::string> lines{"service: " + serviceName, "library: " + jvmLibrary};
    for (std::size_t n = 0; n < jvmOptions.size(); ++n)
        lines.push_back("option " + std::to_string(n) + ": " + jvmOptions[n]);
    lines.push_back("System.out: " + outFile);
    lines.push_back("System.err: " + errFile);
    lines.push_back("start: " + bootstrap + ".main(start -config C:\\Program Files\\Tomcat\\conf\\server.xml)");
    return lines;
}

std::vector<std::string> withStopLine(std::vector<std::string> lines) {
    lines.push_back("stop: " + bootstrap + ".main(stop)");
    return lines;
}

class WrapperServiceCycle : public ::testing::Test {
protected:
    void SetUp() override {
        removeServiceIfPresent(serviceName);
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        // A blank in the folder, as under "C:\Program Files".
        folder = std::string(temp) + "velmora wrapper " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        copy = folder + "\\" + serviceName + ".exe";
        ASSERT_TRUE(CopyFileA(wrapper.c_str(), copy.c_str(), FALSE)) << wrapper;
    }

    void TearDown() override {
        removeServiceIfPresent(serviceName);
        for (const auto& file : {copy, outFile(), errFile()}) {
            // The service process may still be letting go of its executable.
            for (int attempt = 0; attempt < 100 && !DeleteFileA(file.c_str()) &&
                                  GetLastError() != ERROR_FILE_NOT_FOUND;
                 ++attempt)
                Sleep(100);
        }
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << folder;
    }

    const std::string wrapper = fullPath(VELMORA_WRAPPER_EXE);
    std::string folder;
    std::string copy;
    std::string outFile() const { return folder + "\\" + serviceName + "_out.log"; }
    std::string errFile() const { return folder + "\\" + serviceName + "_err.log"; }
};

}  // namespace

TEST_F(WrapperServiceCycle, InstallsRunsStopsAndRemovesAServiceThroughTheServiceManager) {
    // Nothing quoted, as the installer runs it.
    const std::string install = copy + " -install " + serviceName + " " + jvmLibrary + " -start main";
    ASSERT_EQ(runAndWait(install), 0u);
    EXPECT_EQ(runAndWait(install), static_cast<DWORD>(ERROR_SERVICE_EXISTS));

    auto config = serviceConfig(serviceName);
    ASSERT_TRUE(config.has_value());
    EXPECT_EQ(config->binaryPath, "\"" + copy + "\" -service " + serviceName);
    EXPECT_EQ(config->startType, static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(config->serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(queryString(parametersKey, "JVM Library"), jvmLibrary);

    // What net start and net stop wait for differs between Windows and Wine;
    // the account and the state are complete when either returns.
    writeWrapperParameters(outFile(), errFile());
    ASSERT_EQ(runAndWait("net start " + serviceName), 0u);
    EXPECT_EQ(serviceState(serviceName), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(readLines(outFile()), startAccount(outFile(), errFile()));
    {
        ServiceProcess process(serviceName);
        ASSERT_TRUE(process.found());
        ASSERT_EQ(runAndWait("net stop " + serviceName), 0u);
        EXPECT_EQ(serviceState(serviceName), static_cast<DWORD>(SERVICE_STOPPED));
        EXPECT_EQ(readLines(outFile()), withStopLine(startAccount(outFile(), errFile())));
        // Until it is gone, Wine refuses to start the service again.
        EXPECT_TRUE(process.endsWithin(10000));
    }

    // An out file that cannot be opened sends the account to the err file,
    // which is replaced, not appended to.
    const std::string unwritable = folder + "\\missing\\out.log";
    setString(parametersKey, "System.out File", unwritable);
    std::string earlierRun;
    for (int line = 0; line < 100; ++line) earlierRun += "left from an earlier run\r\n";
    writeText(errFile(), earlierRun);
    ASSERT_EQ(runAndWait("net start " + serviceName), 0u);
    EXPECT_EQ(readLines(errFile()), startAccount(unwritable, errFile()));

    // -uninstall stops the running service first, and its process lets go of
    // the executable before -uninstall returns.
    ASSERT_EQ(runAndWait(copy + " -uninstall " + serviceName), 0u);
    EXPECT_EQ(readLines(errFile()), withStopLine(startAccount(unwritable, errFile())));
    EXPECT_EQ(openServiceError(serviceName), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_FALSE(keyExists(serviceKey));
    EXPECT_EQ(runAndWait(copy + " -uninstall " + serviceName), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_TRUE(DeleteFileA(copy.c_str())) << GetLastError();
}

TEST_F(WrapperServiceCycle, RefusesBadCommandLinesAndADirectServiceStart) {
    EXPECT_EQ(runAndWait(copy), 2u);
    EXPECT_EQ(runAndWait(copy + " -install " + serviceName + " " + jvmLibrary), 2u);
    EXPECT_EQ(openServiceError(serviceName), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_EQ(runAndWait(copy + " -service " + serviceName),
              static_cast<DWORD>(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT));
}
