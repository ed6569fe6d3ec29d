// qv.exe driven as a script drives it: run to its end with arguments, its standard output parsed
// as JSON (nlohmann), its exit status and standard error checked, against the fixture program's
// windows (the 32-bit fixture, and on the 64-bit desktop the 64-bit one).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "E2eDriver.h"
#include "E2eSuite.h"

namespace {

using nlohmann::json;

class QvTest : public e2e::E2eSuite {
protected:
    e2e::ProgramRun Qv(const std::vector<std::string>& args, DWORD timeoutMs = 30000) {
        e2e::ProgramRun run = e2e::RunProgram(e2e::QvExePath(), args, timeoutMs);
        EXPECT_TRUE(run.ended) << "qv did not end: qv " << Joined(args);
        return run;
    }
    // The run's standard output as JSON; a failed parse fails the test with the output.
    json Parsed(const e2e::ProgramRun& run) {
        try {
            return json::parse(run.out);
        } catch (const json::exception& failure) {
            ADD_FAILURE() << failure.what() << "\n" << run.out << "\n" << run.err;
            return json();
        }
    }
    static std::string Joined(const std::vector<std::string>& args) {
        std::string text;
        for (const std::string& arg : args) text += arg + " ";
        return text;
    }
    // Standard error is one line "qv: …".
    static void ExpectOneErrorLine(const e2e::ProgramRun& run) {
        const std::vector<std::string> lines = e2e::SplitLines(run.err);
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_EQ(lines[0].rfind("qv: ", 0), 0u) << run.err;
    }
    // The window object of the handle among a list of windows, or null.
    static json FindWindow(const json& windows, HWND hwnd) {
        for (const json& window : windows)
            if (window.value("handle", "") == e2e::HandleText(hwnd)) return window;
        return json();
    }
    std::string Pid() { return std::to_string(fixture.Pid()); }
    // The fixture's "propwin" set: window, its child, the pop-up it owns.
    struct PropWindows {
        HWND window, child, popup;
    };
    PropWindows MakePropWindows(const std::string& title) {
        const e2e::FixtureClient::Reply reply = fixture.Command("propwin title=" + title);
        unsigned window = 0, child = 0, popup = 0;
        EXPECT_EQ(std::sscanf(reply.text.c_str(), "window=0x%x child=0x%x popup=0x%x", &window, &child, &popup), 3)
            << reply.text;
        return {reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)), reinterpret_cast<HWND>(static_cast<UINT_PTR>(child)),
                reinterpret_cast<HWND>(static_cast<UINT_PTR>(popup))};
    }
    bool SixtyFourBitFixture() {
        BOOL wow64 = FALSE;
        typedef BOOL(WINAPI * IsWow64)(HANDLE, BOOL*);
        auto isWow64 = reinterpret_cast<IsWow64>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process"));
        BOOL selfWow64 = FALSE;
        if (!isWow64 || !isWow64(GetCurrentProcess(), &selfWow64) || !selfWow64) return false;
        return isWow64(fixture.Process().Handle(), &wow64) && !wow64;
    }
};

