// The session's operations on what a service really holds: taking over a
// service made elsewhere as it stands, and giving an installed service the
// stored values again where someone changed them past Velmora.
#include "app/Conversation.h"
#include "app/Session.h"
#include "app/SessionMessages.h"
#include "checks/ConfigurationEditor.h"
#include "config/NewConfiguration.h"
#include "config/ServiceAccount.h"
#include "platform/Text.h"
#include "service/ServiceMessages.h"
#include "service/ServiceSettings.h"

namespace velmora {

AdoptableServices Session::adoptableServices() { return velmora::adoptableServices(platform_, store_); }

AdoptionPreview Session::previewAdoption(const std::string& name) {
    AdoptionPreview preview;
    preview.check = checkAdoptable(platform_, store_, name);
    if (!preview.check.service) return preview;
    const AdoptableService& found = *preview.check.service;
    Configuration over;
    over.serviceName = found.name;
    over.catalinaHome = found.catalinaHome;
    Survey s = controller_.survey(over, false, {});
    const auto holdings = controller_.holdings(s);
    if (const Failure* failure = std::get_if<Failure>(&holdings)) {
        preview.failure = messages::holdingsNotRead(found.name, failure->description);
        return preview;
    }
    const HeldFields held = controller_.heldFields(s, std::get<ServiceHoldings>(holdings), over);
    // What the service holds no value of is a new configuration's for its home; a base of its own moves the
    // paths below it, as a base typed into the window does.
    Configuration fresh =
        velmora::newConfiguration(found.catalinaHome, defaultJavaHome(platform_.environment, platform_.registry),
                                  JvmType::Server, platform_.files);
    fresh.serviceName = found.name;
    ConfigurationEditor editor(platform_.files, platform_.environment);
    editor.start(fresh);
    editor.apply(held.config, held.held);
    preview.config = editor.configuration();
    preview.notKept = held.notKept;
    for (auto& line : s.kind->valuesNotKept(std::get<ServiceHoldings>(holdings).wrapper, preview.config))
        preview.notKept.push_back(std::move(line));
    return preview;
}

Outcome Session::adopt(const std::string& name, bool replaceAgreed) {
    Conversation conversation(frontEnd_);
    const AdoptionPreview preview = previewAdoption(name);
    if (!preview.check.service) return conversation.refuse(preview.check.refusal);
    if (!preview.failure.empty()) {
        conversation.warn(preview.failure);
        return Outcome::failed(preview.failure);
    }
    const AdoptableService& found = *preview.check.service;
    const std::string storedName = store_.storedSpelling(found.name);
    if (!storedName.empty() && !replaceAgreed &&
        !conversation.confirmed(QuestionKind::ReplaceStored, messages::replaceStoredQuestion(storedName)))
        return Outcome::declined("The stored configuration \"" + storedName + "\" was kept; nothing was changed.");
    if (!conversation.confirmed(QuestionKind::TakeOverService,
                                messages::takeOverQuestion(found.name, found.programLine, preview.notKept.size())))
        return Outcome::declined("Nothing was changed.");
    // While the questions waited the service may have gone or changed: only the one agreed to is taken over.
    const AdoptionCheck now = checkAdoptable(platform_, store_, name);
    if (!now.service) return conversation.refuse(now.refusal);
    if (now.service->programLine != found.programLine)
        return conversation.refuse(messages::serviceChangedWhileAsked(found.name, now.service->programLine));

    Survey s = controller_.survey(preview.config, false, {});
    const PlanResult ran = runPlan(controller_.adoption(s));
    Outcome outcome = finish(conversation, ran, messages::serviceTakenOver(found.name));
    if (outcome.done()) {
        outcome.announcement = outcome.summary;
        (void)open(found.name);
    }
    outcome.installed = s.installed;
    journal_.record(found.name, outcome, JournalEvent::Adopted, {"It runs " + found.programLine + "."});
    return outcome;
}

ServiceView Session::serviceView() {
    ServiceView view;
    const std::string& name = configuration().serviceName;
    const StoredConfiguration stored = store_.read(name);
    if (!stored.installed) {
        view.refusal = "The configuration \"" + name + "\" is not installed: no service holds its values.";
        return view;
    }
    const Survey s = controller_.survey(stored.values, true, stored.record);
    if (std::string why = controller_.actRefusal(s); !why.empty()) {
        view.refusal = why;
        return view;
    }
    if (!s.facts.present()) {
        view.refusal = "The service \"" + name + "\" of the configuration is not there any more.";
        return view;
    }
    const auto holdings = controller_.holdings(s);
    if (const Failure* failure = std::get_if<Failure>(&holdings)) {
        view.refusal = messages::holdingsNotRead(name, failure->description);
        return view;
    }
    view.stored = stored.values;
    view.held = controller_.heldFields(s, std::get<ServiceHoldings>(holdings), stored.values);
    view.settingsCompared = stored.record.settingsApplied;
    view.drifted = driftedFields(view.stored, view.held, view.settingsCompared);
    return view;
}

std::vector<Finding> Session::driftFindings() {
    std::vector<Finding> findings;
    if (!installed_) return findings;
    const ServiceView view = serviceView();
    for (const StoredField* field : view.drifted) {
        Finding finding{FindingKind::ServiceDiffers, field->label, "",
                        messages::serviceDiffers(configuration().serviceName, *field, fieldText(view.stored, *field),
                                                 fieldText(view.held.config, *field))};
        finding.field = field->name;
        finding.stored = fieldText(view.stored, *field);
        finding.held = fieldText(view.held.config, *field);
        findings.push_back(std::move(finding));
    }
    return findings;
}

Configuration serviceHolding(const ServiceView& view) {
    Configuration holding = view.stored;
    for (const StoredField* field : view.drifted) {
        if (field->list)
            holding.*field->list = view.held.config.*field->list;
        else
            setFieldText(holding, *field, fieldText(view.held.config, *field));
    }
    return holding;
}

Configuration Session::heldOrStored(const Configuration& stored) {
    const ServiceView view = serviceView();
    return view.refusal.empty() ? serviceHolding(view) : stored;
}

Outcome Session::bringServiceBack() {
    Conversation conversation(frontEnd_);
    const std::string name = configuration().serviceName;
    const ServiceView view = serviceView();
    if (!view.refusal.empty()) return conversation.refuse(view.refusal);
    if (view.drifted.empty()) return Outcome::announced("The service \"" + name + "\" holds the stored values.");
    const Configuration holding = serviceHolding(view);
    const std::string fields = fieldNames(view.drifted);
    const StoredConfiguration stored = store_.read(name);
    Survey s = controller_.survey(stored.values, true, stored.record, &holding);
    const ServiceChange change = serviceChangeFor(holding, stored.values, true, false, *s.kind);
    const bool running = serviceIsUp(controller_.state(name).status);
    // A restart has the service run its wrapper again.
    if (std::string why = running && change.restartNeeded ? controller_.startRefusal(s) : std::string(); !why.empty())
        return conversation.refuse(why);
    Plan plan;
    if (auto ended = prepareAccount(conversation, s, change.accountChanged, plan)) return *ended;
    const bool restart =
        running && change.restartNeeded &&
        conversation.ask({QuestionKind::RestartAfterChange, messages::restartForChangeQuestion(name)}) == Answer::Yes;
    append(plan, controller_.changeInPlace(s, holding));
    if (restart) {
        stopAndRoll(plan, s);
        plan.push_back(controller_.start(s));
    }
    const PlanResult ran = runPlan(plan);
    if (sameName(name, configuration().serviceName)) record_ = s.record;
    std::string summary = "The service \"" + name + "\" holds the stored values again (" + fields + ").";
    if (running && change.restartNeeded && !restart) summary += messages::takesEffectAtNextStart(name);
    Outcome outcome = finish(conversation, ran, summary);
    outcome.failWithStart(s.startFailure);
    outcome.stopped = s.stopped;
    refresh();
    journal_.record(name, outcome, JournalEvent::ChangeApplied,
                    {"Given back: " + fields + "; " + serviceChangeText(change) + "."});
    return outcome;
}

}  // namespace velmora
