#pragma once
#include <optional>
#include <string>

#include "checks/Questions.h"
#include "config/Configuration.h"
#include "service/Plan.h"
#include "service/ServiceStatus.h"

namespace velmora {

// What the program shows a user, in intents: the window and the console each
// implement it; the program never reads anything back from it but answers.
class FrontEnd : public Questions, public Progress {
public:
    // The configuration being edited, whether its name is fixed (stored), and
    // the Tomcat version its home declares ("" when it declares none).
    virtual void showConfiguration(const Configuration& c, bool nameLocked, const std::string& tomcatVersion) = 0;
    // With the cause of the service's last failed start while it is not running.
    virtual void showServiceState(bool installed, ServiceStatus status, const std::string& failedStartCause) = 0;
    // A notice ("Info").
    virtual void tell(const std::string& text) = 0;
    // Another Velmora command holds the turn and this one waits for it (true),
    // or has it now (false).
    virtual void waitingForTurn(bool waiting) = 0;
    // The password of a named account the service is to log on with; nothing
    // when none was given. It goes to the service manager and nowhere else.
    virtual std::optional<std::string> password(const std::string& account) = 0;
};

}  // namespace velmora
