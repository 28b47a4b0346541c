#include "core/report.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

LogStyle bold() {
    return LogStyle{LogColour::Default, true, false, false};
}

TEST(LogMarkup, FormatsSegments) {
    const struct {
        const char* message;
        const char* text;
        std::vector<LogSegment> segments;
    } cases[] = {
        {"", " ", {{0, {}}}},
        {"  Found [b]3[/b] playlists.", "   Found 3 playlists.", {{0, {}}, {9, bold()}, {10, {}}}},
        // Adjacent tags act on one segment.
        {"[b][re]x[/re][/b]", " x", {{0, {}}, {1, {LogColour::Red, true, false, false}}, {2, {}}}},
        // A bracketed word that is no tag disappears (and starts a segment
        // that keeps the style).
        {"Disc [2010] [bl]BDMV[/bl]",
         " Disc  BDMV",
         {{0, {}}, {6, {}}, {7, {LogColour::Blue, false, false, false}}, {11, {}}}},
        {"[i]a[u]b[/i]c[/u][gr]d",
         " abcd",
         {{0, {}},
          {1, {LogColour::Default, false, true, false}},
          {2, {LogColour::Default, false, true, true}},
          {3, {LogColour::Default, false, false, true}},
          {4, {LogColour::Green, false, false, false}}}},
    };
    for (const auto& c : cases) {
        const LogLine line = formatLogLine(c.message);
        EXPECT_EQ(line.text, c.text) << c.message;
        EXPECT_EQ(line.segments, c.segments) << c.message;
    }
}

TEST(LogMarkup, UnbalancedBracketsTerminateAndStayVisible) {
    const struct {
        const char* message;
        const char* text;
    } cases[] = {{"a [b", " a [b"},
                 {"] x [b]y", " ] x y"},
                 {"[b]x [ y", " x [ y"},
                 {"[[b]]", " ]"},
                 {"[", " ["},
                 {"]", " ]"},
                 {"[]", " "}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatLogLine(c.message).text, c.text) << c.message;
        EXPECT_EQ(" " + stripMarkup(c.message), c.text) << c.message;
    }
}

TEST(LogMarkup, SegmentTextsCoverTheLine) {
    const LogLine line = formatLogLine("[re]ERROR:[/re] [b]Check failed.[/b]");
    EXPECT_EQ(line.text, " ERROR: Check failed.");
    ASSERT_EQ(line.segments.size(), 5u);
    EXPECT_EQ(line.segmentText(0), " ");
    EXPECT_EQ(line.segmentText(1), "ERROR:");
    EXPECT_EQ(line.segments[1].style.colour, LogColour::Red);
    EXPECT_EQ(line.segmentText(2), " ");
    EXPECT_EQ(line.segmentText(3), "Check failed.");
    EXPECT_TRUE(line.segments[3].style.bold);
    EXPECT_EQ(line.segmentText(4), "");  // the closing tag at the end
}

TEST(Reporter, ReportsReachLogAndStatusPanels) {
    RecordingSink sink;
    Reporter reporter(sink);
    reporter.dlog0("Reading [b]index.bdmv[/b]");
    EXPECT_EQ(sink.panel[0], "Reading index.bdmv");
    EXPECT_EQ(sink.panel[1], "");
    reporter.dlog("  Found [b]2[/b] titles");
    EXPECT_EQ(sink.panel[1], "  Found 2 titles");
    reporter.slog("raw [b]text[/b]", 1);  // slog keeps the markup
    EXPECT_EQ(sink.panel[1], "raw [b]text[/b]");
    reporter.log2("x");
    EXPECT_EQ(sink.texts(),
              (std::vector<std::string>{" Reading index.bdmv", "   Found 2 titles", " x", " "}));
    reporter.clear();
    EXPECT_TRUE(sink.lines.empty());
}

TEST(Reporter, ErrorReportSetsFlagShowsMarkAndBeeps) {
    RecordingSink sink;
    Reporter reporter(sink);
    reporter.erlog("Cannot create backup file.");
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0].text, " ERROR: Cannot create backup file.");
    EXPECT_EQ(sink.lines[0].segments[1].style.colour, LogColour::Red);
    EXPECT_TRUE(sink.lines[0].segments[3].style.bold);
    EXPECT_TRUE(sink.errorDisplay);
    EXPECT_EQ(sink.panel[1], "Cannot create backup file.");
    EXPECT_TRUE(reporter.errorFlag());
    EXPECT_EQ(sink.beeps, 1);

    reporter.slog("Ready.", 0);  // any status report ends the error display
    EXPECT_FALSE(sink.errorDisplay);
    EXPECT_EQ(sink.panel[0], "Ready.");
    EXPECT_TRUE(reporter.errorFlag());  // only a save clears the flag
    reporter.clearErrorFlag();
    EXPECT_FALSE(reporter.errorFlag());
}

TEST(Reporter, CancelProtocol) {
    RecordingSink sink;
    Reporter reporter(sink);
    reporter.PrBarOn();
    EXPECT_TRUE(sink.progressOn);
    reporter.cancel();  // no PID save yet: no question
    EXPECT_TRUE(reporter.cancelRequested());
    EXPECT_TRUE(sink.questions.empty());
    reporter.PrBarOff();
    EXPECT_FALSE(sink.progressOn);

    reporter.setConfirmCancel();
    reporter.PrBarOn();  // clears the request
    EXPECT_FALSE(reporter.cancelRequested());
    sink.answer = false;
    reporter.cancel();
    EXPECT_EQ(sink.questions, std::vector<std::string>{"Are you sure to stop?"});
    EXPECT_FALSE(reporter.cancelRequested());
    sink.answer = true;
    reporter.cancel();
    EXPECT_TRUE(reporter.pollCancel());
    EXPECT_EQ(sink.lines.back().text, " ");
    EXPECT_EQ(sink.panel[1], "Cancelled.");
    reporter.PrBarOff();
}

TEST(Reporter, CancelDuringATraceEndsOnlyTheTrace) {
    RecordingSink sink;
    Reporter reporter(sink);
    bool tracing = true;
    reporter.setTraceStopper([&tracing] {
        const bool was = tracing;
        tracing = false;
        return was;
    });
    reporter.setConfirmCancel();
    reporter.cancel();
    EXPECT_FALSE(tracing);
    EXPECT_FALSE(reporter.cancelRequested());
    EXPECT_TRUE(sink.questions.empty());
}

TEST(Reporter, NestedProgressLeavesModeOnlyAtTheOuterEnd) {
    RecordingSink sink;
    Reporter reporter(sink);
    {
        ProgressScope outer(reporter);
        reporter.requestCancel();
        {
            ProgressScope inner(reporter);
            EXPECT_TRUE(reporter.cancelRequested());  // the inner step keeps the request
        }
        EXPECT_TRUE(sink.progressOn);
    }
    EXPECT_FALSE(sink.progressOn);
}

TEST(Reporter, PausingReportKeepsTheInterfaceAlive) {
    struct CountingSink : RecordingSink {
        int events = 0;
        int slept = 0;
        void processEvents() override { ++events; }
        void sleepMs(int ms) override { slept += ms; }
    } sink;
    Reporter reporter(sink);
    reporter.setActivationDelay(25);
    reporter.slogw("Activate", 0);
    EXPECT_EQ(sink.panel[0], "Activate");
    EXPECT_EQ(sink.events, 25);
    EXPECT_EQ(sink.slept, 25);
}

}  // namespace
}  // namespace lumora
