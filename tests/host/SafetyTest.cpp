// Harms through a save, a delete or an install, each with what must hold instead.
#include "checks/Rights.h"
#include "config/Encodings.h"
#include "config/StoreLayout.h"
#include "platform/WindowsPaths.h"
#include "service/ServiceNames.h"
#include "support/Fixture.h"

using namespace velmora;
using namespace velmora::testing;

const std::string kTomcatTen = "\"C:\\tomcat10\\bin\\tomcat10.exe\" //RS//TC10";

TEST_F(SessionTest, AServiceVelmoraDidNotInstallIsNeverStoppedRemovedOrRun) {
    useModernLayout();
    // Tomcat's own installer made TC10, running, with the line Velmora would write.
    os.services.services["TC10"] = {kTomcatTen, true, {}};
    // A copy of the classic wrapper that another service runs.
    os.files.addFile("C:\\tomcat\\bin\\shop.exe", "the classic wrapper");
    os.services.services["ShopSvc"] = {"\"C:\\tomcat\\bin\\shop.exe\" -service ShopSvc", true, {}};
    // A service with a program of the configuration's name and its own arguments.
    os.services.services["Foo"] = {"\"C:/TOMCAT/bin/foo.EXE\" -run-my-own-service", true, {}};
    os.files.addFile("C:\\tomcat\\bin\\Foo.exe", "the classic wrapper");

    saveNew("TC10");
    useHome("C:\\tomcat", "C:\\jdk");
    saveNew("shop");
    editing.edit(Field::Description, "new");
    EXPECT_TRUE(session.save().done());
    saveNew("Foo");
    session.remove();
    saveNew("shop");
    session.remove();

    EXPECT_TRUE(os.processes.ran.empty()) << os.processes.ran.front();
    EXPECT_TRUE(os.services.services["TC10"].started);
    EXPECT_TRUE(os.services.services["Foo"].started);
    EXPECT_EQ(os.files.deleteAttempts.size(), 0u);  // neither shop.exe nor Foo.exe

    // Installing over them is refused, saying whose the service or the file is.
    session.open("TC10");
    EXPECT_EQ(session.install().summary,
              "A service named \"TC10\" already exists on this computer and was not installed by Velmora "
              "for this configuration (it runs " +
                  kTomcatTen + "). Nothing was changed.");
    saveNew("shop");
    EXPECT_EQ(session.install().summary,
              "The file C:\\tomcat\\bin\\shop.exe is not a copy of C:\\tomcat\\bin\\tomcat.exe "
              "made by Velmora, so Velmora neither runs, replaces nor deletes it. Nothing was "
              "changed.");
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_EQ(storedNumber("shop", store::kInstalled), 0u);
    // apply's check foresees the install's refusal in the run's words.
    ASSERT_EQ(runCli(os, {"export", "TC10", "--out", "C:\\tc10.json"}).code, 0);
    os.files.files["C:\\tc10.json"].replace(os.files.files["C:\\tc10.json"].find("\"name\""), 0,
                                            "\"state\": \"installed\", ");
    for (const char* check : {"--check", "--yes"}) {
        const CliRun r = runCli(os, {"apply", "C:\\tc10.json", check});
        const bool checked = check == std::string("--check");
        EXPECT_EQ(r.out, std::string("TC10: FAILED; ") + (checked ? "would install" : "install") +
                             "\n  A service named \"TC10\" already exists on this computer and was not installed by "
                             "Velmora for this configuration (it runs " +
                             kTomcatTen + "). Nothing was changed.\n1 configuration(s): 0 " +
                             (checked ? "would change" : "changed") + ", 0 unchanged, 1 failed.\n")
            << r.err;
        EXPECT_EQ(r.code, 1);
    }
    EXPECT_TRUE(os.processes.ran.empty());

    // Where the service manager cannot be asked, nothing is taken for absent.
    os.services.lookupFailure = Failure{"OpenSCManagerW", "Access is denied.", 5};
    saveNew("svc");
    EXPECT_EQ(session.install().summary,
              "The service manager could not be asked about the service \"svc\": Access is denied. Nothing was "
              "changed.");
    EXPECT_TRUE(os.processes.ran.empty());

    // One that another program registers just before the wrapper runs is not taken for the one it makes.
    os.services.lookupFailure.reset();
    saveNew("late");
    os.processes.onRun = [this, wrappers = os.processes.onRun](const std::string& command) {
        if (command.find(" -install late ") != std::string::npos)
            os.services.services["late"] = {"\"C:\\other\\late.exe\" -run", false, {}};
        wrappers(command);
    };
    EXPECT_EQ(session.install().summary,
              "The service wrapper did not register the service \"late\": a service of that name that runs another "
              "program (\"C:\\other\\late.exe\" -run) was registered meanwhile. Velmora left it as it is.");
    EXPECT_EQ(os.services.services["late"].binaryPath, "\"C:\\other\\late.exe\" -run");
    EXPECT_FALSE(os.registry.read(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\late", "VelmoraInstallMark"));
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\late.exe"));
    EXPECT_EQ(storedNumber("late", store::kInstalled), 0u);

    // Nor one that Tomcat's own script registers, with the very line the wrapper writes, while a question waits.
    useModernLayout();
    os.accounts.guarded.insert("C:\\tomcat10\\logs");
    saveNew("race");
    const std::string scripts = "\"C:\\tomcat10\\bin\\tomcat10.exe\" //RS//race";
    ui.whileAsking = [&](const Question&) { os.services.services["race"] = {scripts, false, {}}; };
    os.processes.ran.clear();
    EXPECT_EQ(session.install().summary,
              "The service wrapper did not register the service \"race\": a service of that name that runs another "
              "program (" +
                  scripts + ") was registered meanwhile. Velmora left it as it is.");
    EXPECT_TRUE(os.processes.ran.empty()) << os.processes.ran.front();
    EXPECT_FALSE(os.registry.read(kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\race", "VelmoraInstallMark"));
    EXPECT_TRUE(serviceExists("race"));
    EXPECT_EQ(storedNumber("race", store::kInstalled), 0u);
}

TEST_F(SessionTest, OnlyWhatThisStoreRecordedIsOurs) {
    installNew("svc");
    EXPECT_EQ(stored("svc", store::kInstalledProgramLine), "\"C:\\tomcat\\bin\\svc.exe\" -service svc");
    const std::string mark = stored("svc", store::kInstalledMark);
    EXPECT_EQ(mark.substr(0, 8), "velmora-");
    EXPECT_EQ(storedText(os.registry.read(kLocalMachine, serviceKey("svc"), kInstallMarkValue)).text, mark);
    EXPECT_EQ(stored("svc", store::kInstalledProgramDigest),
              "7719d38d11e7d6b26da875fcbd2a00c1edddb13c5bd92bbfb121fc26b430e57a");  // of "the classic wrapper"

    // The same line in another case is still ours: Windows compares paths so.
    os.services.services["svc"].binaryPath = "\"c:/TOMCAT/BIN/SVC.EXE\" -SERVICE SVC";
    EXPECT_TRUE(session.stop().done());

    // Someone else's mark, or another line: not ours any more. Nothing is stopped or removed.
    os.registry.write(kLocalMachine, serviceKey("svc"), {RegistryWrite::textValue(kInstallMarkValue, "forged")});
    os.processes.ran.clear();
    const Outcome removal = session.uninstall();
    EXPECT_TRUE(os.processes.ran.empty());
    EXPECT_TRUE(serviceExists("svc"));
    EXPECT_EQ(lastOf(ui.warnings),
              "The service \"svc\" is not the one Velmora installed for this configuration (it now "
              "runs \"c:/TOMCAT/BIN/SVC.EXE\" -SERVICE SVC), so Velmora neither stops, replaces nor "
              "removes it.");
    EXPECT_EQ(removal.summary,
              "The configuration \"svc\" is no longer marked as installed; its service was left as it is.");
    EXPECT_EQ(storedNumber("svc", store::kInstalled), 0u);
    EXPECT_TRUE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));
    // The wrapper copy it made stays known as its own: once that service is gone, an install uses it again.
    EXPECT_EQ(stored("svc", store::kInstalledProgramDigest),
              "7719d38d11e7d6b26da875fcbd2a00c1edddb13c5bd92bbfb121fc26b430e57a");
    os.services.services.erase("svc");
    EXPECT_TRUE(session.install().done());
    // Registered again by Tomcat's own script while the uninstall asked (the same line, no mark): left as it is.
    ASSERT_TRUE(session.start().done());
    ui.whileAsking = [&](const Question&) {
        const std::string line = os.services.services["svc"].binaryPath;
        os.services.services["svc"] = {line, true, {}};
        os.registry.deleteValue(kLocalMachine, serviceKey("svc"), kInstallMarkValue);
    };
    os.processes.ran.clear();
    const Outcome raced = session.uninstall();
    ui.whileAsking = nullptr;
    EXPECT_EQ(raced.result, Outcome::Result::Failed);
    EXPECT_EQ(raced.summary.rfind("The service \"svc\" is not the one Velmora installed for this configuration", 0), 0u)
        << raced.summary;
    EXPECT_TRUE(running("svc"));
    EXPECT_TRUE(os.processes.ran.empty());

    // A mark the registry refuses: nothing is recorded as installed, and the service it registered goes again.
    saveNew("mk");
    os.registry.readOnlyKeys.insert(serviceKey("mk"));
    const Outcome unmarked = session.install();
    EXPECT_EQ(unmarked.result, Outcome::Result::Failed);
    EXPECT_EQ(unmarked.summary,
              "The start-up values of the service \"mk\" could not be written to the registry: Access is denied. "
              "The service it had registered was removed again.");
    EXPECT_FALSE(serviceExists("mk"));
    EXPECT_EQ(storedNumber("mk", store::kInstalled), 0u);
    EXPECT_EQ(stored("mk", store::kInstalledMark), "");
}

TEST_F(SessionTest, AStoreEntryWithoutAUsableRecordNeverLetsVelmoraTouchTheServiceItNames) {
    // Tomcat's own script made TC10, running; an older store (or a restored backup) says installed, no record.
    useModernLayout();
    addTomcat("C:\\tomcat-11", "11.0.2");
    os.services.services["TC10"] = {kTomcatTen, true, {}};
    saveNew("TC10");
    put("TC10", {RegistryWrite::numberValue(store::kInstalled, 1)});
    os.processes.ran.clear();
    const std::string notOurs =
        "Warning: The configuration \"TC10\" is marked as installed but keeps no record of what Velmora installed (an "
        "older store or a restored backup), so the service \"TC10\" (it runs " +
        kTomcatTen +
        ") is not taken for Velmora's: Velmora neither stops, changes nor removes it. Nothing was changed. To manage "
        "it with Velmora, take it over on purpose: velmora-cli adopt TC10 --replace (File > Adopt... in the window). "
        "Deleting "
        "the configuration leaves the service as it is.\n";
    for (const auto& command :
         std::vector<std::vector<std::string>>{{"stop", "TC10"},
                                               {"start", "TC10"},
                                               {"uninstall", "TC10", "--yes"},
                                               {"set", "TC10", "max.heap.size=512", "--yes"},
                                               {"repoint", "TC10", "--jdk", "C:\\jdk-21"},
                                               {"upgrade", "TC10", "--home", "C:\\tomcat-11", "--check"}}) {
        const CliRun run = runCli(os, command);
        EXPECT_EQ(run.code, 3) << command[0] << ": " << run.out << run.err;
        EXPECT_NE(run.err.find(notOurs), std::string::npos) << command[0] << ": " << run.err;
    }
    EXPECT_TRUE(os.processes.ran.empty()) << lastOf(os.processes.ran);
    EXPECT_TRUE(os.services.services["TC10"].started);
    EXPECT_EQ(stored("TC10", store::kInstalledProgramLine), "");
    EXPECT_EQ(storedNumber("TC10", store::kMaxHeap), 0u);
    EXPECT_FALSE(os.registry.read(kLocalMachine, serviceKey("TC10"), kInstallMarkValue));

    // A record value that is not a plain text proves nothing: the line and the mark match, and still not ours.
    put("TC10", {RegistryWrite::textValue(store::kInstalledMark, "velmora-mark")});
    os.registry.setRaw(kLocalMachine, kStore + "\\TC10", store::kInstalledProgramLine, {kRegExpandSz, kTomcatTen, 0});
    os.registry.write(kLocalMachine, serviceKey("TC10"), {RegistryWrite::textValue(kInstallMarkValue, "velmora-mark")});
    EXPECT_EQ(runCli(os, {"stop", "TC10"}).code, 3);
    EXPECT_TRUE(os.services.services["TC10"].started);

    // Deleting the configuration takes it from the store and leaves the service as it is, asking nothing.
    const CliRun deleted = runCli(os, {"delete", "TC10"});
    EXPECT_EQ(deleted.code, 1) << deleted.err;
    EXPECT_EQ(deleted.out, "Configuration \"TC10\" deleted.\n");
    EXPECT_EQ(deleted.err,
              "Warning: The value \"installed.program.line\" of the configuration \"TC10\" is not a plain text "
              "(REG_SZ without NUL characters), so it opens empty. Save the configuration to store it afresh.\n"
              "Warning: The configuration \"TC10\" keeps no record of what Velmora installed (an older store or a "
              "restored backup), so the service \"TC10\" (it runs " +
                  kTomcatTen + ") is not taken for Velmora's and stays as it is.\nA warning came up.\n");
    EXPECT_TRUE(os.services.services["TC10"].started);
    EXPECT_EQ(storedList(), std::vector<std::string>{});
    EXPECT_TRUE(os.processes.ran.empty());

    // The classic road: a bin\leg.exe that is no copy of bin\tomcat.exe is never run as one.
    useHome("C:\\tomcat", "C:\\jdk");
    os.files.addFile("C:\\tomcat\\bin\\leg.exe", "another program");
    os.services.services["leg"] = {"\"C:\\tomcat\\bin\\leg.exe\" -service leg", true, {}};
    saveNew("leg");
    put("leg", {RegistryWrite::numberValue(store::kInstalled, 1)});
    EXPECT_EQ(runCli(os, {"uninstall", "leg", "--yes"}).code, 3);

    // Nor is a copy Velmora made, once it differs from what was recorded at install.
    installNew("svc");
    os.files.files["C:\\tomcat\\bin\\svc.exe"] = "the classic wrapper, changed";
    const CliRun changed = runCli(os, {"uninstall", "svc", "--yes"});
    EXPECT_EQ(changed.code, 3);
    EXPECT_EQ(changed.err,
              "Warning: The file C:\\tomcat\\bin\\svc.exe is no longer the copy of the service wrapper that Velmora "
              "made when it installed the service \"svc\" (it has changed or is gone), so Velmora does not run it to "
              "remove the service. Nothing was changed.\n");
    // Nor does it have the service manager run it: no start, no restart, no change that restarts it.
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"start", "svc"}, {"restart", "svc"}, {"set", "svc", "max.heap.size=512", "--yes"}}) {
        if (command[0] != "start") os.services.services["svc"].started = true;
        const CliRun run = runCli(os, command);
        EXPECT_EQ(run.code, 3) << command[0];
        EXPECT_EQ(run.err,
                  "Warning: The file C:\\tomcat\\bin\\svc.exe is no longer the copy of the service wrapper that "
                  "Velmora made when it installed the service \"svc\" (it has changed or is gone), so Velmora does not "
                  "start the service, which would run it. Nothing was changed.\n")
            << command[0];
    }
    // apply stops it first when asked to, so its check foresees no start of it for a change that needs one.
    ASSERT_EQ(runCli(os, {"export", "svc", "--out", "C:\\svc.json"}).code, 0);
    os.files.files["C:\\svc.json"].replace(os.files.files["C:\\svc.json"].find("\"name\""), 0,
                                           "\"state\": \"stopped\", ");
    EXPECT_EQ(runCli(os, {"apply", "C:\\svc.json", "--check", "--set", "max.heap.size=512"}).out,
              "svc: would change; values: max.heap.size; would stop, store, change the service in place (takes a "
              "restart)\n1 configuration(s): 1 would change, 0 unchanged, 0 failed.\n");
    EXPECT_EQ(os.processes.ran,
              std::vector<std::string>{
                  "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main"});
    EXPECT_EQ(os.files.files["C:\\tomcat\\bin\\svc.exe"], "the classic wrapper, changed");
    EXPECT_EQ(storedNumber("svc", store::kMaxHeap), 0u);
    EXPECT_TRUE(serviceExists("leg"));
    EXPECT_TRUE(serviceExists("svc"));
}

