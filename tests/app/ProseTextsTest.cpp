// The prose texts that the end-to-end test types must come out exactly as
// typed. With every setting at its default and the built-in libraries open,
// a space after a word chooses the prompt's first row, and so does a delimiter
// after a whole shorthand name; for no word of the texts may either change
// what was typed. The requests go through the retrieving thread as the
// program's do, and the prompt's rows and the accepted entry are made by the
// program's own code.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "AcceptPlan.h"
#include "Candidates.h"
#include "CharClasses.h"
#include "EngineSettings.h"
#include "Folders.h"
#include "LibrarySet.h"
#include "MatchItem.h"
#include "MessageLog.h"
#include "ProfileSettings.h"
#include "ProgramPath.h"
#include "PromptOffer.h"
#include "RetrieveThread.h"
#include "Settings.h"
#include "SharedSection.h"
#include "TempDir.h"
#include "TextHelpers.h"
#include "WordCache.h"

namespace {
namespace fs = std::filesystem;

std::string ReadText(const char *name)
{
    std::string path = std::string(LEXANTO_SOURCE_DIR) + "/tests/e2e/texts/" + name;
#ifdef _WIN32
    // Built on Linux, the tests run under Wine, whose drive Z: is the host's root.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
#endif
    return TempDir::Read(path);
}

// A word as the user has just typed it, and the key that follows it.
struct WordEnd {
    int line;
    std::string word;
    char delimiter;      // '\n' for Enter
    std::string before;  // the text before the caret: the line up to the word's end
};

std::vector<WordEnd> WordEnds(const std::string &text)
{
    std::vector<WordEnd> ends;
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < text.size();) {
        if (!IsWordChar(static_cast<unsigned char>(text[i]), TRUE)) {
            if (text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && IsWordChar(static_cast<unsigned char>(text[end]), TRUE))
            ++end;
        if (end < text.size() && (text[end] == '\n' || IsDelimiterChar(static_cast<unsigned char>(text[end])))) {
            std::string before = text.substr(lineStart, end - lineStart);
            if (before.size() > 258)
                before.erase(0, before.size() - 258);  // what the hook's word buffer keeps
            ends.push_back({line, text.substr(i, end - i), text[end], before});
        }
        i = end;
    }
    return ends;
}

// What the prompt lists for one request, filled as the prompt fills from the
// retrieving thread's reports.
struct Prompt {
    std::vector<CMatchItem> rows;
    int fullShMatch = 0;
    int reports = 0;
};

std::mutex g_lock;
std::condition_variable g_reported;
std::map<int, Prompt> g_prompts;
std::map<int, CString> g_requestText;  // as the retrieving thread keeps it

// Runs on the retrieving thread while the candidate lists hold this request's results.
void FillPrompt(int id, int count)
{
    std::lock_guard<std::mutex> hold(g_lock);
    Prompt &prompt = g_prompts[id];
    AppendCandidateItems(prompt.rows, count, g_nResultKind, g_requestText[id], PromptNum());
    prompt.fullShMatch = g_bFullSHMatch;
    ++prompt.reports;
    g_reported.notify_all();
}

std::string Visible(const CString &text)
{
    std::string shown = "\"";
    for (int i = 0; i < text.GetLength(); ++i)
        shown += text[i] == '\b' ? std::string("\\b") : text[i] == '\r' ? std::string("\\r") : std::string(1, text[i]);
    return shown + "\"";
}

std::string KeyName(char delimiter)
{
    if (delimiter == '\n')
        return "Enter";
    if (delimiter == ' ')
        return "space";
    return std::string("'") + delimiter + "'";
}

// Settings loaded from an empty settings file in a data folder of the test's
// own, the built-in libraries installed there and opened as the program's
// default library set, the word cache empty.
class ProseTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedProduct = g_strProductName;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        g_strProductName = FormatStr("LexantoProse%lld", static_cast<long long>(stamp));
        m_data = GetAppDataFolder().GetString();
        fs::create_directories(m_data);
        m_settings.m_iniCustom.SetFileName(m_dir.Write("custom.ini", "[general]\r\ntarget=General\r\n").c_str());
        SetAppProfile("", GetSettingsFilePath());
        std::ofstream(GetSettingsFilePath().GetString(), std::ios::binary) << "[Settings]\r\n";
        m_settings.LoadSettings();
        ASSERT_EQ(CompWordKey, 32u);
        ASSERT_EQ(g_bExpandFullSHAtDlmt, 1);

        const fs::path built = fs::path(OwnProgramPath()).parent_path() / "libraries";
        ASSERT_TRUE(fs::exists(built / "langlib" / "American English.lib")) << "the build generates " << built;
        fs::copy(built, GetLibrariesFolder().GetString(), fs::copy_options::recursive);

