// The shared section seen from separate processes: every process that maps
// Dravik.dll sees one copy of the variables, with their initial values when
// no process had it mapped.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <string>

#include "ChildProcess.h"

namespace {
typedef std::map<std::string, std::string> Values;

Values Parse(const std::string &dump)
{
    Values values;
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

std::string Probe() { return "\"" + SiblingProgram("dravik_probe") + "\""; }

Values Dump()
{
    std::string output;
    EXPECT_EQ(ChildProcess::Run(Probe() + " dump", &output), 0) << output;
    return Parse(output);
}

// Every variable with the value it has when the first process maps the library.
const Values &InitialValues()
{
    static const Values values = [] {
        Values v;
        for (const char *name :
             {"g_bRemoveSpaceBeforePunctuation", "g_nDelayedKeyDownMsg", "g_nLastKeyDown", "g_tkLastKeyDown",
              "g_bExpandFullSHAtDlmt", "g_bAutoCompleteUponDelimiter", "g_bCompleteUponPunctOnly", "g_nNumWord",
              "hTestEdit", "g_bRedirectKey", "g_bAlterPrompt", "g_nSendKey", "g_bFunSel", "g_bFullSHMatch",
              "g_nPromptMode", "g_nLastComp", "s_nExpAliasKeyCode", "s_nExpAliasKeyFlag", "g_nSWKeyOption",
              "g_nPrevKey", "g_nNextKey", "g_nPgupKey", "g_nPgdnKey", "g_bDetectSOW", "g_bPromptAllCaretFail",
              "g_bArrowExtend", "hFocusEdit", "hLastFocus", "nLastChar", "KeyCode", "CompWordKey", "hPromptWnd",
              "g_nActivatePromptKey", "hWndManualActivate"})
            v[name] = "0";
        for (const char *name : {"g_bClearAtSwitch", "g_bDisableInExp", "g_bDigitSelect", "g_bEnableInIE",
                                 "s_bIncludeAllExcept", "bEnablePrompt", "g_bNonEnglishChar", "g_bNumpadDigit"})
            v[name] = "1";
        v["nWordNum"] = "3";
        v["hooks"] = "0";
        v["CaretPos"] = "0,0";
        for (const char *name : {"NonDelimiter", "WordBuffer", "CharBuf", "g_szForceEnable", "WindowIncluded",
                                 "WindowExcluded", "ProcessIncluded", "ProcessExcluded", "PathIncluded",
                                 "PathExcluded", "g_szAppListForceCharBuf", "AppPath", "AppDataPath"})
            v[name] = "";
        return v;
    }();
    return values;
}

// A probe that writes, then stays alive (keeping the section mapped) until released.
class Writer {
public:
    explicit Writer(const std::string &commands)
        : m_event("LexantoProbeRelease-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_count))
    {
        m_release = CreateEventA(nullptr, TRUE, FALSE, m_event.c_str());
        m_started = m_child.Start(Probe() + " " + commands + " hold " + m_event) && m_child.WaitForLine("ready");
    }
    ~Writer() { Release(); }
    bool Started() const { return m_started; }
    int Release()
    {
        if (!m_release)
            return m_code;
        SetEvent(m_release);
        m_code = m_child.Finish();
        CloseHandle(m_release);
        m_release = nullptr;
        return m_code;
    }

private:
    static inline int s_count = 0;
    std::string m_event;
    HANDLE m_release = nullptr;
    ChildProcess m_child;
    bool m_started = false;
    int m_code = -1;
};
}  // namespace

TEST(SharedSection, AFreshlyMappedSectionHoldsTheInitialValues)
{
    EXPECT_EQ(Dump(), InitialValues());
}

TEST(SharedSection, ValuesWrittenInOneProcessAreSeenInAnother)
{
    {
        Writer writer("set WordBuffer hel set CaretPos 10,20 set bEnablePrompt 0 set nLastChar 108 "
                      "set hFocusEdit 4660 fill ProcessIncluded 300 x fill WordBuffer 400 w set WordBuffer hel");
        ASSERT_TRUE(writer.Started());
        Values expected = InitialValues();
        expected["WordBuffer"] = "hel";
        expected["CaretPos"] = "10,20";
        expected["bEnablePrompt"] = "0";
        expected["nLastChar"] = "108";
        expected["hFocusEdit"] = "4660";
        expected["ProcessIncluded"] = std::string(255, 'x');  // cut at capacity - 1, still terminated
        EXPECT_EQ(Dump(), expected);
        EXPECT_EQ(writer.Release(), 0);
    }
    // Once no process maps the library any more, the next one starts afresh.
    EXPECT_EQ(Dump(), InitialValues());
}

TEST(SharedSection, ResetClearsTransientStateForEveryProcess)
{
    Writer writer("set g_bRedirectKey 1 set g_nSendKey 5 set hTestEdit 77 set hWndManualActivate 78 "
                  "set g_bAlterPrompt 1 set CharBuf typed set g_szAppListForceCharBuf app.exe set WordBuffer kept set CompWordKey 9");
    ASSERT_TRUE(writer.Started());
    Values before = Dump();
    EXPECT_EQ(before["g_bRedirectKey"], "1");
    EXPECT_EQ(before["CharBuf"], "typed");

    std::string output;
    ASSERT_EQ(ChildProcess::Run(Probe() + " reset", &output), 0) << output;
    Values after = Dump();
    for (const char *name : {"g_bRedirectKey", "g_nSendKey", "hTestEdit", "hWndManualActivate", "g_bAlterPrompt"})
        EXPECT_EQ(after[name], "0") << name;
    EXPECT_EQ(after["CharBuf"], "");
    EXPECT_EQ(after["g_szAppListForceCharBuf"], "");
    // Settings and the current word are not transient.
    EXPECT_EQ(after["WordBuffer"], "kept");
    EXPECT_EQ(after["CompWordKey"], "9");
}