TEST_F(SessionTest, SavingAnInstalledConfigurationAsksFirstAndAHungWrapperIsEnded) {
    installNew("svc");
    os.services.services["svc"].started = true;
    session.refresh();
    // Another Catalina home takes another wrapper copy: the one change that reinstalls.
    addClassicLayout("C:\\tomcat2");
    os.files.folders.erase("C:\\tomcat2\\temp");
    ui.answers[QuestionKind::CreateMissingFolder] = Answer::No;
    ui.answers[QuestionKind::InstallDespiteProblems] = Answer::No;
    editing.edit(Field::CatalinaHome, "C:\\tomcat2");
    ui.forget();
    os.processes.ran.clear();

    const Outcome declined = session.save();
    EXPECT_EQ(declined.result, Outcome::Result::Declined);
    EXPECT_EQ(ui.askedKinds(),
              (std::vector<QuestionKind>{QuestionKind::RestartRunningService, QuestionKind::CreateMissingFolder,
                                         QuestionKind::InstallDespiteProblems}));
    EXPECT_EQ(os.processes.ran, std::vector<std::string>{"\"C:\\jdk\\bin\\java.exe\" -Xrs -version"});  // it only reads
    EXPECT_TRUE(os.processes.opened.empty());  // the window opens the report with its question; a console does not
    EXPECT_TRUE(os.services.services["svc"].started);

    // Yes to both: the service is removed through the wrapper its record names (the old home's copy) and installed
    // again from the new home, and restarted.
    ui.answers.clear();
    editing.edit(Field::Description, "second");
    const Outcome saved = session.save();
    EXPECT_TRUE(saved.done()) << saved.summary;
    EXPECT_EQ(saved.steps,
              std::vector<std::string>(
                  {"stop", "uninstall :C:\\tomcat\\bin\\svc.exe -uninstall svc", "delete the wrapper copy",
                   "mark not installed", "save", "copy the wrapper",
                   "install :C:\\tomcat2\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main",
                   "quote the program line", "write the wrapper's values", "apply the service settings",
                   "mark installed", "start"}));
    EXPECT_TRUE(os.services.services["svc"].started);
    EXPECT_EQ(stored("svc", "description"), "second");
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\svc.exe"));

    // Back to the first home, whose service registers but cannot take its wrapper's values: it is put back
    // on the second.
    os.registry.readOnlyKeys.insert("SYSTEM\\CurrentControlSet\\Services\\svc\\Parameters");
    const auto wrappers = os.processes.onRun;
    os.processes.onRun = [&](const std::string& command) {
        if (command.rfind("C:\\tomcat2\\bin\\svc.exe -install", 0) == 0) os.registry.readOnlyKeys.clear();
        wrappers(command);
    };
    editing.edit(Field::CatalinaHome, "C:\\tomcat");
    const std::string unwritten = session.save().summary;
    EXPECT_EQ(unwritten.substr(unwritten.find(" It was")),
              " It was rolled back: the service runs with the stored values as it did; the changes were not saved.")
        << unwritten;
    EXPECT_EQ(os.services.services["svc"].binaryPath, "\"C:\\tomcat2\\bin\\svc.exe\" -service svc");
    EXPECT_TRUE(os.services.services["svc"].started);
    os.processes.onRun = wrappers;

    // Back to the first home, whose wrapper hangs: the service is put back on the second and started again,
    // the store keeps the second, and the edit stays unsaved.
    const std::string hungInstall =
        "C:\\tomcat\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main";
    os.processes.hanging.insert(hungInstall);
    editing.edit(Field::CatalinaHome, "C:\\tomcat");
    ui.forget();
    const Outcome failed = session.save();
    EXPECT_EQ(failed.result, Outcome::Result::Failed);
    EXPECT_EQ(failed.summary,
              "The service wrapper did not register the service \"svc\" (C:\\tomcat\\bin\\svc.exe did not finish "
              "within 30 seconds and was stopped). The service is not installed; see the diagnostic report and the "
              "wrapper's own log for the reason. It was rolled back: the service runs with the stored values as it "
              "did; the changes were not saved.");
    EXPECT_EQ(std::vector<std::string>(failed.steps.begin() + 7, failed.steps.end()),
              std::vector<std::string>(
                  {"roll back: save", "roll back: copy the wrapper",
                   "roll back: install :C:\\tomcat2\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll "
                   "-start main",
                   "roll back: quote the program line", "roll back: write the wrapper's values",
                   "roll back: apply the service settings", "roll back: mark installed", "roll back: start"}));
    EXPECT_EQ(os.services.services["svc"].binaryPath, "\"C:\\tomcat2\\bin\\svc.exe\" -service svc");
    EXPECT_TRUE(os.services.services["svc"].started);
    EXPECT_EQ(stored("svc", "tomcat.home"), "C:\\tomcat2");
    EXPECT_EQ(storedNumber("svc", store::kInstalled), 1u);
    EXPECT_TRUE(session.installed());
    EXPECT_EQ(session.configuration().catalinaHome, "C:\\tomcat");
    EXPECT_EQ(os.events.written.back().id, 1007u);

    // The service manager stops answering during the stop: nothing is put back, and the store keeps its record.
    const std::string mark = stored("svc", store::kInstalledMark);
    os.processes.onRun = [&](const std::string& command) {
        if (command == "net stop \"svc\"") os.services.lookupFailure = Failure{"OpenServiceW", "Access is denied.", 5};
        wrappers(command);
    };
    const std::string unknown = session.save().summary;
    EXPECT_NE(unknown.find(" Rolling it back failed too: The service manager could not be asked about the service "
                           "\"svc\": Access is denied."),
              std::string::npos)
        << unknown;
    EXPECT_EQ(storedNumber("svc", store::kInstalled), 1u);
    EXPECT_EQ(stored("svc", store::kInstalledMark), mark);
    os.services.lookupFailure.reset();
    os.processes.onRun = wrappers;

    // The second home's wrapper hangs as well: the rollback says it failed, and the store that the service is gone.
    os.processes.hanging.insert(
        "C:\\tomcat2\\bin\\svc.exe -install svc C:\\jdk\\jre\\bin\\server\\jvm.dll -start main");
    const std::string notBack = session.save().summary;
    EXPECT_EQ(notBack.substr(notBack.find(" Rolling")),
              " Rolling it back failed too: The service wrapper did not register the service \"svc\" "
              "(C:\\tomcat2\\bin\\svc.exe did not finish within 30 seconds and was stopped). The service is not "
              "installed; see the diagnostic report and the wrapper's own log for the reason. See the service's "
              "state.")
        << notBack;
    EXPECT_FALSE(serviceExists("svc"));
    EXPECT_EQ(storedNumber("svc", store::kInstalled), 0u);
    EXPECT_FALSE(session.installed());
    EXPECT_EQ(os.events.written.back().id, 1008u);
    EXPECT_EQ(os.events.written.back().level, EventLevel::Error);
    os.processes.hanging.clear();
    os.processes.stoppedAtBound.clear();

    // A file put meanwhile where the old home's copy is, is not run to put the service back.
    editing.edit(Field::CatalinaHome, "C:\\tomcat2");
    ASSERT_TRUE(session.install().done());
    os.processes.hanging.insert(hungInstall);
    os.processes.onRun = [&](const std::string& command) {
        wrappers(command);
        if (command == "C:\\tomcat2\\bin\\svc.exe -uninstall svc")
            os.files.addFile("C:\\tomcat2\\bin\\svc.exe", "another program");
    };
    editing.edit(Field::CatalinaHome, "C:\\tomcat");
    os.processes.ran.clear();
    const std::string foreign = session.save().summary;
    EXPECT_NE(foreign.find(" Rolling it back failed too: The file C:\\tomcat2\\bin\\svc.exe is not a copy of "),
              std::string::npos)
        << foreign;
    for (const std::string& command : os.processes.ran)
        EXPECT_NE(command.rfind("C:\\tomcat2\\bin\\svc.exe -install", 0), 0u) << command;
    os.processes.onRun = wrappers;
    // The copy that the removal could not delete, being in use, is still Velmora's: the service is put back with it.
    os.files.files.erase("C:\\tomcat2\\bin\\svc.exe");
    editing.edit(Field::CatalinaHome, "C:\\tomcat2");
    ASSERT_TRUE(session.install().done());
    os.files.locked.insert("C:\\tomcat2\\bin\\svc.exe");
    editing.edit(Field::CatalinaHome, "C:\\tomcat");
    const std::string inUse = session.save().summary;
    EXPECT_NE(inUse.find(" It was rolled back: the service is installed with the stored values as it was"),
              std::string::npos)
        << inUse;
    os.files.locked.clear();
    os.processes.hanging.clear();
    os.processes.stoppedAtBound.clear();

    // A hung wrapper is ended and the user told what it left.
    saveNew("hx");
    os.processes.hanging.insert("C:\\tomcat\\bin\\hx.exe -install hx C:\\jdk\\jre\\bin\\server\\jvm.dll -start main");
    EXPECT_EQ(session.install().summary,
              "The service wrapper did not register the service \"hx\" (C:\\tomcat\\bin\\hx.exe did not "
              "finish within 30 seconds and was stopped). The service is not installed; see the "
              "diagnostic report and the wrapper's own log for the reason.");
    EXPECT_EQ(os.processes.stoppedAtBound.size(), 1u);
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\hx.exe"));
    EXPECT_EQ(storedNumber("hx", store::kInstalled), 0u);

    // One that cannot be ended keeps its program: the message names both.
    os.processes.unstoppable = os.processes.hanging;
    EXPECT_EQ(
        session.install().summary,
        "The service wrapper did not register the service \"hx\" (C:\\tomcat\\bin\\hx.exe did not finish within 30 "
        "seconds and could not be stopped: it is still running). The service is not installed; see the diagnostic "
        "report and the wrapper's own log for the reason. Left behind: C:\\tomcat\\bin\\hx.exe.");
}