        g_nCacheCount = 0;
        m_settings.LoadActiveLibraries();
        ASSERT_EQ(OpenAllLibraries(FALSE), 0);
        EXPECT_TRUE(MessageLog::Messages().empty()) << MessageLog::Messages().front();
        bool words = false, shorthands = false;
        for (int i = 0; i < WordLibCount(); ++i)
            words = words || (g_WordLibs[i].GetLibName() == "American English" && g_WordLibs[i].GetRecordCount() > 0);
        for (int i = 0; i < ShLibCount(); ++i)
            shorthands = shorthands || (g_ShLibs[i].GetLibName() == "Email Acronyms" && !g_ShLibs[i].m_ShTable.empty());
        ASSERT_TRUE(words && shorthands) << "the built-in libraries are open";
    }
    void TearDown() override
    {
        CloseAllLibraries(FALSE);
        for (CLibFile &library : g_WordLibs)
            library.SetPath("");
        for (CLibFile &library : g_ShLibs)
            library.SetPath("");
        g_nWordLibCount = g_nShLibCount = 0;
        g_pUserLib = nullptr;
        std::error_code ignored;
        fs::remove_all(m_data, ignored);
        g_strProductName = m_savedProduct;
    }

    // Every word of the text that the key after it would change, one line
    // each; empty when the text comes out as typed.
    std::string Changes(const std::string &text)
    {
        const std::vector<WordEnd> ends = WordEnds(text);
        if (ends.empty())
            return "no word found in the text";
        std::vector<int> ids;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            g_prompts.clear();
            g_requestText.clear();
        }
        StartRetrieveThread({FillPrompt, nullptr}, 0);
        for (const WordEnd &end : ends) {
            const int id = g_nRequestId + 1;  // this thread alone makes requests
            {
                std::lock_guard<std::mutex> hold(g_lock);
                g_requestText[id] = CString(end.before.c_str()).Right(257);
            }
            nLastChar = end.before.back();  // as the hook leaves it after the word's last key
            SubmitRequest(end.before.c_str());
            ids.push_back(id);
            // Reports come only after both searches, so once the first one is
            // in, the next request can't cut this one short.
            std::unique_lock<std::mutex> hold(g_lock);
            if (!g_reported.wait_for(hold, std::chrono::seconds(20), [id] { return g_prompts[id].reports > 0; })) {
                hold.unlock();
                StopRetrieveThread();
                return "no answer to the request for \"" + end.before + "\"";
            }
        }
        StopRetrieveThread();  // the last request's reports are all in when it has ended

        OfferRequest request;
        request.appendSpace = m_settings.m_bAppendSpaceOnCompletion;
        request.appendStr = m_settings.m_strAppendStr;
        std::string changes;
        for (size_t n = 0; n < ends.size(); ++n) {
            const WordEnd &end = ends[n];
            const Prompt &prompt = g_prompts[ids[n]];
            const std::string where =
                "line " + std::to_string(end.line) + ": \"" + end.word + "\" + " + KeyName(end.delimiter);
            const bool space = end.delimiter == ' ';
            if (!prompt.fullShMatch && (!space || prompt.rows.empty()))
                continue;  // the key is typed as it is
            if (prompt.rows.empty()) {
                changes += where + ": a whole shorthand name\n";
                continue;
            }
            // The selected row as the hook types it for this key: the space
            // chooses as the completion key, a delimiter after a whole
            // shorthand name chooses as itself (Enter comes as a carriage return).
            request.typed = end.before.c_str();
            const char key = end.delimiter == '\n' ? '\r' : end.delimiter;
            AcceptInput in = MakeAcceptInput(prompt.rows[0], request, key, space);
            in.fullShMatch = prompt.fullShMatch;
            const AcceptPlan plan = PlanAcceptedEntry(in);
            // After a whole shorthand name the delimiter is never simply typed.
            if (prompt.fullShMatch || plan.erase != 0 || plan.toType != " ")
                changes += where + (prompt.fullShMatch ? ": a whole shorthand name," : ":") + " row 1 " +
                           Visible(CMatchItem(prompt.rows[0]).GetDisplayText()) + " would erase " +
                           std::to_string(plan.erase) + " and type " + Visible(plan.toType) + "\n";
        }
        return changes;
    }

    TempDir m_dir;
    std::string m_data;
    CString m_savedProduct;
    CAppSettings m_settings;
    MessageLog m_messages;
};
}  // namespace

TEST_F(ProseTextsTest, NoWordOfTheTypedTextsChanges)
{
    for (const char *name : {"prose-short.txt", "prose-long.txt"}) {
        const std::string text = ReadText(name);
        ASSERT_FALSE(text.empty()) << name;
        const std::string changes = Changes(text);
        EXPECT_TRUE(changes.empty()) << name << ", words the keys after them would change:\n" << changes;
    }
}

// The check finds what it looks for: a prefix that is not a word before a
// space, and a shorthand name before any delimiter.
TEST_F(ProseTextsTest, FindsWordsTheKeysWouldChange)
{
    const struct {
        const char *text;
        const char *found;  // a change reported for this word; nullptr: none
    } cases[] = {
        {"It was a wonderful day.\n", nullptr},
        {"It was a wonderfu day.\n", "\"wonderfu\" + space"},
        {"Call me, btw, at noon.\n", "\"btw\" + ','"},
        {"I will call you asap\nThanks.\n", "\"asap\" + Enter"},
    };
    for (const auto &c : cases) {
        const std::string changes = Changes(c.text);
        if (c.found) {
            EXPECT_NE(changes.find(c.found), std::string::npos) << c.text << "gave:\n" << changes;
        } else {
            EXPECT_EQ(changes, "") << c.text;
        }
    }
}
