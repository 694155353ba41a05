// lumaset animsets: a scene's animation sets, listed and edited through the plug-in's own
// animation set utility, then the scene written back as glTF.
#include "cli/AnimationSetDialog.h"
#include "cli/Commands.h"
#include "cli/PluginLoading.h"
#include "cli/SceneLoading.h"
#include "plugins/PluginRegistry.h"
#include "progress/TerminalProgress.h"

#include <maxapi.h>

#include <climits>
#include <filesystem>
#include <iomanip>
#include <sstream>

namespace cli {
namespace {

const char kCommand[] = "animsets";
const char kHint[] = " (see 'lumaset animsets --help')";

struct Step {
    enum class Kind { set, remove, slider, allSlider, list };
    Kind kind;
    std::string name;
    int startFrame = 0;
    int endFrame = 0;
};

// The steps in command-line order. False after reporting a usage error.
bool readSteps(const ParsedArguments& arguments, std::vector<Step>& steps, Console& console) {
    auto frame = [&](const OptionUse& use, const std::string& text, int& value) {
        if (parseInteger(text, INT_MIN, INT_MAX, value)) return true;
        console.error("--" + use.name + ": '" + text + "' is not a whole frame number" + kHint);
        return false;
    };
    auto name = [&](const OptionUse& use, const std::string& text) {
        if (text.empty()) {
            console.error("--" + use.name + ": a set needs a name" + kHint);
            return false;
        }
        for (char c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                console.error("--" + use.name + ": a set name cannot hold control characters" +
                              kHint);
                return false;
            }
        return true;
    };
    for (const OptionUse& use : arguments.uses) {
        Step step{Step::Kind::list, {}, 0, 0};
        if (use.name == "set") {
            step.kind = Step::Kind::set;
            step.name = use.values[0];
            if (!name(use, step.name) || !frame(use, use.values[1], step.startFrame) ||
                !frame(use, use.values[2], step.endFrame))
                return false;
        } else if (use.name == "delete") {
            step.kind = Step::Kind::remove;
            step.name = use.values[0];
            if (!name(use, step.name)) return false;
        } else if (use.name == "slider") {
            step.kind = Step::Kind::slider;
            if (!frame(use, use.values[0], step.startFrame) ||
                !frame(use, use.values[1], step.endFrame))
                return false;
        } else if (use.name == "all-slider") {
            step.kind = Step::Kind::allSlider;
        } else if (use.name == "list") {
            step.kind = Step::Kind::list;
        } else {
            continue;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

// Frames of the host timeline for a tick value: whole frames as integers, others as decimals.
std::string framesOf(TimeValue ticks) {
    const int ticksPerFrame = GetTicksPerFrame();
    if (ticks % ticksPerFrame == 0) return std::to_string(ticks / ticksPerFrame);
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << double(ticks) / ticksPerFrame;
    return text.str();
}

void printList(const AnimationSetDialog& dialog, std::ostream& out) {
    const std::vector<AnimationSetDialog::Row> rows = dialog.rows();
    std::size_t nameWidth = 8; // "KEY NAME"
    for (const AnimationSetDialog::Row& row : rows)
        nameWidth = std::max(nameWidth, row.name.size());
    auto line = [&](const std::string& name, const std::string& start, const std::string& end) {
        out << std::left << std::setw(int(nameWidth)) << name << "  " << std::setw(11) << start
            << "  " << end << '\n';
    };
    line("KEY NAME", "START", "END");
    for (const AnimationSetDialog::Row& row : rows)
        line(row.name, row.start, row.end);
    const Interval range = GetCOREInterface()->GetAnimRange();
    out << "animation range: " << framesOf(range.Start()) << " to " << framesOf(range.End())
        << '\n';
}

const plugins::PluginClass* findUtility(const plugins::PluginRegistry& registry) {
    for (const plugins::PluginClass* candidate : registry.classesOf(UTILITY_CLASS_ID))
        if (candidate->name == "Animation SET") return candidate;
    return nullptr;
}

} // namespace

int runAnimsetsCommand(const ParsedArguments& arguments, Console& console) {
    SceneInput input;
    if (int status = parseSceneInput(arguments, 0, kCommand, input, console); status != exitSuccess)
        return status;
    std::vector<Step> steps;
    if (!readSteps(arguments, steps, console)) return exitUsage;
    const bool hasOutput = arguments.has("output");
    if (input.isDemo && !hasOutput) {
        console.error(std::string("--demo has no file to write back: give -o OUT") + kHint);
        return exitUsage;
    }
    const std::string output = hasOutput ? arguments.valueOr("output", "") : input.path;

    std::string folder;
    plugins::PluginRegistry registry;
    if (!loadPlugins(arguments, registry, folder, console)) return exitFailure;
    const plugins::PluginClass* utility = findUtility(registry);
    if (!utility) {
        console.error("no animation set utility among the plug-ins in " + folder);
        return exitFailure;
    }

    std::error_code ignored;
    const std::string outputFolder =
        std::filesystem::absolute(std::filesystem::path(output), ignored).parent_path().string();
    {
        progress::TerminalProgress bar(console.err(), console.errIsTerminal());
        if (!loadSceneIntoHost(input, outputFolder, console)) return exitFailure;
    }
    SetSaveRequiredFlag(FALSE);
    const Interval loadedRange = GetCOREInterface()->GetAnimRange();

    AnimationSetDialog dialog;
    std::string error;
    if (!dialog.open(utility->descriptor, error)) {
        console.error(error);
        return exitFailure;
    }
    for (const Step& step : steps) {
        bool played = true;
        switch (step.kind) {
        case Step::Kind::set:
            played = dialog.set(step.name, step.startFrame, step.endFrame, error);
            break;
        case Step::Kind::remove:
            if (dialog.findRow(step.name) < 0) {
                console.error("--delete " + step.name + ": the scene has no set of that name");
                return exitFailure;
            }
            played = dialog.remove(step.name, error);
            break;
        case Step::Kind::slider:
            played = dialog.slider(step.startFrame, step.endFrame, error);
            break;
        case Step::Kind::allSlider:
            if (dialog.rows().empty()) {
                console.error("--all-slider: the scene has no animation sets");
                return exitFailure;
            }
            played = dialog.allSlider(error);
            break;
        case Step::Kind::list:
            printList(dialog, console.out());
            break;
        }
        if (!played) {
            console.error("the animation set dialog: " + error);
            return exitFailure;
        }
    }
    if (arguments.has("show")) {
        const std::string picture = arguments.valueOr("show", "");
        if (!dialog.writePicture(picture)) {
            console.error(picture + ": cannot be written");
            return exitFailure;
        }
    }
    if (!dialog.close(error)) {
        console.error(error);
        return exitFailure;
    }

    const bool changed = GetSaveRequiredFlag() || GetCOREInterface()->GetAnimRange() != loadedRange;
    if (!changed && !hasOutput) return exitSuccess;
    return writeHostScene(output, SceneImages::asNamed, console) ? exitSuccess : exitFailure;
}

} // namespace cli