TEST_F(SessionTest, BadNamesStoredValuesWithANulAndRefusedWritesNeverReachAFileOrTheList) {
    saveNew("ok");
    editing.edit(Field::ServiceName, "COM1");
    EXPECT_EQ(session.save().result, Outcome::Result::Refused);
    editing.edit(Field::ServiceName, "aux.txt");
    EXPECT_EQ(session.save().result, Outcome::Result::Refused);
    EXPECT_EQ(os.files.deviceReads, std::vector<std::string>{});
    // Its report still goes beside the program.
    editing.edit(Field::ServiceName, "x\\..\\..\\windows\\evil");
    EXPECT_EQ(session.checkConfiguration(ReportOpening::Never).reportPath,
              "C:\\tomcat\\bin\\quenby-x_.._.._windows_evil-debug.html");

    // A home stored as REG_EXPAND_SZ with a NUL after a victim's path.
    os.files.addFile("C:\\victim.txt", "precious");
    saveNew("vic");
    os.registry.setRaw(kLocalMachine, kStore + "\\vic", "tomcat.home",
                       {kRegExpandSz, std::string("C:\\victim.txt\0\\bin\\tomcat.exe", 29), 0});
    put("vic", {RegistryWrite::numberValue(store::kInstalled, 1)});
    ui.forget();
    session.open("vic");
    EXPECT_EQ(ui.warnings,
              std::vector<std::string>{
                  "The value \"tomcat.home\" of the configuration \"vic\" is not a plain text (REG_SZ "
                  "without NUL characters), so it opens empty. Save the configuration to store it afresh."});
    EXPECT_EQ(session.configuration().catalinaHome, "");
    editing.edit(Field::Description, "y");
    session.save();
    session.remove();
    EXPECT_EQ(os.files.files["C:\\victim.txt"], "precious");
    // A number written by hand as a text, a list as an expandable text: named, and no command saves over them.
    saveNew("hand");
    os.registry.setRaw(kLocalMachine, kStore + "\\hand", "max.heap.size", {kRegSz, std::string("1024\0", 5), 0});
    os.registry.setRaw(kLocalMachine, kStore + "\\hand", "additional.jvm.options",
                       {kRegExpandSz, std::string("-Dx=1\0\0", 7), 0});
    const CliRun set = runCli(os, {"set", "hand", "description=x"});
    EXPECT_EQ(set.code, 1);
    EXPECT_EQ(
        set.err,
        "Warning: The value \"max.heap.size\" of the configuration \"hand\" is not a number (REG_DWORD), so it "
        "opens empty. Save the configuration to store it afresh.\nWarning: The value \"additional.jvm.options\" "
        "of the configuration \"hand\" is not a list (REG_MULTI_SZ), so it opens empty. Save the configuration to "
        "store it afresh.\nNothing was stored: 2 warning(s) came up; --force stores the configuration all the "
        "same.\n");
    EXPECT_EQ(os.registry.read(kLocalMachine, kStore + "\\hand", "max.heap.size")->type, kRegSz);
    EXPECT_EQ(runCli(os, {"export", "hand", "--out=C:\\hand.json"}).err,
              "Warning: The value \"max.heap.size\" of the configuration \"hand\" is not a number (REG_DWORD): it is "
              "exported empty.\nWarning: The value \"additional.jvm.options\" of the configuration \"hand\" is not a "
              "list (REG_MULTI_SZ): it is exported empty.\n");
    ASSERT_EQ(runCli(os, {"delete", "hand", "--yes"}).code, 0);

    // A name stored before the name rule goes from the store alone, and says its service stays.
    os.services.services["old name"] = {"\"C:\\tomcat\\bin\\old name.exe\" //RS//old name", false, {}};
    put("old name", {RegistryWrite::textValue(store::kCatalinaHome, "C:\\tomcat"),
                     RegistryWrite::numberValue(store::kInstalled, 1)});
    ASSERT_TRUE(session.open("old name").done());
    ui.forget();
    EXPECT_TRUE(session.remove().done());
    EXPECT_TRUE(ui.asked.empty());
    ASSERT_EQ(ui.warnings.size(), 1u);
    EXPECT_NE(ui.warnings[0].find("The configuration goes from the store only; its service \"old name\", if it is "
                                  "still registered, stays as it is."),
              std::string::npos)
        << ui.warnings[0];
    EXPECT_TRUE(serviceExists("old name"));
    EXPECT_EQ(storedList(), std::vector<std::string>{"ok"});
    // A home typed and not saved does not make a stored name look older than the rule: its service goes with it.
    installNew("long");
    editing.edit(Field::CatalinaHome, "C:\\" + std::string(250, 'd'));
    ui.forget();
    EXPECT_TRUE(session.remove().done());
    EXPECT_EQ(ui.askedKinds(), std::vector<QuestionKind>{QuestionKind::DeleteInstalled});
    EXPECT_EQ(ui.warnings, std::vector<std::string>{});
    EXPECT_FALSE(serviceExists("long"));

    // A store that refuses writes: reported, and nothing listed.
    os.registry.readOnlyKeys.insert(kStore);
    ui.forget();
    session.newConfiguration();
    editing.edit(Field::ServiceName, "denied");
    EXPECT_EQ(session.save().summary,
              "The configuration \"denied\" could not be written to the registry: Access is denied. "
              "Run Velmora as an administrator.");
    EXPECT_TRUE(ui.notices.empty());
    EXPECT_FALSE(editing.nameLocked());
    os.registry.readOnlyKeys.clear();
    EXPECT_EQ(storedList(), std::vector<std::string>{"ok"});

    // A folder that cannot be created says so.
    os.files.uncreatable.insert("C:\\tomcat\\temp");
    os.files.folders.erase("C:\\tomcat\\temp");
    session.open("nothing");
    ui.forget();
    editing.edit(Field::TempDirectory, "C:\\tomcat\\temp");
    EXPECT_EQ(lastOf(ui.warnings), "The folder 'C:\\tomcat\\temp' could not be created: Access is denied.");
}

