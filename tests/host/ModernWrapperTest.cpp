#include <gtest/gtest.h>

#include "service/ModernWrapperCommands.h"

using namespace velmora;

TEST(ModernWrapperCommands, InstallCommandQuotesPathsAndListEntriesAndLeavesOutEmptySizes) {
    Configuration c;
    c.serviceName = "web1";
    c.description = "Shop \"front\"";
    c.catalinaHome = "C:\\Program Files\\tc";
    c.catalinaBase = "C:\\base";
    c.tempDirectory = "C:\\base\\temp";
    c.classPath = "C:\\Program Files\\tc\\bin\\bootstrap.jar;C:\\Program Files\\tc\\bin\\tomcat-juli.jar";
    c.systemOut = "C:\\out dir";
    c.systemErr = "C:\\err";
    c.reduceOsSignals = 1;
    c.maxHeapSize = "512";
    c.threadStackSize = "abc";
    c.additionalJvmOptions = {"-Da=x#y", "", "-Db=p;q"};
    const std::string wrapper = "C:\\Program Files\\tc\\bin\\tomcat10.exe";

    const std::string command = modernInstallCommand(c, wrapper, "C:\\jdk 21\\bin\\server\\jvm.dll");
    EXPECT_EQ(command.rfind("\"C:\\Program Files\\tc\\bin\\tomcat10.exe\" //IS//web1 --DisplayName \"web1\" "
                            "--Description \"Shop \\\"front\\\"\" --Install \"C:\\Program Files\\tc\\bin\\tomcat10.exe\" "
                            "--LogPath \"C:\\base\\logs\" --Jvm \"C:\\jdk 21\\bin\\server\\jvm.dll\" "
                            "--StartPath \"C:\\Program Files\\tc\" --StopPath \"C:\\Program Files\\tc\" "
                            "--Classpath \"C:\\Program Files\\tc\\bin\\bootstrap.jar;C:\\Program Files\\tc\\bin\\tomcat-juli.jar\" "
                            "--StartClass org.apache.catalina.startup.Bootstrap --StopClass org.apache.catalina.startup.Bootstrap "
                            "--StartParams start --StopParams stop --StartMode jvm --StopMode jvm ",
                            0),
              0u) << command;
    EXPECT_NE(command.find(" --JvmOptions \"-Dcatalina.home=C:\\Program Files\\tc#-Dcatalina.base=C:\\base#"
                           "-Djava.io.tmpdir=C:\\base\\temp#"
                           "-Djava.util.logging.manager=org.apache.juli.ClassLoaderLogManager#"
                           "-Djava.util.logging.config.file=C:\\base\\conf\\logging.properties#-Xrs#"
                           "'-Da=x#y'#'-Db=p;q'\" --JvmOptions9 \"--add-opens=java.base/java.lang=ALL-UNNAMED#"),
              std::string::npos) << command;
    // Only the max heap is given; the stack size is no number.
    EXPECT_NE(command.find("=ALL-UNNAMED\" --JvmMx 512 --StdOutput \"C:\\out dir\\web1_out.log\" "
                           "--StdError \"C:\\err\\web1_err.log\""),
              std::string::npos) << command;
    EXPECT_EQ(command.find("--JvmMs") + command.find("--JvmSs"), 2 * std::string::npos);

    c.useSecurityManager = 1;
    c.securityPolicyFile = "C:\\p.policy";
    c.initialHeapSize = " 64";
    const auto options = modernJvmOptions(c);
    EXPECT_EQ(options[5] + " " + options[6] + " " + options[7], "-Djava.security.manager -Djava.security.policy=C:\\p.policy -Xrs");
    EXPECT_NE(modernInstallCommand(c, wrapper, "j").find("--JvmMs 64 --JvmMx 512 --Std"), std::string::npos);
    EXPECT_EQ(quoteArgument("C:\\dir\\") + quoteArgument(""), "\"C:\\dir\\\\\"\"\"");
    EXPECT_EQ(modernUninstallCommand("web1", wrapper), "\"C:\\Program Files\\tc\\bin\\tomcat10.exe\" //DS//web1");
}
