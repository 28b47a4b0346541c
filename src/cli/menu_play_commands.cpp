// `lumora-cli menu render` and `lumora-cli menu simulate`: loads a menu,
// chooses a page, presses "Start" and then the keys given, as the Menu tab's
// navigation buttons do, with the button commands running in the command
// interpreter (no show delay, no waiting: the menu's time is simulated).
#include "cli/menu_play_commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/menu_source.h"
#include "core/file_io.h"
#include "core/text.h"
#include "menu/background_picture.h"
#include "menu/menu_clock.h"
#include "menu/menu_simulator.h"
#include "menu/picture_png.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

namespace lumora::cli {
namespace {

constexpr const char* kPlayUsage =
    "usage: lumora-cli menu render FILE.mnu [--page N] [--keys LIST]\n"
    "                              [--background COLOR|FILE] [--overlays LIST] -o OUT.png\n"
    "       lumora-cli menu simulate FILE.mnu [--page N] --keys LIST [--json]\n"
    "\n"
    "Loads the menu of FILE (a menu file, or a stream file whose IG stream --pid\n"
    "PID, default 0x1400, is taken out first), chooses page N (its index in the\n"
    "page array, default 0), presses \"Start\" and then the keys in LIST, as the\n"
    "Menu tab does, with the buttons' commands running in the command\n"
    "interpreter.  Keys, separated by commas: up, down, left, right, enter\n"
    "(\"S&el\"), timeout (the user time-out elapses).  Time is simulated:\n"
    "effects and time-outs take no real time.\n"
    "\n"
    "render writes the 1920x1080 page image as a PNG file and prints\n"
    "OUT<TAB>1920x1080.\n"
    "  --background COLOR|FILE  '#RRGGBB' gives that flat colour instead of the\n"
    "                           built-in picture; any other value names a BMP or\n"
    "                           PNG file drawn over the menu background colour\n"
    "  --overlays LIST          any of ids (button ids), objects (object ids),\n"
    "                           frames (button and window frames), separated by\n"
    "                           commas\n"
    "\n"
    "simulate prints, after \"Start\" and after each key, one record a line:\n"
    "  step<TAB>KEY\n"
    "  PSR10<TAB>XXXX  and  PSR11<TAB>XX        (hexadecimal)\n"
    "  BOG<TAB>N<TAB>XXXX                       the button BOG N shows (FFFF none)\n"
    "  command<TAB>BUTTON<TAB>LINE<TAB>TEXT     every command the step performed\n"
    "  show<TAB>TEXT                            every text a command showed\n"
    "then the PSRs and GPRs as the Status tab logs them.  --json prints the same\n"
    "as one JSON document.\n"
    "\n"
    "Exit status: 0 done, 1 the file is not a menu, is damaged, has no page N,\n"
    "the background picture cannot be used or a program hit the step limit,\n"
    "2 usage error.\n";

int usage(Streams io, const std::string& message) {
    io.err << "lumora-cli: " << message << '\n' << kPlayUsage;
    return 2;
}

enum class Key { Up, Down, Left, Right, Enter, TimeOut };

struct KeyName {
    const char* name;
    Key key;
};
constexpr KeyName kKeys[] = {{"up", Key::Up},       {"down", Key::Down},
                             {"left", Key::Left},   {"right", Key::Right},
                             {"enter", Key::Enter}, {"timeout", Key::TimeOut}};

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

struct PlayRequest {
    bool render = false;
    std::string path;
    std::size_t page = 0;
    std::vector<std::pair<std::string, Key>> keys;
    BackgroundChoice background;
    std::optional<std::uint32_t> flatColour;  // '#RRGGBB' as an interface colour
    bool ids = false, objects = false, frames = false;
    std::string out;
    bool json = false;
    std::optional<std::uint16_t> pid;
};

// '#RRGGBB' as R + G x 256 + B x 65536.
std::optional<std::uint32_t> colourArgument(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    }
    const auto rgb = static_cast<std::uint32_t>(hexToNumber(text.substr(1)));
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

std::optional<std::string> parseKeys(const std::string& list, PlayRequest& request) {
    for (const std::string& item : splitList(list)) {
        const auto* known = std::find_if(std::begin(kKeys), std::end(kKeys),
                                         [&](const KeyName& k) { return item == k.name; });
        if (known == std::end(kKeys)) return "unknown key '" + item + "'";
        request.keys.emplace_back(item, known->key);
    }
    return std::nullopt;
}

std::optional<std::string> parseOverlays(const std::string& list, PlayRequest& request) {
    for (const std::string& item : splitList(list)) {
        if (item == "ids") {
            request.ids = true;
        } else if (item == "objects") {
            request.objects = true;
        } else if (item == "frames") {
            request.frames = true;
        } else {
            return "unknown overlay '" + item + "' (ids, objects, frames)";
        }
    }
    return std::nullopt;
}

// The request, or the usage error to report.
std::optional<std::string> parseRequest(const Args& parsed, PlayRequest& request) {
    const auto& positional = parsed.positional();
    request.render = positional[0] == "render";
    const std::string action = "menu " + positional[0];
    if (positional.size() != 2) return action + " needs one FILE.mnu";
    request.path = positional[1];
    if (const auto pid = parsed.value("--pid")) {
        request.pid = parsePidArgument(*pid);
        if (!request.pid) return "--pid needs a PID up to 0x1FFF, not '" + *pid + "'";
    }
    if (const auto page = parsed.value("--page")) {
        const char* end = page->data() + page->size();
        const auto [stop, error] = std::from_chars(page->data(), end, request.page);
        if (page->empty() || error != std::errc() || stop != end)
            return "--page needs a page index, not '" + *page + "'";
    }
    const auto keys = parsed.value("--keys");
    if (!keys && !request.render) return action + " needs --keys LIST";
    if (keys) {
        if (auto problem = parseKeys(*keys, request)) return problem;
    }
    if (request.render) {
        if (parsed.has("--json")) return "--json belongs to menu simulate";
        const auto out = parsed.value("-o");
        if (!out) return action + " needs -o OUT.png";
        request.out = *out;
        if (const auto background = parsed.value("--background")) {
            request.flatColour = colourArgument(*background);
            if (request.flatColour) {
                request.background.kind = BackgroundChoice::Kind::Flat;
            } else if (background->starts_with("#")) {
                return "--background needs '#RRGGBB' or a picture file, not '" + *background + "'";
            } else {
                request.background = {BackgroundChoice::Kind::Picture, *background};
            }
        }
        if (const auto overlays = parsed.value("--overlays")) {
            if (auto problem = parseOverlays(*overlays, request)) return problem;
        }
    } else {
        for (const char* option : {"--background", "--overlays", "-o"}) {
            if (parsed.value(option)) return std::string(option) + " belongs to menu render";
        }
        request.json = parsed.has("--json");
    }
    return std::nullopt;
}

// Errors go to standard error at once; log lines (a program stopped at its
// step limit) are kept and go there after the run, since standard output
// carries the records.
class ErrorLogSink : public ReportSink {
public:
    explicit ErrorLogSink(std::ostream& err) : err_(err) {}
    void appendLogLine(const LogLine& line) override { lines.push_back(line.text); }
    void showStatus(int, std::string_view) override {}
    void showErrorStatus(std::string_view message) override {
        err_ << "lumora-cli: " << message << '\n';
        ++errors;
    }
    std::vector<std::string> lines;
    int errors = 0;

private:
    std::ostream& err_;
};

// One thing a step did: a command performed, or a text shown.
struct StepEvent {
    bool command = false;
    std::uint16_t button = 0;
    std::size_t line = 0;
    std::uint32_t opcode = 0;
    std::string text;
};

// Collects what the commands do, and which button they belong to.
class ScriptHost : public InterpreterHost, public MenuViewHost {
public:
    void showText(std::string_view text) override {
        events.push_back({false, button_, 0, 0, std::string(text)});
    }
    void commandExecuting(std::size_t line, const TCommand& command) override {
        events.push_back(
            {true, button_, line, command.opcode, commandText(command, CommandContext::Button)});
    }
    void buttonChosen(std::uint16_t slot) override { button_ = slot; }