TEST(GrantBounds, RightsGoOnlyInsideTheBaseOrWhereVelmoraCreatedAFolderNeverOnSystemFoldersOrThroughALink) {
    GrantBounds bounds{"C:\\Program Files\\Apache Software Foundation\\Tomcat 10.1",
                       {"D:\\logs\\shop", "C:\\Users\\alice\\made"},
                       "C:\\Windows",
                       {"C:\\Program Files", "C:\\Program Files (x86)"},
                       "C:\\Users"};
    const std::string base = bounds.catalinaBase;
    EXPECT_EQ(grantRefusal(base + "\\logs", bounds, false), "");
    EXPECT_EQ(grantRefusal(base, bounds, false), "");
    EXPECT_EQ(grantRefusal("D:\\logs\\shop", bounds, false), "");
    const std::pair<const char*, const char*> refused[] = {
        {"C:\\", "it is the root folder of a drive"},
        {"\\\\server\\share", "it is the root folder of a drive"},
        {"C:\\Windows", "it lies in the Windows folder"},
        {"C:\\WINDOWS\\Temp", "it lies in the Windows folder"},
        {"C:\\Program Files", "it is a Program Files folder"},
        {"C:\\Users", "it is the folder of the user profiles"},
        {"C:\\users\\alice", "it is a user's profile folder"},
        {"C:\\Users\\alice\\made", "it lies in a user's profile"},
        {"D:\\logs",
         "it is neither inside the Catalina base (C:\\Program Files\\Apache Software Foundation\\Tomcat 10.1) nor a "
         "folder Velmora created for this configuration"},
        {"", "its path cannot be resolved"},
    };
    for (const auto& [folder, why] : refused) EXPECT_EQ(grantRefusal(folder, bounds, false), why) << folder;
    EXPECT_EQ(grantRefusal(base + "\\logs", bounds, true),
              "it is reached through a junction or a symbolic link, which could lead anywhere");
    bounds.catalinaBase = "C:\\Program Files";
    EXPECT_EQ(grantRefusal("C:\\Program Files\\logs", bounds, false),
              "the Catalina base C:\\Program Files is no Tomcat folder: it is a Program Files folder");

    EXPECT_EQ(normalizedPath("C:/tomcat/logs/../../Windows/./System32/"), "C:\\Windows\\System32");
    EXPECT_EQ(normalizedPath("C:\\tomcat\\..\\.."), "");
    EXPECT_EQ(normalizedPath("logs"), "");
    // A path's two parts, at its last separator of either kind.
    EXPECT_EQ(folderPart("C:\\tomcat/logs\\catalina.out"), "C:\\tomcat/logs");
    EXPECT_EQ(lastPathPart("C:\\tomcat/logs\\catalina.out"), "catalina.out");
    EXPECT_EQ(folderPart("D:/jdk/bin/java.exe"), "D:/jdk/bin");
    EXPECT_EQ(folderPart("catalina.out"), "catalina.out");
}

