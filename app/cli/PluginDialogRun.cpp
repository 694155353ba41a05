#include "cli/PluginDialogRun.h"

#include "cli/Commands.h"
#include "cli/PluginLoading.h"

namespace cli {

PluginDialogRun::PluginDialogRun(XFilePluginKind kind, const ParsedArguments& arguments,
                                 std::string hint)
    : kind_(std::move(kind)), arguments_(arguments), hint_(std::move(hint)),
      printOnly_(arguments.has("print-options")) {}

int PluginDialogRun::prepare(Console& console) {
    if (int status = applyConfigFolder(arguments_, hint_, console); status != exitSuccess)
        return status;
    player_.at();
    std::string error;
    if (!scriptAnswers(kind_.controls, arguments_, player_, error, !printOnly_)) {
        console.error(error + hint_);
        return exitUsage;
    }
    std::string folder;
    if (!loadPlugins(arguments_, registry_, folder, console)) return exitFailure;
    plugin_ = registry_.findByExtension(kind_.superClassId, "x");
    if (!plugin_) {
        console.error("no plug-in in " + folder + " " + kind_.verb + " X files");
        return exitFailure;
    }
    return exitSuccess;
}

int PluginDialogRun::run(const std::function<void(void* instance)>& callPlugin, Console& console) {
    void* instance = plugin_->descriptor->Create(FALSE);
    if (!instance) {
        console.error(plugin_->name + ": the plug-in made no " + kind_.role);
        return exitFailure;
    }
    bool sawDialog = false;
    {
        DialogWatch watch("", kind_.controls);
        callPlugin(instance);
        sawDialog = watch.sawDialog();
        dialogState_ = watch.lastState();
    }
    if (!player_.failures().empty()) {
        console.error("the " + kind_.role +
                      "'s dialog could not be answered: " + player_.failures().front());
        return exitFailure;
    }
    if (!sawDialog) {
        console.error(plugin_->name + ": the " + kind_.role + " showed no options dialog");
        return exitFailure;
    }
    if (printOnly_)
        for (const std::string& line : dialogState_)
            console.out() << line << '\n';
    return exitSuccess;
}

} // namespace cli