    std::vector<StepEvent> events;

private:
    std::uint16_t button_ = 0;
};

struct StepRecord {
    std::string key;
    std::uint32_t psr10 = 0;
    std::uint32_t psr11 = 0;
    std::vector<std::uint16_t> shown;  // per BOG of the current page; kIgNone = none
    std::vector<StepEvent> events;
};

// The button each BOG of the current page shows.
std::vector<std::uint16_t> shownButtons(const TIGMenu& menu, std::size_t page) {
    std::vector<std::uint16_t> shown;
    if (page >= menu.ics.pages.size()) return shown;
    for (const TBOG& bog : menu.ics.pages[page].bogs) {
        std::uint16_t id = kIgNone;
        for (const TIGbutton& button : bog.buttons) {
            if (button.id < menu.buttonStates.size() && menu.buttonStates[button.id].shown) {
                id = button.id;
                break;
            }
        }
        shown.push_back(id);
    }
    return shown;
}

void printStep(std::ostream& out, const StepRecord& step) {
    out << "step\t" << step.key << '\n';
    out << "PSR10\t" << hexText(step.psr10, 4) << '\n';
    out << "PSR11\t" << hexText(step.psr11, 2) << '\n';
    for (std::size_t i = 0; i < step.shown.size(); ++i)
        out << "BOG\t" << i << '\t' << hexText(step.shown[i], 4) << '\n';
    for (const StepEvent& event : step.events) {
        if (event.command) {
            out << "command\t" << hexText(event.button, 4) << '\t'
                << zeroPad(static_cast<std::int64_t>(event.line), 4) << '\t' << event.text << '\n';
        } else {
            out << "show\t" << event.text << '\n';
        }
    }
}

nlohmann::json stepJson(const StepRecord& step) {
    nlohmann::json bogs = nlohmann::json::array();
    for (std::size_t i = 0; i < step.shown.size(); ++i) {
        bogs.push_back({{"bog", i},
                        {"shown", step.shown[i] == kIgNone ? nlohmann::json(nullptr)
                                                           : nlohmann::json(step.shown[i])}});
    }
    nlohmann::json commands = nlohmann::json::array();
    nlohmann::json shown = nlohmann::json::array();
    for (const StepEvent& event : step.events) {
        if (event.command) {
            commands.push_back({{"button", event.button},
                                {"line", event.line},
                                {"opcode", hexText(event.opcode, 8)},
                                {"text", event.text}});
        } else {
            shown.push_back(event.text);
        }
    }
    return {{"key", step.key}, {"PSR10", step.psr10},  {"PSR11", step.psr11},
            {"bogs", bogs},    {"commands", commands}, {"shown", shown}};
}

void printDump(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        out << stripMarkup(line) << '\n';
}

// One key, as the Menu tab's buttons (or the time-out) give it.
void press(MenuSimulator& simulator, Key key) {
    switch (key) {
        case Key::Up:
            simulator.navigate(MenuDirection::Up);
            break;
        case Key::Down:
            simulator.navigate(MenuDirection::Down);
            break;
        case Key::Left:
            simulator.navigate(MenuDirection::Left);
            break;
        case Key::Right:
            simulator.navigate(MenuDirection::Right);
            break;
        case Key::Enter:
            simulator.activate();
            break;
        case Key::TimeOut:
            // The user waits out the time-out; without one, nothing happens.
            if (const auto interval = simulator.userTimeOutInterval())
                simulator.passTime(*interval);
            break;
    }
}

int play(const PlayRequest& request, Streams io) {
    ErrorLogSink sink(io.err);
    Reporter reporter(sink);
    reporter.setActivationDelay(0);
    TIGMenu menu;
    const ReadOutcome outcome = loadMenuArgument(request.path, request.pid, menu, reporter);
    const std::string name = std::filesystem::path(request.path).filename().string();
    if (!outcome.good()) {
        if (sink.errors == 0) io.err << "lumora-cli: " << name << " cannot be read as a menu\n";
        return 1;
    }
    // The loader's log ("1 ICS, ...") is not part of the output.
    sink.lines.clear();
    if (request.page >= menu.ics.pages.size()) {
        io.err << "lumora-cli: " << name << " has " << menu.ics.pages.size()
               << " pages; there is no page " << request.page << '\n';
        return 1;
    }
    if (request.background.kind == BackgroundChoice::Kind::Picture) {
        const PictureLoad load = loadBackgroundPicture(request.background.file);
        if (!load.picture) {
            io.err << "lumora-cli: background picture " << request.background.file << ' '
                   << load.problem << '\n';
            return 1;
        }
    }

    Registers registers;
    registers.ResetRegs(PlayerSettings{});
    ScriptHost host;
    Interpreter interpreter(registers, reporter, host);
    ManualMenuClock clock;
    MenuSimulator simulator(menu, registers, interpreter, reporter, clock, host);
    RenderOptions& options = simulator.options();
    options.showButtonId = request.ids;
    options.showObjectId = request.objects;
    options.showButtonFrame = request.frames;
    options.showWindowFrame = request.frames;
    if (request.flatColour) simulator.renderer().colours().background = *request.flatColour;
    simulator.renderer().setBackground(request.background);
    simulator.selectPage(request.page);

    std::vector<StepRecord> steps;
    const auto record = [&](const std::string& key) {
        StepRecord step;
        step.key = key;
        step.psr10 = registers.psr(kPsrSelectedButton);
        step.psr11 = registers.psr(kPsrMenuPage);
        step.shown = shownButtons(menu, simulator.page());
        step.events = std::move(host.events);
        host.events.clear();
        steps.push_back(std::move(step));
    };
    simulator.start();
    record("start");
    for (const auto& [text, key] : request.keys) {
        press(simulator, key);
        record(text);
    }
    bool stopped = false;
    for (const std::string& line : sink.lines) {
        io.err << "lumora-cli:" << line << '\n';
        stopped = stopped || line.find("Program stopped") != std::string::npos;
    }

    if (request.render) {
        writeRgbaPng(request.out, simulator.renderer().pageImage().toPicture());
        io.out << request.out << '\t' << PageRenderer::kWidth << 'x' << PageRenderer::kHeight
               << '\n';
    } else if (request.json) {
        nlohmann::json document;
        document["file"] = name;
        document["page"] = request.page;
        document["steps"] = nlohmann::json::array();
        for (const StepRecord& step : steps)
            document["steps"].push_back(stepJson(step));
        document["psrs"] = registers.psrs();
        nlohmann::json gprs = nlohmann::json::object();
        for (std::size_t i = 0; i < kGprCount; ++i) {
            if (registers.gpr(static_cast<std::uint32_t>(i)) != 0)
                gprs[std::to_string(i)] = registers.gpr(static_cast<std::uint32_t>(i));
        }
        document["gprs"] = gprs;
        io.out << document.dump(2) << '\n';
    } else {
        for (const StepRecord& step : steps)
            printStep(io.out, step);
        printDump(io.out, psrDumpLines(registers));
        printDump(io.out, gprDumpLines(registers));
    }
    return stopped ? 1 : 0;
}

}  // namespace

bool isMenuPlayAction(const std::string& action) {
    return action == "render" || action == "simulate";
}

int runMenuPlay(const std::vector<std::string>& args, Streams io) {
    const Args parsed(args, {"--json"},
                      {"--page", "--keys", "--background", "--overlays", "-o", "--pid"});
    if (!parsed.ok()) return usage(io, parsed.error());
    if (parsed.has("--help")) {
        io.out << kPlayUsage;
        return 0;
    }
    if (parsed.positional().empty() || !isMenuPlayAction(parsed.positional()[0]))
        return usage(io, "menu render or menu simulate expected");
    PlayRequest request;
    if (const auto problem = parseRequest(parsed, request)) return usage(io, *problem);
    return play(request, io);
}

}  // namespace lumora::cli
