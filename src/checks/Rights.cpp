#include "checks/Rights.h"

#include "config/ServiceAccount.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {

const char* verbOf(Access access) { return access == Access::Modify ? "modify" : "read"; }

// A variable's folder, or the usual one where the variable is not set.
std::string folderOr(Environment& env, const char* variable, const std::string& usual) {
    const std::string value = normalizedPath(env.variable(variable));
    return value.empty() ? usual : value;
}

}  // namespace

std::vector<NeededRight> rightsTheServiceNeeds(const Configuration& c) {
    std::vector<NeededRight> needed;
    auto need = [&](const std::string& path, Access access) {
        if (path.empty()) return;
        for (const auto& known : needed)
            if (samePlace(known.path, path) && known.access == access) return;
        needed.push_back({path, access});
    };
    // A base typed "C:\tomcat\" holds the same logs folder as "C:\tomcat".
    auto inBase = [&](const char* name) {
        std::string base = c.catalinaBase;
        while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
        return c.catalinaBase.empty() ? std::string() : base + "\\" + name;
    };
    need(c.catalinaHome, Access::Read);
    need(c.javaHome, Access::Read);
    need(inBase("logs"), Access::Modify);
    need(c.tempDirectory, Access::Modify);
    need(inBase("work"), Access::Modify);
    need(c.systemOut, Access::Modify);
    need(c.systemErr, Access::Modify);
    return needed;
}

GrantBounds grantBoundsOf(const Configuration& c, const std::vector<std::string>& createdFolders, Environment& env) {
    GrantBounds bounds;
    bounds.catalinaBase = normalizedPath(c.catalinaBase);
    for (const auto& folder : createdFolders) bounds.createdFolders.push_back(normalizedPath(folder));
    const std::string drive = folderOr(env, "SystemDrive", "C:").substr(0, 2);
    bounds.windowsFolder = folderOr(env, "SystemRoot", drive + "\\Windows");
    for (const char* variable : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"})
        if (std::string folder = normalizedPath(env.variable(variable)); !folder.empty())
            bounds.programFolders.push_back(folder);
    bounds.programFolders.push_back(drive + "\\Program Files");
    bounds.programFolders.push_back(drive + "\\Program Files (x86)");
    const std::string publicProfile = normalizedPath(env.variable("PUBLIC"));
    bounds.profilesFolder = publicProfile.empty() ? drive + "\\Users" : folderPart(publicProfile);
    return bounds;
}

std::string grantRefusal(const std::string& folder, const GrantBounds& bounds, bool throughLink) {
    if (folder.empty()) return "its path cannot be resolved";
    if (throughLink) return "it is reached through a junction or a symbolic link, which could lead anywhere";
    if (isDriveRoot(folder)) return "it is the root folder of a drive";
    if (isSameOrInside(folder, bounds.windowsFolder)) return "it lies in the Windows folder";
    // The profiles folder, a user's profile and Program Files themselves are never a Tomcat folder.
    const auto kept = [&](const std::string& path) {
        for (const auto& program : bounds.programFolders)
            if (samePath(path, program)) return std::string("it is a Program Files folder");
        if (samePath(path, bounds.profilesFolder)) return std::string("it is the folder of the user profiles");
        if (samePath(folderPart(path), bounds.profilesFolder)) return std::string("it is a user's profile folder");
        if (isDriveRoot(path) || isSameOrInside(path, bounds.windowsFolder))
            return std::string("it is a system folder");
        return std::string();
    };
    if (std::string why = kept(folder); !why.empty()) return why;
    const std::string& base = bounds.catalinaBase;
    if (!base.empty() && isSameOrInside(folder, base)) {
        if (std::string why = kept(base); !why.empty())
            return "the Catalina base " + base + " is no Tomcat folder: " + why;
        return {};
    }
    for (const auto& created : bounds.createdFolders) {
        if (!samePath(folder, created)) continue;
        for (const auto& program : bounds.programFolders)
            if (isSameOrInside(folder, program)) return "it lies in a Program Files folder";
        if (isSameOrInside(folder, bounds.profilesFolder)) return "it lies in a user's profile";
        return {};
    }
    return "it is neither inside the Catalina base (" + base + ") nor a folder Velmora created for this configuration";
}

std::vector<MissingRight> missingRightsOf(const Configuration& c, const std::vector<std::string>& createdFolders,
                                          Platform& platform) {
    const std::string account = serviceAccountName(c);
    const GrantBounds bounds = grantBoundsOf(c, createdFolders, platform.environment);
    std::vector<MissingRight> missing;
    for (const NeededRight& right : rightsTheServiceNeeds(c)) {
        const auto allowed = platform.accounts.allows(right.path, account, right.access);
        if (!allowed || *allowed) continue;  // what cannot be told is not reported as missing
        const std::string resolved = platform.files.resolvedPath(right.path);
        missing.push_back(
            {right, grantRefusal(resolved, bounds, resolved.empty() || platform.files.passesThroughLink(resolved))});
    }
    return missing;
}

std::vector<Finding> missingRights(const Configuration& c, const std::vector<std::string>& createdFolders,
                                   Platform& platform) {
    const std::string account = serviceAccountName(c);
    std::vector<Finding> findings;
    for (const MissingRight& missing : missingRightsOf(c, createdFolders, platform)) {
        std::string message = "The account " + account + " cannot " + verbOf(missing.right.access) + " '" +
                              missing.right.path + "', so the service would fail with \"Access is denied\".";
        if (!missing.notGranted.empty())
            message += " Velmora does not grant rights there: " + missing.notGranted +
                       ". Choose a folder inside the Catalina base, or give the right yourself.";
        findings.push_back({FindingKind::RightsMissing, "Account rights", missing.right.path, message});
    }
    return findings;
}

std::vector<std::string> rightsUntold(const Configuration& c, Accounts& accounts) {
    std::vector<std::string> untold;
    for (const NeededRight& right : rightsTheServiceNeeds(c))
        if (!accounts.allows(right.path, serviceAccountName(c), right.access)) untold.push_back(right.path);
    return untold;
}

std::string grantQuestion(const std::string& account, const NeededRight& right) {
    return "Grant " + account + " " + verbOf(right.access) + " rights on " + right.path + "?";
}

std::string logOnQuestion(const std::string& account) {
    return "The account " + account +
           " may not log on as a service, so the service could not start. Give it the "
           "\"Log on as a service\" right?";
}

}  // namespace velmora