TEST_F(SessionTest, AnInstallAsksForRightsOnlyWhereVelmoraMayGiveThemAndTheCheckNamesTheRest) {
    os.environment.variables["SystemRoot"] = "C:\\Windows";
    os.environment.variables["ProgramFiles"] = "C:\\Program Files";
    os.environment.variables["PUBLIC"] = "C:\\Users\\Public";
    for (const char* folder : {"C:\\Windows", "C:\\Users\\alice", "C:\\tomcat\\logs", "C:\\tomcat\\work", "D:\\"}) {
        os.files.addFolder(folder);
        os.accounts.guarded.insert(folder);
    }
    os.files.addFolder("D:\\junction");
    os.files.links.insert("D:\\junction");
    saveNew("shop");
    editing.edit(Field::SystemOut, "C:\\Windows");
    editing.edit(Field::SystemErr, "C:\\Users\\alice");
    editing.edit(Field::TempDirectory, "D:\\junction");
    editing.edit(Field::CatalinaBase, "C:\\tomcat");
    ASSERT_TRUE(session.save().done());
    // Made by Velmora ("Missing Folder" answered Yes), so its rights may be given.
    ASSERT_EQ(runCli(os, {"set", "shop", "system.out=D:\\shop-logs", "--yes", "--force"}).code, 0);
    const CliRun install = runCli(os, {"install", "shop", "--yes", "--grant-rights"});
    EXPECT_EQ(install.code, 0) << install.err;  // the report's findings were answered Yes
    EXPECT_NE(install.out.find("Granted NT SERVICE\\shop modify rights on C:\\tomcat\\logs, inherited by everything "
                               "below it.\nGranted NT SERVICE\\shop modify rights on C:\\tomcat\\work, inherited by "
                               "everything below it.\nGranted NT SERVICE\\shop modify rights on D:\\shop-logs, "
                               "inherited by everything below it.\n"),
              std::string::npos)
        << install.out;
    EXPECT_NE(install.err.find("The account NT SERVICE\\shop cannot modify 'C:\\Users\\alice', so the service would "
                               "fail with \"Access is denied\". Velmora does not grant rights there: it is a user's "
                               "profile folder. Choose a folder inside the Catalina base, or give the right yourself."),
              std::string::npos)
        << install.err;
    EXPECT_NE(install.err.find("cannot modify 'D:\\junction', so the service would fail with \"Access is denied\". "
                               "Velmora does not grant rights there: it is reached through a junction"),
              std::string::npos);
    EXPECT_EQ(os.accounts.rights.count("C:\\Users\\alice"), 0u);
    EXPECT_EQ(os.accounts.rights.count("D:\\junction"), 0u);
    EXPECT_EQ(os.accounts.rights.count("C:\\Windows"), 0u);
    EXPECT_EQ(os.accounts.allows("D:\\shop-logs", "NT SERVICE\\shop", Access::Modify), true);
}