TEST_F(QvTest, ListTreeAndPropsGiveTheWindowsFieldsAsJsonAndText) {
    const PropWindows windows = MakePropWindows("qv試験%20窓");
    ASSERT_TRUE(windows.window && windows.child && windows.popup);

    // list: the titled window with every basic field; the text output has the same row.
    e2e::ProgramRun run = Qv({"list", "--title", "QV試験*", "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    json list = Parsed(run);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 1u) << run.out;
    const json& listed = list[0];
    EXPECT_EQ(listed["handle"], e2e::HandleText(windows.window));
    EXPECT_EQ(listed["text"], u8"qv試験 窓");
    EXPECT_EQ(listed["class"], "QuorvelPropsWindow");
    EXPECT_EQ(listed["pid"], fixture.Pid());
    EXPECT_EQ(listed["process"], "QuorvelFixture.exe");
    EXPECT_EQ(listed["visible"], true);
    EXPECT_EQ(listed["parent"], nullptr);
    EXPECT_EQ(listed["messageOnly"], false);
    RECT rect{};
    GetWindowRect(windows.window, &rect);
    EXPECT_EQ(listed["rect"], json({rect.left, rect.top, rect.right, rect.bottom}));
    EXPECT_EQ(listed["style"], e2e::HandleText(reinterpret_cast<HWND>(static_cast<UINT_PTR>(
                                   static_cast<DWORD>(GetWindowLongA(windows.window, GWL_STYLE))))));
    run = Qv({"list", "--pid", Pid(), "--title", "qv*"});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.out.find(u8"qv試験 窓"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(e2e::HandleText(windows.window)), std::string::npos) << run.out;

    // tree: the child under the window; with --owner the pop-up under its owner on the desktop.
    run = Qv({"tree", e2e::HandleText(windows.window), "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    json tree = Parsed(run);
    EXPECT_EQ(tree["handle"], e2e::HandleText(windows.window));
    EXPECT_FALSE(FindWindow(tree["children"], windows.child).is_null()) << run.out;
    EXPECT_EQ(FindWindow(tree["children"], windows.child)["parent"], e2e::HandleText(windows.window));
    run = Qv({"tree", "--owner", "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const json desktop = Parsed(run);
    const json owner = FindWindow(desktop, windows.window);
    ASSERT_FALSE(owner.is_null()) << "the owner is not a root";
    EXPECT_FALSE(FindWindow(owner["children"], windows.popup).is_null()) << "the pop-up is not under its owner";
    EXPECT_TRUE(FindWindow(desktop, windows.popup).is_null()) << "the owned pop-up is a root as well";
    bool messageOnlyRoot = false;
    for (const json& root : desktop) messageOnlyRoot = messageOnlyRoot || root["messageOnly"] == true;
    EXPECT_TRUE(messageOnlyRoot) << "no message-only window in the desktop's tree";

    // props: the properties view's facts under the field names.
    run = Qv({"props", "--title", "qv試験 窓", "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const json props = Parsed(run);
    EXPECT_EQ(props["handle"], e2e::HandleText(windows.window));
    EXPECT_EQ(props["classStyle"], "0x0000020a");
    EXPECT_EQ(props["classExtra"], json({"0x11223344", "0x55667788"}));
    EXPECT_EQ(props["windowExtra"], json({"0xa1b2c3d4", "0x0badf00d", "0x12345678"}));
    EXPECT_EQ(props["userData"], "0x13572468");
    EXPECT_EQ(props["props"]["QuorvelFixtureProp"], "0x00001234");
    EXPECT_EQ(props["props"]["#66"], "0x00005678");
    ASSERT_TRUE(props["windowProc"].is_object()) << props.dump();
    EXPECT_EQ(props["windowProc"]["subclassed"], true);
    EXPECT_EQ(props["windowProc"]["module"], "QuorvelFixture.exe");
    EXPECT_EQ(props["classProc"]["module"], "QuorvelFixture.exe");
    EXPECT_EQ(props["bits"], SixtyFourBitFixture() ? 64 : 32);
    EXPECT_NE(props["path"].get<std::string>().find("QuorvelFixture.exe"), std::string::npos);
    EXPECT_TRUE(props["integrity"].is_string());
    EXPECT_TRUE(props["dpi"].is_number() || props.contains("dpiError"));
    EXPECT_FALSE(props.contains("timedOut"));
    run = Qv({"props", e2e::HandleText(windows.child), "--json"});
    EXPECT_EQ(Parsed(run)["id"], 321);
    // The text is the view's rows.
    run = Qv({"props", e2e::HandleText(windows.window)});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.out.find("0x13572468"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("QuorvelFixtureProp"), std::string::npos) << run.out;
}

TEST_F(QvTest, BadNamesAndSeveralWindowsExitWithTwoAndOneErrorLine) {
    ASSERT_TRUE(fixture.Create("title=qvtwin%20one"));
    ASSERT_TRUE(fixture.Create("title=qvtwin%20two"));
    struct Case {
        std::vector<std::string> args;
    };
    for (const Case& bad : {Case{{"props", "0x7ffffff0"}}, Case{{"props", "0xzz"}}, Case{{"props", "-5"}},
                            Case{{"props", "99999999999"}}, Case{{"props", "--title", "no such window at all"}},
                            Case{{"props"}}, Case{{"frobnicate"}}, Case{{"list", "--pid", "x"}}, Case{{}},
                            Case{{"acc", "--depth", "-1", "--pid", Pid(), "--first"}}}) {
        const e2e::ProgramRun run = Qv(bad.args);
        EXPECT_EQ(run.exitCode, 2u) << Joined(bad.args) << "\n" << run.out;
        ExpectOneErrorLine(run);
    }
    // Several windows: listed as `list` lists them, exit 2; --first takes the first.
    e2e::ProgramRun run = Qv({"props", "--title", "QVTWIN*", "--json"});
    EXPECT_EQ(run.exitCode, 2u);
    ExpectOneErrorLine(run);
    EXPECT_EQ(Parsed(run).size(), 2u) << run.out;
    run = Qv({"props", "--title", "qvtwin*", "--class", "QuorvelFixtureWindow", "--process", "quorvelfixture", "--first", "--json"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Parsed(run)["text"].get<std::string>().rfind("qvtwin", 0), 0u);
    // Every command answers --help, and qv --help lists them all.
    run = Qv({"--help"});
    EXPECT_EQ(run.exitCode, 0u);
    for (const char* command : {"list", "tree", "props", "acc", "snapshot", "diff", "watch"}) {
        EXPECT_NE(run.out.find(command), std::string::npos) << command;
        const e2e::ProgramRun help = Qv({command, "--help"});
        EXPECT_EQ(help.exitCode, 0u) << command;
        EXPECT_NE(help.out.find(std::string("qv ") + command), std::string::npos) << help.out;
    }
}

TEST_F(QvTest, SnapshotsAndTheirDiffFieldByFieldAndHostileFilesExitTwo) {
    const HWND stays = fixture.Create("name=stays title=qvdiff%20stays");
    const HWND goes = fixture.Create("name=goes title=qvdiff%20goes");
    ASSERT_TRUE(stays && goes);
    const std::string before = e2e::TemporaryFilePath("qv-before");
    const std::string after = e2e::TemporaryFilePath("qv-after");
    e2e::ProgramRun run = Qv({"snapshot", "-o", before, "--pid", Pid()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const json document = json::parse(e2e::ReadFile(before));
    EXPECT_EQ(document["schema"], "quorvel.snapshot/1");
    EXPECT_TRUE(document["taken"].is_string());
    const json stayed = FindWindow(document["windows"], stays);
    ASSERT_FALSE(stayed.is_null());
    EXPECT_TRUE(stayed["windowProc"].is_object()) << "a snapshot holds every property";

    fixture.Command("settext window=stays text=qvdiff%20renamed; destroy window=goes");
    const HWND added = fixture.Create("title=qvdiff%20new");
    ASSERT_TRUE(added);
    run = Qv({"snapshot", "-o", after, "--pid", Pid()});
    ASSERT_EQ(run.exitCode, 0u) << run.err;

    run = Qv({"diff", before, after, "--json"});
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    const json diff = Parsed(run);
    EXPECT_FALSE(FindWindow(diff["added"], added).is_null()) << run.out;
    EXPECT_FALSE(FindWindow(diff["removed"], goes).is_null()) << run.out;
    const json changed = FindWindow(diff["changed"], stays);
    ASSERT_FALSE(changed.is_null()) << run.out;
    EXPECT_EQ(changed["changes"]["text"], json({{"from", "qvdiff stays"}, {"to", "qvdiff renamed"}}));
    run = Qv({"diff", before, after});
    EXPECT_NE(run.out.find("~ " + e2e::HandleText(stays) + u8" text: qvdiff stays → qvdiff renamed"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("+ " + e2e::HandleText(added)), std::string::npos);
    EXPECT_NE(run.out.find("- " + e2e::HandleText(goes)), std::string::npos);
    run = Qv({"diff", after, after});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.out, "");

    // Files that are not snapshots: one error line, with the line and column for JSON's faults.
    const std::string text = e2e::ReadFile(after);
    const std::string hostile = e2e::TemporaryFilePath("qv-hostile");
    struct Case {
        std::string content;
        const char* says;
    };
    for (const Case& bad : {Case{text.substr(0, text.size() / 2), "line 1, column"},
                            Case{"{\"schema\":\"quorvel.snapshot/1\",\n\"windows\":[\n  {\"handle\": tru}]}", "line 3, column"},
                            Case{std::string(100000, '[') + std::string(100000, ']'), "line 1, column 65"},
                            Case{"{\"schema\":\"other/2\",\"windows\":[]}", "not a snapshot"},
                            Case{"{\"schema\":\"quorvel.snapshot/1\",\"windows\":[{\"handle\":\"0x1\"}]}", "window 0"},
                            Case{"", "line 1, column 1"}}) {
        {
            std::FILE* file = std::fopen(hostile.c_str(), "wb");
            ASSERT_TRUE(file);
            std::fwrite(bad.content.data(), 1, bad.content.size(), file);
            std::fclose(file);
        }
        run = Qv({"diff", before, hostile});
        EXPECT_EQ(run.exitCode, 2u) << bad.says;
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find(bad.says), std::string::npos) << run.err;
    }
    run = Qv({"diff", before, "no-such-snapshot.json"});
    EXPECT_EQ(run.exitCode, 2u);
    ExpectOneErrorLine(run);
    DeleteFileA(before.c_str());
    DeleteFileA(after.c_str());
    DeleteFileA(hostile.c_str());
}

TEST_F(QvTest, AHungProgramsWindowIsListedAndItsPropertiesSayTimedOutWithExitThree) {
    const HWND hung = fixture.Create("title=qvhung thread=stuck");
    ASSERT_TRUE(hung);
    ASSERT_EQ(fixture.Command("hang thread=stuck ms=forever").value, 1);
    e2e::ProgramRun run = Qv({"list", "--title", "qvhung", "--json"});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Parsed(run)[0]["handle"], e2e::HandleText(hung));
    run = Qv({"props", e2e::HandleText(hung), "--json"});
    EXPECT_EQ(run.exitCode, 3u);
    ExpectOneErrorLine(run);
    json props = Parsed(run);
    EXPECT_EQ(props["timedOut"], true);
    EXPECT_EQ(props["text"], "qvhung");
    EXPECT_TRUE(props["windowProc"].is_null());
    EXPECT_TRUE(props["windowProcError"].is_string());
    EXPECT_EQ(props["classExtraBytes"], 0) << "what is read from outside is there";
    run = Qv({"snapshot", "--pid", Pid()});
    EXPECT_EQ(run.exitCode, 3u);
    const json document = Parsed(run);
    EXPECT_EQ(FindWindow(document["windows"], hung)["timedOut"], true);
    // The accessible objects are asked on the reader's thread, which is given up on.
    run = Qv({"acc", e2e::HandleText(hung), "--json"});
    EXPECT_EQ(run.exitCode, 3u);
    ExpectOneErrorLine(run);
    EXPECT_EQ(Parsed(run)["timedOut"], true);
    fixture.Command("resume thread=stuck");
}

TEST_F(QvTest, WatchWritesOneJsonLineAnEventAsItHappens) {
    const HWND renamed = fixture.Create("name=w title=qvwatch");
    ASSERT_TRUE(renamed);
    const std::string output = e2e::TemporaryFilePath("qv-watch");
    e2e::ChildProcess watch;
    ASSERT_TRUE(watch.Start(e2e::QvExePath(), {"watch", "--json", "--interval", "100", "--for", "60", "--pid", Pid()}, output));
    // Whatever the watch read first: the text changes until an event names it.
    auto eventFor = [&](const char* op, HWND hwnd) {
        for (const std::string& line : e2e::SplitLines(e2e::ReadFile(output))) {
            // The last line may be in the middle of its writing.
            const json event = json::parse(line, nullptr, false);
            if (event.is_discarded()) continue;
            if (event["op"] == op && event["handle"] == e2e::HandleText(hwnd)) return event;
        }
        return json();
    };
    int step = 0;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        fixture.Command("settext window=w text=qvwatch" + std::to_string(++step));
        return !eventFor("changed", renamed).is_null();
    }, 20000, 300));
    const json changed = eventFor("changed", renamed);
    EXPECT_TRUE(changed["time"].is_string());
    EXPECT_EQ(changed["class"], "QuorvelFixtureWindow");
    EXPECT_EQ(changed["changes"]["text"]["to"].get<std::string>().rfind("qvwatch", 0), 0u);
    const HWND added = fixture.Create("title=qvwatch%20added");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !eventFor("added", added).is_null(); }, 10000));
    fixture.Command("destroy window=w");
    ASSERT_TRUE(e2e::WaitUntil([&] { return !eventFor("removed", renamed).is_null(); }, 10000));
    watch.Terminate();
    DeleteFileA(output.c_str());
}

TEST_F(QvTest, WatchEndsAtForWithExitZero) {
    const e2e::ProgramRun run = Qv({"watch", "--for", "1", "--pid", Pid()}, 20000);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.err, "");
}

TEST_F(QvTest, AccReadsTheDrawnButtonsAsTheViewDoes) {
    const HWND window = reinterpret_cast<HWND>(fixture.Command("accessible title=qvacc").value);
    ASSERT_TRUE(window);
    const e2e::ProgramRun run = Qv({"acc", e2e::HandleText(window), "--json"});
    if (SixtyFourBitFixture()) {
        // The system hands a 64-bit program's objects to no 32-bit caller under Wine.
        EXPECT_EQ(run.exitCode, 2u);
        ExpectOneErrorLine(run);
        return;
    }
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const json root = Parsed(run);
    std::vector<std::string> names;
    for (const json& child : root["children"]) names.push_back(child["name"]);
    EXPECT_EQ(names, (std::vector<std::string>{u8"再生", u8"停止", u8"音量", "Status: ready"})) << run.out;
    const json& play = root["children"][0];
    EXPECT_EQ(play["defaultAction"], u8"押す");
    EXPECT_EQ(play["shortcut"], "Alt+P");
    EXPECT_EQ(root["children"][2]["children"].size(), 2u) << "the group's slider and check box";
    const e2e::ProgramRun shallow = Qv({"acc", e2e::HandleText(window), "--depth", "1"});
    EXPECT_EQ(shallow.exitCode, 0u);
    EXPECT_NE(shallow.out.find(u8"再生"), std::string::npos);
    EXPECT_EQ(shallow.out.find(u8"ミュート"), std::string::npos) << "--depth 1 reads no grandchildren";
}

}  // namespace
