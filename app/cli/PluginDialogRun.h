// What the export and import commands share around the plug-in they run: the flags become a
// user's answers to its options dialog (OK, or cancel for --print-options), the plug-in that
// handles X files is found in the plug-ins folder, the dialog is watched while the plug-in runs,
// and a print-only run prints what the dialog showed.
#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/DialogAnswers.h"
#include "plugins/PluginRegistry.h"

#include <functional>
#include <span>
#include <string>

namespace cli {

struct XFilePluginKind {
    SClass_ID superClassId;                  // SCENE_EXPORT_CLASS_ID or SCENE_IMPORT_CLASS_ID
    std::span<const DialogControl> controls; // the options dialog's answering table
    std::string role;                        // "exporter", in messages
    std::string verb;                        // "exports", in messages
};

class PluginDialogRun {
public:
    // `hint` ends the line of a usage error.
    PluginDialogRun(XFilePluginKind kind, const ParsedArguments& arguments, std::string hint);

    bool printOnly() const { return printOnly_; }

    // Applies --config, scripts the answers and finds the plug-in. Returns exitSuccess, or the
    // exit status after reporting what went wrong.
    int prepare(Console& console);
    const plugins::PluginClass& plugin() const { return *plugin_; }

    // Creates an instance of the plug-in and hands it to `callPlugin`, which takes it over and
    // calls it, with the dialog watched; then reports an unanswered or missing dialog. A
    // print-only run prints the dialog's controls. Returns exitSuccess or exitFailure.
    int run(const std::function<void(void* instance)>& callPlugin, Console& console);
    // What the dialog showed as it closed, one "label: value" line per control.
    const std::vector<std::string>& dialogState() const { return dialogState_; }

private:
    XFilePluginKind kind_;
    const ParsedArguments& arguments_;
    std::string hint_;
    bool printOnly_;
    headless::UserPlayer player_;
    plugins::PluginRegistry registry_;
    const plugins::PluginClass* plugin_ = nullptr;
    std::vector<std::string> dialogState_;
};

} // namespace cli