TEST_F(SessionTest, CommandsThatChangeSomethingTakeTurnsAndEachSeesWhatTheOneBeforeLeft) {
    // While "set p1" waits for its turn, "set p0" runs to its end: p1 looked at nothing before, and keeps p0's name.
    int readsWhenWaiting = -1;
    const int readsBefore = os.registry.reads;
    os.commandLock.otherCommand = [&] {
        readsWhenWaiting = os.registry.reads;
        EXPECT_EQ(runCli(os, {"set", "p0", "description=first"}).code, 0);
    };
    const CliRun second = runCli(os, {"set", "p1", "description=second"});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(readsWhenWaiting, readsBefore);
    EXPECT_EQ(second.out,
              "Waiting for another Velmora command on this computer to finish...\nConfiguration \"p1\" saved.\n");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"p0", "p1"}));

    // An install that waited while its configuration was deleted finds nothing to install.
    ASSERT_EQ(runCli(os, {"set", "x", "description=x"}).code, 0);
    os.commandLock.otherCommand = [&] { EXPECT_EQ(runCli(os, {"delete", "x", "--yes"}).code, 0); };
    EXPECT_EQ(runCli(os, {"install", "x", "--yes"}).code, 8);
    EXPECT_FALSE(serviceExists("x"));
    EXPECT_FALSE(os.files.fileExists("C:\\tomcat\\bin\\x.exe"));

    // Only what changes something takes a turn; a turn that cannot be had changes nothing.
    const int turns = os.commandLock.acquired;
    for (const char* looking : {"list", "show", "status", "export"})
        runCli(os, {looking, std::string(looking) == "list" ? "--status" : "p0"});
    EXPECT_EQ(os.commandLock.acquired, turns);
    os.commandLock.failure =
        Failure{"WaitForSingleObject", "This operation returned because the timeout period expired.", 258};
    const CliRun refused = runCli(os, {"delete", "p0", "--yes"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err,
              "Another Velmora command on this computer did not finish in time (This operation returned because the "
              "timeout period expired.). Nothing was changed; try again once it has.\n");
    EXPECT_EQ(storedList(), (std::vector<std::string>{"p0", "p1"}));
    EXPECT_EQ(os.commandLock.holders, 0);
}
